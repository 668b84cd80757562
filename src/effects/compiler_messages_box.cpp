#include "effects/compiler_messages_box.h"

#include "host/win32_api.h"

#include <new>
#include <string>

namespace tessaly {

void showCompilerMessages(ID3DXBuffer* errors, const char* fileName) {
  std::string text;
  const char* shown = "The effect file could not be compiled.";  // when memory runs out
  try {
    // D3DX does not promise a terminating zero: take exactly the bytes it
    // counts, and let the string add the zero.
    const void* bytes = errors != nullptr ? errors->GetBufferPointer() : nullptr;
    const DWORD size = errors != nullptr ? errors->GetBufferSize() : 0;
    if (bytes != nullptr && size > 0) {
      text.assign(static_cast<const char*>(bytes), size);
    } else {
      // D3DX failed without saying why (an unreadable file, a folder, a
      // device it refused): say so rather than show an empty box.
      text = std::string("The effect file \"") + fileName +
             "\" could not be compiled, and the compiler gave no reason.";
    }
    shown = text.c_str();
  } catch (const std::bad_alloc&) {
  }
  MessageBoxA(nullptr, shown, "Compile error - Effect", MB_ICONERROR);
}

}  // namespace tessaly
