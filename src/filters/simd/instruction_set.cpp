#include "filters/simd/instruction_set.h"

#include "host/test_hooks.h"

#include <algorithm>

namespace tessaly::simd {

InstructionSet processorInstructionSet() {
  static const InstructionSet widest = [] {
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("fma")) return InstructionSet::sse2;
    return __builtin_cpu_supports("avx512f") ? InstructionSet::avx512 : InstructionSet::avx2;
  }();
  return widest;
}

InstructionSet chosenInstructionSet() { return std::min(processorInstructionSet(), test_hooks::widestInstructionSet()); }

}  // namespace tessaly::simd
