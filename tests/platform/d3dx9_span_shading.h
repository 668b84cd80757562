// Runs an effect's pixel shader on one span of pixels, as the device's
// rasteriser would, with a fake texture lookup that shows which stage was
// read and where.
#pragma once

#include "d3d9/pixel_shader_program.h"
#include "d3dx9/d3dx9.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

// tex2D on stage s at (u, v) reads (u, v, s / 8, 1 - s / 8).
class FakeTextures final : public swd3d::ShaderTextureAccess {
 public:
  void sample(DWORD stage, int count, const float* u, const float* v,
              swd3d::ShaderColours& out) const override {
    for (int i = 0; i < count; ++i) {
      out.r[i] = u[i];
      out.g[i] = v[i];
      out.b[i] = static_cast<float>(stage) / 8;
      out.a[i] = 1 - static_cast<float>(stage) / 8;
    }
  }
};

using Rgba = std::array<float, 4>;

// A span of pixels with their inputs; diffuse is white where not given.
struct Span {
  std::vector<float> u, v;
  std::vector<Rgba> diffuse;
  int count() const { return static_cast<int>(u.size()); }
};

// Begins the effect's current technique, binds pass `pass` on the device and
// runs the pixel shader it bound on the span; ends the effect again.
inline std::vector<Rgba> shadeSpan(IDirect3DDevice9* device, ID3DXEffect* effect,
                                   const Span& span, UINT pass = 0) {
  static const FakeTextures kTextures;
  std::vector<Rgba> result;
  UINT passes = 0;
  EXPECT_EQ(effect->Begin(&passes, 0), S_OK);
  EXPECT_EQ(effect->BeginPass(pass), S_OK);
  IDirect3DPixelShader9* shader = nullptr;
  EXPECT_EQ(device->GetPixelShader(&shader), D3D_OK);
  const swd3d::PixelShaderProgram* program = swd3d::pixelShaderProgram(shader);
  if (program != nullptr) {
    swd3d::ShaderColours diffuse{};
    for (int i = 0; i < span.count(); ++i) {
      const Rgba c = i < static_cast<int>(span.diffuse.size()) ? span.diffuse[i] : Rgba{1, 1, 1, 1};
      diffuse.r[i] = c[0];
      diffuse.g[i] = c[1];
      diffuse.b[i] = c[2];
      diffuse.a[i] = c[3];
    }
    const swd3d::ShaderSpanInputs in{span.count(), span.u.data(), span.v.data(), &diffuse};
    swd3d::ShaderColours out{};
    program->shadeSpan(in, kTextures, out);
    for (int i = 0; i < span.count(); ++i) result.push_back({out.r[i], out.g[i], out.b[i], out.a[i]});
  } else {
    ADD_FAILURE() << "the pass bound no program";
  }
  if (shader != nullptr) shader->Release();
  EXPECT_EQ(effect->EndPass(), S_OK);
  EXPECT_EQ(effect->End(), S_OK);
  return result;
}
