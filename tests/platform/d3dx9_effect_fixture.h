// Effects compiled by the D3DX stand-in on a software device: effect files
// written to a folder of the test's own, compiled, and their pixel shaders
// run on spans with a fake texture lookup. At teardown no effect or buffer
// may be left alive.
#pragma once

#include "d3d9_test_device.h"
#include "d3dx9_span_shading.h"
#include "d3dx9/d3dx9.h"
#include "d3dx9/effect/effect_control.h"

#include <filesystem>
#include <fstream>
#include <string>

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
    return shadeSpan(device, effect.get(), span, pass);
  }

  std::filesystem::path folder;
  Held<ID3DXEffect> effect;
  swd3dx::LiveEffectObjects effectsBefore;
};
