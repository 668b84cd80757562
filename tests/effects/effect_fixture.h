// The effect commands under the stand-in host: effect files written into a
// folder of the test's own, and at teardown no effect or buffer left alive.
#pragma once

#include "host_fixture.h"

#include "d3dx9/effect/effect_control.h"
#include "effects/effect_commands.h"
#include "effects/effect_slots.h"

#include <filesystem>
#include <fstream>
#include <string>

// A grey effect with one of each parameter kind and two techniques, the
// first of which the software device cannot run (anisotropic filtering).
inline const char* const kSampleEffect = R"(
float amount = 0.5;
float4 tint = {1, 1, 1, 1};
float4x4 colours = {1, 0, 0, 0,  0, 1, 0, 0,  0, 0, 1, 0,  0, 0, 0, 1};
texture overlay;
sampler2D image;
float4 grey(float2 uv : TEXCOORD0) : COLOR0 {
  float4 c = tex2D(image, uv);
  return mul(lerp(c, dot(c.rgb, float3(0.299, 0.587, 0.114)), amount) * tint, colours);
}
technique Sharp { pass { MinFilter[0] = Anisotropic; PixelShader = compile ps_2_0 grey(); } }
technique Grey { pass { PixelShader = compile ps_2_0 grey(); } }
technique Plain { pass { } }
)";

class EffectCommands : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    folder = std::filesystem::path(::testing::TempDir()) /
             ("effects_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(folder);
  }

  void TearDown() override {
    HostFixture::TearDown();
    const swd3dx::LiveEffectObjects live = swd3dx::liveEffectObjects();
    EXPECT_EQ(live.effects, 0) << "leaked effects";
    EXPECT_EQ(live.buffers, 0) << "leaked buffers";
    std::filesystem::remove_all(folder);
  }

  // Writes an effect file and returns its path (a string the commands take).
  std::string effectFile(const std::string& source = kSampleEffect,
                         const std::string& name = "sample.fx") {
    const std::filesystem::path path = folder / name;
    std::ofstream(path, std::ios::binary) << source;
    return path.string();
  }

  static DWORD load(const std::string& path, int number) {
    return LoadEffectTry(const_cast<char*>(path.c_str()), number);
  }

  static tessaly::EffectSlot* slot(int number) { return tessaly::effectSlotEntry(number)->get(); }

  std::filesystem::path folder;
};

// Regular-expression text that matches `text` literally.
inline std::string literally(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) out += '\\';
    out += c;
  }
  return out;
}
