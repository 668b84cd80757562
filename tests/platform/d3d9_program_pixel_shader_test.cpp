// The shader object that carries a compiled program to the device: lifetime,
// interfaces, and finding the program again from the interface pointer.
#include "d3d9/device_control.h"
#include "d3d9/interface_ids.h"
#include "d3d9/pixel_shader_program.h"

#include <gtest/gtest.h>

namespace {

class ConstantProgram final : public swd3d::PixelShaderProgram {
 public:
  void shadeSpan(const swd3d::ShaderSpanInputs& in, const swd3d::ShaderTextureAccess&,
                 swd3d::ShaderColours& out) const override {
    for (int i = 0; i < in.count; ++i) out.r[i] = out.g[i] = out.b[i] = out.a[i] = 0.5f;
  }
};

TEST(ProgramPixelShaderTest, CarriesItsProgramAndIsCountedWhileReferenced) {
  const int before = swd3d::liveObjects().pixelShaders;
  auto program = std::make_shared<ConstantProgram>();
  IDirect3DPixelShader9* shader = nullptr;
  ASSERT_EQ(swd3d::makeProgramPixelShader(program, &shader), S_OK);
  ASSERT_NE(shader, nullptr);
  EXPECT_EQ(swd3d::pixelShaderProgram(shader), program.get());
  EXPECT_EQ(swd3d::liveObjects().pixelShaders, before + 1);

  void* asShader = nullptr;
  ASSERT_EQ(shader->QueryInterface(swd3d::iid::pixelShader9, &asShader), S_OK);
  EXPECT_EQ(asShader, shader);
  void* asTexture = reinterpret_cast<void*>(1);
  EXPECT_EQ(shader->QueryInterface(swd3d::iid::texture9, &asTexture), E_NOINTERFACE);
  EXPECT_EQ(asTexture, nullptr);

  EXPECT_EQ(shader->Release(), 1u);
  EXPECT_EQ(swd3d::liveObjects().pixelShaders, before + 1);
  EXPECT_EQ(shader->Release(), 0u);
  EXPECT_EQ(swd3d::liveObjects().pixelShaders, before);
}

TEST(ProgramPixelShaderTest, RefusesNullArgumentsAndKnowsNoForeignShader) {
  IDirect3DPixelShader9* shader = reinterpret_cast<IDirect3DPixelShader9*>(1);
  EXPECT_EQ(swd3d::makeProgramPixelShader(nullptr, &shader), D3DERR_INVALIDCALL);
  EXPECT_EQ(shader, nullptr);
  EXPECT_EQ(swd3d::makeProgramPixelShader(std::make_shared<ConstantProgram>(), nullptr),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(swd3d::pixelShaderProgram(nullptr), nullptr);
}

}  // namespace
