// The texture lookups a pixel-shader program makes (tex2D): each stage's
// bound texture read with that stage's sampler states, through the same
// kernels as the fixed-function stage. Whether a lookup minifies is decided
// per triangle from the texture coordinates' screen gradients.
#pragma once

#include "d3d9/pixel_shader_program.h"
#include "d3d9/raster/draw_settings.h"
#include "d3d9/raster/shader_texel_coords.h"
#include "d3d9/raster/texture_sampler.h"

#include <array>

namespace swd3d::raster {

class DrawTextureAccess final : public ShaderTextureAccess {
 public:
  explicit DrawTextureAccess(const std::array<TextureBinding, kShaderStages>& textures);

  // The gradients of the texture coordinates (in 0 to 1 units) of the
  // triangle about to be drawn.
  void setGradients(double dudx, double dvdx, double dudy, double dvdy);

  void sample(DWORD stage, int count, const float* u, const float* v,
              ShaderColours& out) const override;
  void sampleInterpolated(DWORD stage, int count, const SpanTexCoords& at,
                          ShaderColours& out) const override;

 private:
  struct Stage {
    SamplerView view;
    const SamplerSettings* sampler = nullptr;  // null: no texture
    SpanSampler minKernel = nullptr;
    SpanSampler magKernel = nullptr;
    bool minified = false;
  };
  // The stage, or null (with `out` set to the missing texture's colour).
  const Stage* stageOrFill(DWORD stageNumber, int count, ShaderColours& out) const;
  // Samples the span at the coordinates in coords_, even ones stepping evenly.
  void sampleCoords(const Stage& stage, int count, bool even, ShaderColours& out) const;
  // Samples the span at coordinates that step evenly from steps; coords_
  // holds them already when `coordsFilled`.
  void sampleSteps(const Stage& stage, int count, const TexelSteps& steps, ShaderColours& out,
                   bool coordsFilled = false) const;
  // Samples pixels first .. last - 1 of the span in coords_ with `general`.
  void addressedRange(SpanSampler general, const SamplerView& view, int first, int last) const;

  std::array<Stage, kShaderStages> stages_;
  mutable TexelCoords coords_;
  mutable TexelCoords ends_;
  mutable std::uint32_t texels_[kSpanPixels];
};

}  // namespace swd3d::raster
