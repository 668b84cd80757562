#include "d3d9/raster/shader_texture_access.h"

#include "d3d9/raster/shader_texel_coords.h"
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
  fixedTexelSpan(u, count, width, sampler.addressU, coords_.s);
  fixedTexelSpan(v, count, height, sampler.addressV, coords_.t);
  const Filter filter = stage.minified ? sampler.minFilter : sampler.magFilter;
  const SpanSampler general = stage.minified ? stage.minKernel : stage.magKernel;
  coords_.evenlySpaced = evenlyStepped(coords_.s, count) && evenlyStepped(coords_.t, count);
  if (!coords_.evenlySpaced) {
    general(stage.view, coords_, count, texels_);
    unpackColours(texels_, count, out);
    return;
  }
  // Evenly stepped, as interpolated coordinates mostly are: the stepped
  // kernels take the pixels whose texels lie inside, or the texels are read
  // in place where they lie texel for pixel along a row.
  const std::int64_t ds = count > 1 ? coords_.s[1] - coords_.s[0] : 0;
  const std::int64_t dt = count > 1 ? coords_.t[1] - coords_.t[0] : 0;
  const TexelSteps steps{coords_.s[0], coords_.t[0], ds, dt};
  if (const std::uint32_t* inPlace = texelForPixelRun(stage.view, filter, steps, count)) {
    unpackColours(inPlace, count, out);
    return;
  }
  const PixelRange inside = steppedInsideRange(filter, steps, count, width, height);
  if (inside.first >= inside.last) {
    general(stage.view, coords_, count, texels_);
  } else {
    addressedRange(general, stage.view, 0, inside.first);
    steppedInsideSampler(filter)(stage.view, steps.advanced(inside.first),
                                 inside.last - inside.first, texels_ + inside.first);
    addressedRange(general, stage.view, inside.last, count);
  }
  unpackColours(texels_, count, out);
}

void DrawTextureAccess::addressedRange(SpanSampler general, const SamplerView& view, int first,
                                       int last) const {
  if (first >= last) return;
  for (int i = first; i < last; ++i) {
    ends_.s[i - first] = coords_.s[i];
    ends_.t[i - first] = coords_.t[i];
  }
  ends_.evenlySpaced = true;
  general(view, ends_, last - first, texels_ + first);
}

}  // namespace swd3d::raster
