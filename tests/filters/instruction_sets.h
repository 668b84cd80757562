// Runs a test body once with each instruction set's kernels (a set the
// processor lacks repeats a narrower one), then leaves the widest chosen.
#pragma once

#include "plugin_test_hooks.h"

namespace filter_test {

template <class Body>
void forEveryInstructionSet(Body body) {
  for (const auto set : plugin_test_hooks::kEveryInstructionSet) {
    plugin_test_hooks::useInstructionSet(set);
    body(plugin_test_hooks::name(set));
  }
  plugin_test_hooks::useInstructionSet(tessaly::simd::InstructionSet::avx512);
}

}  // namespace filter_test
