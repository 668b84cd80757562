#include "d3d9/raster/shader_texture_access.h"

#include "d3d9/raster/span_colours.h"

#include <algorithm>

namespace swd3d::raster {

DrawTextureAccess::DrawTextureAccess(const std::array<TextureBinding, kShaderStages>& textures) {
  for (std::size_t i = 0; i < stages_.size(); ++i) {
    const TextureBinding& binding = textures[i];
    if (binding.texels == nullptr) continue;
    Stage& stage = stages_[i];
    stage.view = {*binding.texels, binding.sampler.borderColour};
    stage.sampler = &binding.sampler;
    stage.minKernel = spanSampler(binding.sampler.minFilter, binding.sampler.addressU,
                                  binding.sampler.addressV);
    stage.magKernel = spanSampler(binding.sampler.magFilter, binding.sampler.addressU,
                                  binding.sampler.addressV);
  }
}

void DrawTextureAccess::setGradients(double dudx, double dvdx, double dudy, double dvdy) {
  for (Stage& stage : stages_) {
    if (stage.sampler == nullptr) continue;
    const double width = stage.view.texels.width;
    const double height = stage.view.texels.height;
    stage.minified = minifies(dudx * width, dvdx * height, dudy * width, dvdy * height,
                              stage.sampler->lodBias);
  }
}

void DrawTextureAccess::sample(DWORD stageNumber, int count, const float* u, const float* v,
                               ShaderColours& out) const {
  count = std::clamp(count, 0, kSpanPixels);
  if (stageNumber >= stages_.size() || stages_[stageNumber].sampler == nullptr) {
    std::fill_n(out.r, count, 0.0f);
    std::fill_n(out.g, count, 0.0f);
    std::fill_n(out.b, count, 0.0f);
    std::fill_n(out.a, count, 1.0f);
    return;
  }
  const Stage& stage = stages_[stageNumber];
  const SamplerSettings& sampler = *stage.sampler;
  const int width = stage.view.texels.width;
  const int height = stage.view.texels.height;
  for (int i = 0; i < count; ++i) {
    coords_.s[i] = toFixedTexels(static_cast<double>(u[i]) * width, sampler.addressU, width);
    coords_.t[i] = toFixedTexels(static_cast<double>(v[i]) * height, sampler.addressV, height);
  }
  coords_.evenlySpaced = false;
  const Filter filter = stage.minified ? sampler.minFilter : sampler.magFilter;
  sampleSpan(stage.view, filter, stage.minified ? stage.minKernel : stage.magKernel, coords_,
             count, texels_);
  unpackColours(texels_, count, out);
}

}  // namespace swd3d::raster
