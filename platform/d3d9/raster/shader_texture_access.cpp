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

const DrawTextureAccess::Stage* DrawTextureAccess::stageOrFill(DWORD stageNumber, int count,
                                                               ShaderColours& out) const {
  if (stageNumber < stages_.size() && stages_[stageNumber].sampler != nullptr) {
    return &stages_[stageNumber];
  }
  std::fill_n(out.r, count, 0.0f);
  std::fill_n(out.g, count, 0.0f);
  std::fill_n(out.b, count, 0.0f);
  std::fill_n(out.a, count, 1.0f);
  return nullptr;
}

void DrawTextureAccess::sample(DWORD stageNumber, int count, const float* u, const float* v,
                               ShaderColours& out) const {
  count = std::clamp(count, 0, kSpanPixels);
  const Stage* stage = stageOrFill(stageNumber, count, out);
  if (stage == nullptr || count == 0) return;
  const SamplerSettings& sampler = *stage->sampler;
  const bool sEven = fixedTexelSpan(u, count, stage->view.texels.width, sampler.addressU, coords_.s);
  const bool tEven = fixedTexelSpan(v, count, stage->view.texels.height, sampler.addressV, coords_.t);
  sampleCoords(*stage, count, sEven && tEven, out);
}

void DrawTextureAccess::sampleInterpolated(DWORD stageNumber, int count, const SpanTexCoords& at,
                                           ShaderColours& out) const {
  count = std::clamp(count, 0, kSpanPixels);
  const Stage* stage = stageOrFill(stageNumber, count, out);
  if (stage == nullptr || count == 0) return;
  const SamplerSettings& sampler = *stage->sampler;
  const int width = stage->view.texels.width;
  const int height = stage->view.texels.height;
  const std::optional<FixedSteps> s = exactFixedSteps(at.uStart, at.uStep, count, width);
  const std::optional<FixedSteps> t = exactFixedSteps(at.vStart, at.vStep, count, height);
  if (s && t) {
    // Known to step evenly without a pass over the pixels.
    sampleSteps(*stage, count, {s->first, t->first, s->step, t->step}, out);
    return;
  }
  const bool sEven = fixedTexelSpan(at.uStart, at.uStep, count, stage->view.texels.width,
                                    sampler.addressU, coords_.s);
  const bool tEven = fixedTexelSpan(at.vStart, at.vStep, count, stage->view.texels.height,
                                    sampler.addressV, coords_.t);
  sampleCoords(*stage, count, sEven && tEven, out);
}

void DrawTextureAccess::sampleCoords(const Stage& stage, int count, bool even,
                                     ShaderColours& out) const {
  coords_.evenlySpaced = even;
  if (!even) {
    const SpanSampler general = stage.minified ? stage.minKernel : stage.magKernel;
    general(stage.view, coords_, count, texels_);
    unpackColours(texels_, count, out);
    return;
  }
  const std::int64_t ds = count > 1 ? coords_.s[1] - coords_.s[0] : 0;
  const std::int64_t dt = count > 1 ? coords_.t[1] - coords_.t[0] : 0;
  sampleSteps(stage, count, {coords_.s[0], coords_.t[0], ds, dt}, out, true);
}

void DrawTextureAccess::sampleSteps(const Stage& stage, int count, const TexelSteps& steps,
                                    ShaderColours& out, bool coordsFilled) const {
  // Evenly stepped, as interpolated coordinates mostly are: the stepped
  // kernels take the pixels whose texels lie inside, or the texels are read
  // in place where they lie texel for pixel along a row.
  const SamplerSettings& sampler = *stage.sampler;
  const Filter filter = stage.minified ? sampler.minFilter : sampler.magFilter;
  const SpanSampler general = stage.minified ? stage.minKernel : stage.magKernel;
  if (const std::uint32_t* inPlace = texelForPixelRun(stage.view, filter, steps, count)) {
    // The span after next along the row, fetched while this one is shaded
    // (the shading between the reads leaves the hardware prefetcher behind).
    // (Addresses past the texture are harmless: a prefetch never faults.)
    const std::uintptr_t ahead = reinterpret_cast<std::uintptr_t>(inPlace) + 2 * kSpanPixels * 4;
    for (int line = 0; line < kSpanPixels * 4; line += 64) {
      __builtin_prefetch(reinterpret_cast<const void*>(ahead + line));
    }
    unpackColours(inPlace, count, out);
    return;
  }
  const PixelRange inside =
      steppedInsideRange(filter, steps, count, stage.view.texels.width, stage.view.texels.height);
  if (!coordsFilled && (inside.first > 0 || inside.last < count)) {
    for (int i = 0; i < count; ++i) {
      const TexelSteps at = steps.advanced(i);
      coords_.s[i] = at.s;
      coords_.t[i] = at.t;
    }
    coords_.evenlySpaced = true;
  }
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
