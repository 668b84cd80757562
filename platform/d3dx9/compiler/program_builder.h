// Builds a shader's instructions over virtual registers, one per value, each
// written once. Loads are made once per constant, parameter float and input;
// operations on constants are folded at once, and a few identities (x * 1,
// x + 0, a select on a known condition) cost no instruction.
#pragma once

#include "d3dx9/shader/register_program.h"

#include <array>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace swd3dx {

using VirtualRegister = int;

struct VirtualInstruction {
  Op op = Op::Constant;
  std::uint8_t stage = 0;
  std::array<VirtualRegister, 4> dst{-1, -1, -1, -1};
  std::array<VirtualRegister, 3> src{-1, -1, -1};
  float constant = 0;
  std::uint32_t uniform = 0;
};

class ProgramBuilder {
 public:
  VirtualRegister constant(float value);
  VirtualRegister uniform(std::uint32_t index);
  // TexCoordU, TexCoordV, or Diffuse with its component.
  VirtualRegister input(Op op, std::uint8_t component = 0);

  VirtualRegister unary(Op op, VirtualRegister a);
  VirtualRegister binary(Op op, VirtualRegister a, VirtualRegister b);
  VirtualRegister ternary(Op op, VirtualRegister a, VirtualRegister b, VirtualRegister c);
  std::array<VirtualRegister, 4> sample(std::uint8_t stage, VirtualRegister u, VirtualRegister v);

  // The value of a register that holds a known constant.
  std::optional<float> constantValue(VirtualRegister r) const;

  const std::vector<VirtualInstruction>& code() const { return code_; }
  int registerCount() const { return next_; }

 private:
  VirtualRegister emit(VirtualInstruction instruction);

  std::vector<VirtualInstruction> code_;
  std::vector<std::optional<float>> known_;  // per register
  std::map<std::uint32_t, VirtualRegister> constants_;  // by the float's bits
  std::map<std::uint32_t, VirtualRegister> uniforms_;
  std::map<std::pair<Op, std::uint8_t>, VirtualRegister> inputs_;
  int next_ = 0;
};

}  // namespace swd3dx
