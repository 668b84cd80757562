// Everything the back end needs to draw: where, what texture with which
// sampling, which texture-stage arithmetic or pixel-shader program, and how to
// blend. Settings are plain values, decided once per draw by the device; the
// back end knows nothing of the COM objects or state numbers behind them.
#pragma once

#include "d3d9/pixel_shader_program.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace swd3d::raster {

// A8R8G8B8 pixels: one 32-bit word 0xAARRGGBB per pixel, rows `pitch` bytes
// apart.
struct PixelPlane {
  std::uint8_t* bits = nullptr;
  std::ptrdiff_t pitch = 0;
  int width = 0;
  int height = 0;

  std::uint32_t* row(int y) const {
    return reinterpret_cast<std::uint32_t*>(bits + static_cast<std::ptrdiff_t>(y) * pitch);
  }
};

// Pixels left <= x < right, top <= y < bottom.
struct ClipRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Which winding is not drawn; clockwise as seen on the screen (y down).
enum class CullMode { None, Clockwise, CounterClockwise };

enum class Filter { Point, Linear };
enum class AddressMode { Wrap, Mirror, Clamp, Border, MirrorOnce };

struct SamplerSettings {
  Filter minFilter = Filter::Point;
  Filter magFilter = Filter::Point;
  AddressMode addressU = AddressMode::Wrap;
  AddressMode addressV = AddressMode::Wrap;
  std::uint32_t borderColour = 0;
  float lodBias = 0.0f;
};

// A texture a draw reads, with the sampler that reads it.
struct TextureBinding {
  const PixelPlane* texels = nullptr;  // null: nothing bound
  SamplerSettings sampler;
};

enum class StageOp { SelectArg1, SelectArg2, Modulate };
enum class StageArg { Texture, Diffuse };

// Texture stage 0; stage 0's CURRENT is the diffuse colour.
struct StageSettings {
  StageOp colourOp = StageOp::Modulate;
  StageArg colourArg1 = StageArg::Texture;
  StageArg colourArg2 = StageArg::Diffuse;
  StageOp alphaOp = StageOp::SelectArg1;
  StageArg alphaArg1 = StageArg::Texture;
  StageArg alphaArg2 = StageArg::Diffuse;
};

enum class BlendFactor {
  Zero,
  One,
  SrcColour,
  InvSrcColour,
  SrcAlpha,
  InvSrcAlpha,
  DestAlpha,
  InvDestAlpha,
  DestColour,
  InvDestColour,
  SrcAlphaSat,
  Constant,     // the blend-factor colour
  InvConstant,  // one minus it
};
enum class BlendOp { Add, Subtract, RevSubtract, Min, Max };

// result = op(source × srcFactor, destination × destFactor), per channel;
// alpha with its own factors and operation. Off: the source replaces.
struct BlendSettings {
  bool enabled = false;
  BlendFactor srcColour = BlendFactor::One;
  BlendFactor destColour = BlendFactor::Zero;
  BlendOp colourOp = BlendOp::Add;
  BlendFactor srcAlpha = BlendFactor::One;
  BlendFactor destAlpha = BlendFactor::Zero;
  BlendOp alphaOp = BlendOp::Add;
  std::uint32_t constant = 0xFFFFFFFF;
  std::uint32_t writeMask = 0xFFFFFFFF;  // bits of each pixel the draw may change
};

inline constexpr int kShaderStages = 16;

struct DrawSettings {
  PixelPlane target;
  ClipRect clip;  // within the target
  CullMode cull = CullMode::None;
  // Fixed function: stage 0 reads textures[0] where it names the texture.
  StageSettings stage;
  // A program, when set, shades in place of the stage and may sample any
  // bound texture.
  const PixelShaderProgram* program = nullptr;
  std::array<TextureBinding, kShaderStages> textures{};
  BlendSettings blend;
};

// A pretransformed vertex: screen position (pixel centres on integers),
// diffuse colour 0xAARRGGBB and texture coordinates.
struct Vertex {
  float x = 0;
  float y = 0;
  std::uint32_t diffuse = 0xFFFFFFFF;
  float u = 0;
  float v = 0;
};

}  // namespace swd3d::raster
