// The compiled form of a pixel shader: a straight list of instructions over
// registers, each register one float per pixel of a span. Every component of
// every value is a register of its own, so swizzles and write masks cost
// nothing at run time, and control flow has been turned into selects.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace swd3dx {

enum class Op : std::uint8_t {
  // Loads.
  Constant,   // dst = constant
  Uniform,    // dst = the parameter float at `uniform`
  TexCoordU,  // dst = TEXCOORD0.x
  TexCoordV,  // dst = TEXCOORD0.y
  Diffuse,    // dst = COLOR0 component `stage` (0 r, 1 g, 2 b, 3 a)
  // One source.
  Negate, Abs, Sqrt, Rsqrt, Frac, Floor, Sin, Cos, Saturate, Not,
  // Two sources.
  Add, Sub, Mul, Div, Min, Max, Pow,
  Less, LessEqual, Equal, NotEqual,  // 1 when true, else 0
  And, Or,                           // of "not zero"
  // Three sources.
  Mad,     // a * b + c
  Select,  // a != 0 ? b : c
  // tex2D: dst[0..3] = the texture on sampler `stage` at (src[0], src[1]).
  Sample,
};

using Register = std::uint16_t;
inline constexpr Register kNoRegister = 0xFFFF;

// Registers a program may use at once: the evaluator keeps them on the stack.
inline constexpr int kMostRegisters = 128;

struct Instruction {
  Op op = Op::Constant;
  std::uint8_t stage = 0;  // Sample: the sampler; Diffuse: the component
  std::array<Register, 4> dst{kNoRegister, kNoRegister, kNoRegister, kNoRegister};
  std::array<Register, 3> src{kNoRegister, kNoRegister, kNoRegister};
  float constant = 0;
  std::uint32_t uniform = 0;
};

struct RegisterProgram {
  std::vector<Instruction> code;
  std::array<Register, 4> output{};  // the registers of the result's r, g, b, a
  int registers = 0;                 // at most kMostRegisters
};

// How many sources an operation reads.
int sourceCount(Op op);

}  // namespace swd3dx
