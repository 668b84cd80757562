// A device set up to draw as the plug-in's quad renderer draws (no depth
// buffer, no culling, no lighting, stage 0 modulating texture and diffuse),
// with helpers to make textures and render targets from words, draw quads and
// triangles, and read the target back.
#pragma once

#include "d3d9_test_device.h"

#include <array>
#include <cmath>
#include <functional>
#include <string>

struct TestVertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse;
  float u, v;
};
static_assert(sizeof(TestVertex) == 28);

inline constexpr DWORD kQuadFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

class DrawTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_EQ(device->SetDepthStencilSurface(nullptr), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_LIGHTING, FALSE), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE), D3D_OK);
    ASSERT_EQ(device->SetFVF(kQuadFormat), D3D_OK);
  }

  void TearDown() override {
    if (device != nullptr) {
      device->SetTexture(0, nullptr);
      device->SetPixelShader(nullptr);
    }
    DeviceTest::TearDown();
    EXPECT_EQ(swd3d::liveObjects().pixelShaders, 0) << "leaked pixel shaders";
  }

  // A managed texture holding `texels` row by row.
  IDirect3DTexture9* textureOf(UINT width, UINT height, const std::vector<std::uint32_t>& texels) {
    IDirect3DTexture9* texture = makeTexture(width, height);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < height; ++y) {
      std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + std::ptrdiff_t(y) * locked.Pitch,
                  texels.data() + std::size_t{y} * width, std::size_t{width} * 4);
    }
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    return texture;
  }

  // A render target of this size, made current and cleared to `background`.
  IDirect3DSurface9* targetOf(UINT width, UINT height, std::uint32_t background) {
    IDirect3DSurface9* target = nullptr;
    EXPECT_EQ(device->CreateRenderTarget(width, height, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0,
                                         FALSE, &target, nullptr),
              D3D_OK);
    EXPECT_EQ(device->SetRenderTarget(0, target), D3D_OK);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 0.0f, 0), D3D_OK);
    return target;
  }

  // The quad renderer's quad: corners (x0, y0) to (x1, y1) in pixel-edge
  // coordinates, shifted by half a pixel, as a fan from the top-left corner
  // clockwise, or anticlockwise when `mirrored`.
  HRESULT drawQuad(float x0, float y0, float x1, float y1, float u0 = 0, float v0 = 0,
                   float u1 = 1, float v1 = 1, D3DCOLOR diffuse = 0xFFFFFFFF,
                   bool mirrored = false) {
    std::array<TestVertex, 4> fan = {{
        {x0 - 0.5f, y0 - 0.5f, 0, 1, diffuse, u0, v0},
        {x1 - 0.5f, y0 - 0.5f, 0, 1, diffuse, u1, v0},
        {x1 - 0.5f, y1 - 0.5f, 0, 1, diffuse, u1, v1},
        {x0 - 0.5f, y1 - 0.5f, 0, 1, diffuse, u0, v1},
    }};
    if (mirrored) std::swap(fan[1], fan[3]);
    return device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, fan.data(), sizeof(TestVertex));
  }

  void setRenderStates(std::initializer_list<std::pair<D3DRENDERSTATETYPE, DWORD>> states) {
    for (const auto& [state, value] : states) {
      ASSERT_EQ(device->SetRenderState(state, value), D3D_OK);
    }
  }
  void setSamplerStates(std::initializer_list<std::pair<D3DSAMPLERSTATETYPE, DWORD>> states) {
    for (const auto& [state, value] : states) {
      ASSERT_EQ(device->SetSamplerState(0, state, value), D3D_OK);
    }
  }

  // Sampler 0's filters and one address mode for u and v.
  void sampling(DWORD minFilter, DWORD magFilter, DWORD address) {
    setSamplerStates({{D3DSAMP_MINFILTER, minFilter},
                      {D3DSAMP_MAGFILTER, magFilter},
                      {D3DSAMP_ADDRESSU, address},
                      {D3DSAMP_ADDRESSV, address}});
  }

  // A replace blend, as the plug-in's copies use.
  void replaceBlend() {
    setRenderStates({{D3DRS_ALPHABLENDENABLE, TRUE},
                     {D3DRS_SRCBLEND, D3DBLEND_ONE},
                     {D3DRS_DESTBLEND, D3DBLEND_ZERO}});
  }
};

// Words of a pattern whose every texel differs from its neighbours.
inline std::vector<std::uint32_t> patternTexels(UINT width, UINT height, std::uint32_t seed = 1) {
  std::vector<std::uint32_t> out(std::size_t{width} * height);
  std::uint32_t state = seed * 2654435761u;
  for (auto& word : out) {
    state = state * 1664525u + 1013904223u;
    word = state;
  }
  return out;
}

inline std::string hexWord(std::uint32_t word) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%08X", static_cast<unsigned>(word));
  return buffer;
}
