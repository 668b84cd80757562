// Run-time choice among a filter family's kernel tables, one table per
// instruction set. A family that wants vector kernels:
//
// 1. Declares its table type, a struct of function pointers (and constants
//    such as the chunk width), with `static constexpr InstructionSet kWidest`
//    naming the widest set it has a table for.
// 2. Writes its kernels once, as templates over the instruction-set wrapper
//    (Sse2, Avx2, Avx512 in this folder: same operation names, chunk widths
//    16, 32 and 64 bytes), and one function template `makeTable<Isa>()` that
//    fills the table from them.
// 3. Adds one small source file per instruction set that defines
//    `kernelTable<Table, Isa>()` from makeTable<Isa>(). The AVX2 and AVX-512
//    files include every header they share with other units first, then switch
//    the target (#pragma GCC push_options / target("avx2,fma")) and include
//    the wrapper and kernel templates, then pop the options: only code
//    instantiated for that wrapper is compiled for the wider set, so nothing
//    the baseline code may also use carries instructions the processor could
//    lack. blur/blur_kernels_*.cpp are the examples.
// 4. Calls `kernels<Table>()` once per call of a filter, never per pixel.
//
// Every set of a family must give the same bytes; only the speed differs.
// Tests go through every set the processor runs (see host/test_hooks.h).
#pragma once

#include "filters/simd/instruction_set.h"

#include <algorithm>

namespace tessaly::simd {

struct Sse2;
struct Avx2;
struct Avx512;

// Defined in the family's unit for that instruction set.
template <class Table, class Isa>
const Table& kernelTable();

// The table of the widest set both the processor and the family have.
template <class Table>
const Table& kernels() {
  switch (std::min(chosenInstructionSet(), Table::kWidest)) {
    case InstructionSet::avx512:
      if constexpr (Table::kWidest >= InstructionSet::avx512) return kernelTable<Table, Avx512>();
      [[fallthrough]];
    case InstructionSet::avx2:
      if constexpr (Table::kWidest >= InstructionSet::avx2) return kernelTable<Table, Avx2>();
      [[fallthrough]];
    case InstructionSet::sse2: break;
  }
  return kernelTable<Table, Sse2>();
}

}  // namespace tessaly::simd
