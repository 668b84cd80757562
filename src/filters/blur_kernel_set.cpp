#include "filters/blur_kernel_set.h"

#include "filters/kernel_choice_hook.h"

namespace tessaly {

namespace {

KernelChoice chosen = KernelChoice::widest;

}  // namespace

void useKernels(KernelChoice choice) { chosen = choice; }

bool processorRunsAvx2() {
  static const bool runs = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  }();
  return runs;
}

bool processorRunsAvx512() {
  static const bool runs = [] {
    __builtin_cpu_init();
    return processorRunsAvx2() && __builtin_cpu_supports("avx512f");
  }();
  return runs;
}

const BlurKernelSet& blurKernels() {
  if (chosen == KernelChoice::widest && processorRunsAvx512()) return avx512BlurKernels();
  if (chosen != KernelChoice::sse2 && processorRunsAvx2()) return avx2BlurKernels();
  return sse2BlurKernels();
}

}  // namespace tessaly
