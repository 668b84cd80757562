#include "filters/blur_kernel_set.h"

#include "filters/kernel_choice_hook.h"

namespace tessaly {

namespace {

bool baselineOnly = false;

}  // namespace

void useBaselineKernelsOnly(bool baseline) { baselineOnly = baseline; }

bool processorRunsAvx2() {
  static const bool runs = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  }();
  return runs;
}

const BlurKernelSet& blurKernels() {
  return !baselineOnly && processorRunsAvx2() ? avx2BlurKernels() : sse2BlurKernels();
}

}  // namespace tessaly
