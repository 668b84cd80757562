// Effects compiled by the D3DX stand-in on a software device: effect files
// written to a folder of the test's own, compiled, and their pixel shaders
// run on spans with a fake texture lookup. At teardown no effect or buffer
// may be left alive.
#pragma once

#include "d3d9_test_device.h"
#include "d3d9/pixel_shader_program.h"
#include "d3dx9/d3dx9.h"
#include "d3dx9/effect/effect_control.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

// tex2D on stage s at (u, v) reads (u, v, s / 8, 1 - s / 8): which texture
// was read, and where, shows in the result.
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

// A span of pixels with their inputs.
struct Span {
  std::vector<float> u, v;
  std::vector<Rgba> diffuse;
  int count() const { return static_cast<int>(u.size()); }
};

class EffectTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    folder = std::filesystem::path(::testing::TempDir()) /
             ("d3dx9_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(folder);
    effectsBefore = swd3dx::liveEffectObjects();
  }

  void TearDown() override {
    effect.reset();
    const swd3dx::LiveEffectObjects live = swd3dx::liveEffectObjects();
    EXPECT_EQ(live.effects, effectsBefore.effects) << "leaked effects";
    EXPECT_EQ(live.buffers, effectsBefore.buffers) << "leaked buffers";
    std::filesystem::remove_all(folder);
    DeviceTest::TearDown();
  }

  std::string write(const std::string& source, const std::string& name = "test.fx") {
    const std::filesystem::path path = folder / name;
    std::ofstream(path, std::ios::binary) << source;
    return path.string();
  }

  // Compiles source into `effect`; false (and the messages as a test
  // failure) if it does not compile.
  bool compile(const std::string& source) {
    const std::string errors = compileErrors(source);
    EXPECT_EQ(errors, "") << source;
    return effect.get() != nullptr;
  }

  // The compiler's messages for source, with the folder taken out of the
  // file names ("test.fx(2,5): error: ..."); "" if it compiled.
  std::string compileErrors(const std::string& source) {
    const std::string path = write(source);
    Held<ID3DXBuffer> errors;
    const HRESULT result = D3DXCreateEffectFromFileA(device, path.c_str(), nullptr, nullptr,
                                                     D3DXSHADER_DEBUG, nullptr, effect.out(),
                                                     errors.out());
    if (SUCCEEDED(result)) {
      EXPECT_EQ(errors.get(), nullptr) << "no messages when it compiles";
      return "";
    }
    EXPECT_EQ(effect.get(), nullptr);
    if (errors.get() == nullptr) return "(no messages)";
    std::string text(static_cast<const char*>(errors->GetBufferPointer()), errors->GetBufferSize());
    const std::string prefix = (folder / "").string();
    for (std::size_t at = 0; (at = text.find(prefix, at)) != std::string::npos;) text.erase(at, prefix.size());
    return text;
  }

  // Runs the shader of pass `pass` of the current technique on a span.
  std::vector<Rgba> shade(const Span& span, UINT pass = 0) {
    UINT passes = 0;
    EXPECT_EQ(effect->Begin(&passes, 0), S_OK);
    EXPECT_EQ(effect->BeginPass(pass), S_OK);
    Held<IDirect3DPixelShader9> shader;
    EXPECT_EQ(device->GetPixelShader(shader.out()), D3D_OK);
    const swd3d::PixelShaderProgram* program = swd3d::pixelShaderProgram(shader.get());
    std::vector<Rgba> result;
    if (program != nullptr) {
      swd3d::ShaderColours diffuse{};
      for (int i = 0; i < span.count(); ++i) {
        const Rgba c = i < static_cast<int>(span.diffuse.size()) ? span.diffuse[i] : Rgba{1, 1, 1, 1};
        diffuse.r[i] = c[0];
        diffuse.g[i] = c[1];
        diffuse.b[i] = c[2];
        diffuse.a[i] = c[3];
      }
      swd3d::ShaderSpanInputs in{span.count(), span.u.data(), span.v.data(), &diffuse};
      swd3d::ShaderColours out{};
      program->shadeSpan(in, textures, out);
      for (int i = 0; i < span.count(); ++i) result.push_back({out.r[i], out.g[i], out.b[i], out.a[i]});
    } else {
      ADD_FAILURE() << "the pass bound no program";
    }
    shader.reset();
    EXPECT_EQ(effect->EndPass(), S_OK);
    EXPECT_EQ(effect->End(), S_OK);
    return result;
  }

  std::filesystem::path folder;
  Held<ID3DXEffect> effect;
  FakeTextures textures;
  swd3dx::LiveEffectObjects effectsBefore;
};
