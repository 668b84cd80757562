// The form in which the evaluator runs a register program, worked out once
// per program.
#pragma once

#include "d3d9/pixel_shader_program.h"
#include "d3dx9/shader/register_program.h"

#include <array>
#include <cstdint>
#include <vector>

namespace swd3dx {

// How the evaluator runs a program, worked out once, so that nothing is
// decoded while a span runs. The span's register file is an array of
// four-channel blocks: one quarter of a block per register, then blocks that
// tex2D results land in whole, then a spare one. Each operand is the byte
// offset of its lanes in that file; with kInResult set, in the span's result
// (where the last write of a result register goes); with kInConstants set,
// in the plan's own constants (each filled once, here, so a constant load is
// no step at all).
// - A tex2D's channels stay in its block, read in place, until nothing reads
//   them any more; only when every block is taken do they land in the spare
//   block and get copied out to their registers.
// - A tex2D at the interpolated texture coordinates themselves reads them
//   straight from the rasteriser's inputs, and a coordinate load nothing else
//   reads is left out.
// - Two arithmetic steps where the second is the only reader of the first's
//   result run as one (a dot product's multiply-adds, a lerp's difference and
//   multiply-add): the intermediate stays in a vector register, never stored.
struct EvaluationPlan {
  static constexpr int kRegisterBlocks = kMostRegisters / 4;
  static constexpr int kSampleBlocks = 4;
  // The block a tex2D lands in when the others are all taken.
  static constexpr int kSpareBlock = kRegisterBlocks + kSampleBlocks;
  static constexpr int kBlocks = kSpareBlock + 1;
  static constexpr std::uint32_t kNowhere = 0xFFFFFFFF;
  static constexpr std::uint32_t kInResult = 0x80000000;
  static constexpr std::uint32_t kInConstants = 0x40000000;

  struct Step {
    Op op = Op::Constant;
    std::uint8_t stage = 0;      // Sample: the sampler; Diffuse: the component
    bool atTexCoord = false;     // Sample: at the interpolated coordinates
    std::uint8_t block = 0;      // Sample: the block its channels land in
    std::uint32_t dst = 0;       // where the result's lanes go
    std::array<std::uint32_t, 3> src{};
    // Sample into the spare block: where each channel is copied (or kNowhere).
    std::array<std::uint32_t, 4> copyTo{kNowhere, kNowhere, kNowhere, kNowhere};
    float constant = 0;
    std::uint32_t uniform = 0;
    // Fused: then `op` makes the intermediate from src, and `second` the
    // result from second's sources, intermediate at operand `intermediateAt`.
    bool fused = false;
    Op second = Op::Add;
    std::uint8_t intermediateAt = 0;
    std::array<std::uint32_t, 3> secondSrc{};
  };

  explicit EvaluationPlan(const RegisterProgram& program);
  std::vector<Step> steps;  // the instructions run, in order
  std::array<std::uint32_t, 4> output{};
  // The program's constants, each in every lane of a span.
  struct ConstantLanes {
    alignas(64) float lanes[swd3d::kShaderSpanPixels];
  };
  std::vector<ConstantLanes> constants;
  bool readsDiffuse = false;
  bool readsTexCoordArrays = false;
};

}  // namespace swd3dx
