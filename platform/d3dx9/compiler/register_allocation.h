// Turns virtual-register code into a register program: drops every
// instruction the result does not need, then gives the virtual registers
// physical ones, reusing a register as soon as its value is read for the
// last time.
#pragma once

#include "d3dx9/compiler/program_builder.h"
#include "d3dx9/shader/register_program.h"

#include <array>
#include <optional>

namespace swd3dx {

// Nothing if more than kMostRegisters values would be alive at once.
std::optional<RegisterProgram> allocateRegisters(const ProgramBuilder& builder,
                                                 const std::array<VirtualRegister, 4>& output);

}  // namespace swd3dx
