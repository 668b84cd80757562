#include "d3dx9/compiler/program_builder.h"

#include "d3dx9/shader/scalar_operations.h"

#include <bit>
#include <cmath>

namespace swd3dx {

VirtualRegister ProgramBuilder::emit(VirtualInstruction instruction) {
  const VirtualRegister r = next_++;
  instruction.dst[0] = r;
  code_.push_back(instruction);
  known_.push_back(instruction.op == Op::Constant ? std::optional<float>(instruction.constant)
                                                  : std::nullopt);
  return r;
}

VirtualRegister ProgramBuilder::constant(float value) {
  const auto bits = std::bit_cast<std::uint32_t>(value);
  if (const auto it = constants_.find(bits); it != constants_.end()) return it->second;
  VirtualInstruction load;
  load.op = Op::Constant;
  load.constant = value;
  return constants_[bits] = emit(load);
}

VirtualRegister ProgramBuilder::uniform(std::uint32_t index) {
  if (const auto it = uniforms_.find(index); it != uniforms_.end()) return it->second;
  VirtualInstruction load;
  load.op = Op::Uniform;
  load.uniform = index;
  return uniforms_[index] = emit(load);
}

VirtualRegister ProgramBuilder::input(Op op, std::uint8_t component) {
  const auto key = std::make_pair(op, component);
  if (const auto it = inputs_.find(key); it != inputs_.end()) return it->second;
  VirtualInstruction load;
  load.op = op;
  load.stage = component;
  return inputs_[key] = emit(load);
}

std::optional<float> ProgramBuilder::constantValue(VirtualRegister r) const {
  return r >= 0 && r < static_cast<int>(known_.size()) ? known_[r] : std::nullopt;
}

VirtualRegister ProgramBuilder::unary(Op op, VirtualRegister a) {
  if (const auto x = constantValue(a)) return constant(scalar::unary(op, *x));
  VirtualInstruction instruction;
  instruction.op = op;
  instruction.src[0] = a;
  return emit(instruction);
}

VirtualRegister ProgramBuilder::binary(Op op, VirtualRegister a, VirtualRegister b) {
  const auto x = constantValue(a);
  const auto y = constantValue(b);
  if (x && y) return constant(scalar::binary(op, *x, *y));
  // Identities that hold for every float, NaN and infinities included.
  if (op == Op::Mul && y == 1.0f) return a;
  if (op == Op::Mul && x == 1.0f) return b;
  if (y && *y == 0.0f && std::signbit(*y) == (op == Op::Add) && (op == Op::Add || op == Op::Sub)) {
    return a;  // x + (-0) and x - (+0) are x, even for x = -0
  }
  VirtualInstruction instruction;
  instruction.op = op;
  instruction.src = {a, b, -1};
  return emit(instruction);
}

VirtualRegister ProgramBuilder::ternary(Op op, VirtualRegister a, VirtualRegister b,
                                        VirtualRegister c) {
  const auto x = constantValue(a);
  const auto y = constantValue(b);
  const auto z = constantValue(c);
  if (x && y && z) return constant(scalar::ternary(op, *x, *y, *z));
  if (op == Op::Select && x) return *x != 0.0f ? b : c;
  if (op == Op::Select && b == c) return b;
  VirtualInstruction instruction;
  instruction.op = op;
  instruction.src = {a, b, c};
  return emit(instruction);
}

std::array<VirtualRegister, 4> ProgramBuilder::sample(std::uint8_t stage, VirtualRegister u,
                                                      VirtualRegister v) {
  VirtualInstruction instruction;
  instruction.op = Op::Sample;
  instruction.stage = stage;
  instruction.src = {u, v, -1};
  const VirtualRegister first = emit(instruction);
  std::array<VirtualRegister, 4> channels{first, next_, next_ + 1, next_ + 2};
  code_.back().dst = channels;
  next_ += 3;
  known_.insert(known_.end(), 3, std::nullopt);
  return channels;
}

}  // namespace swd3dx
