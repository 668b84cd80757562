// Where a command's arguments come from: one value at a time, of the C type
// the export takes. The fuzzers draw them from their input; tests list them.
#pragma once

#include "host/win32_api.h"

#include <type_traits>

namespace fuzzing {

class ArgumentSource {
 public:
  virtual ~ArgumentSource() = default;

  virtual DWORD unsignedArgument() = 0;
  virtual int signedArgument() = 0;
  virtual float floatArgument() = 0;
  virtual char charArgument() = 0;
  // May be null (a host passes what its program holds); valid until the next call.
  virtual char* stringArgument() = 0;

  template <class T>
  T next() {
    if constexpr (std::is_same_v<T, DWORD>) return unsignedArgument();
    else if constexpr (std::is_same_v<T, int>) return signedArgument();
    else if constexpr (std::is_same_v<T, float>) return floatArgument();
    else if constexpr (std::is_same_v<T, char>) return charArgument();
    else {
      static_assert(std::is_same_v<T, char*>, "a command argument of a type no export takes");
      return stringArgument();
    }
  }
};

}  // namespace fuzzing
