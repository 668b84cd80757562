#include "filters/simd/instruction_set.h"

#include "host/test_hooks.h"

#include <algorithm>

namespace tessaly::simd {

InstructionSet processorInstructionSet() {
  static const InstructionSet widest = [] {
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("fma")) return InstructionSet::sse2;
    const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                        __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl");
    return avx512 ? InstructionSet::avx512 : InstructionSet::avx2;
  }();
  return widest;
}

InstructionSet chosenInstructionSet() { return std::min(processorInstructionSet(), test_hooks::widestInstructionSet()); }

}  // namespace tessaly::simd
