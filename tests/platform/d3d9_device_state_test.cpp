// Render, sampler and texture-stage states start from Direct3D 9's documented
// values and are kept per number; bindings and scenes follow a real device's
// rules.
#include "d3d9_test_device.h"

namespace {

using DeviceStateTest = DeviceTest;

TEST_F(DeviceStateTest, RenderStatesStartFromTheDocumentedValues) {
  const std::pair<D3DRENDERSTATETYPE, DWORD> defaults[] = {
      {D3DRS_ZENABLE, 1},  // the device has an automatic depth-stencil surface
      {D3DRS_FILLMODE, 3},
      {D3DRS_SHADEMODE, 2},
      {D3DRS_ZWRITEENABLE, TRUE},
      {D3DRS_ALPHATESTENABLE, FALSE},
      {D3DRS_SRCBLEND, D3DBLEND_ONE},
      {D3DRS_DESTBLEND, D3DBLEND_ZERO},
      {D3DRS_CULLMODE, D3DCULL_CCW},
      {D3DRS_ZFUNC, 4},
      {D3DRS_ALPHAREF, 0},
      {D3DRS_ALPHAFUNC, 8},
      {D3DRS_DITHERENABLE, FALSE},
      {D3DRS_ALPHABLENDENABLE, FALSE},
      {D3DRS_FOGENABLE, FALSE},
      {D3DRS_SPECULARENABLE, FALSE},
      {D3DRS_STENCILENABLE, FALSE},
      {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF},
      {D3DRS_LIGHTING, TRUE},
      {D3DRS_COLORWRITEENABLE, 0xF},
      {D3DRS_BLENDOP, D3DBLENDOP_ADD},
      {D3DRS_SCISSORTESTENABLE, FALSE},
      {D3DRS_SEPARATEALPHABLENDENABLE, FALSE},
      {D3DRS_SRCBLENDALPHA, D3DBLEND_ONE},
      {D3DRS_DESTBLENDALPHA, D3DBLEND_ZERO},
      {D3DRS_BLENDOPALPHA, D3DBLENDOP_ADD},
  };
  for (const auto& [state, expected] : defaults) {
    DWORD value = 0xDEADBEEF;
    ASSERT_EQ(device->GetRenderState(state, &value), D3D_OK) << state;
    EXPECT_EQ(value, expected) << "render state " << state;
  }
  ASSERT_EQ(device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA), D3D_OK);
  DWORD value = 0;
  ASSERT_EQ(device->GetRenderState(D3DRS_SRCBLEND, &value), D3D_OK);
  EXPECT_EQ(value, DWORD{D3DBLEND_SRCALPHA});
  EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(210), 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->GetRenderState(static_cast<D3DRENDERSTATETYPE>(0), &value),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(device->GetRenderState(D3DRS_ZENABLE, nullptr), D3DERR_INVALIDCALL);
}

TEST(DeviceWithoutDepthTest, DepthTestingStartsOff) {
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  D3DPRESENT_PARAMETERS parameters = presentation(8, 8, false);
  IDirect3DDevice9* device = nullptr;
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                              &parameters, &device),
            D3D_OK);
  DWORD value = 1;
  EXPECT_EQ(device->GetRenderState(D3DRS_ZENABLE, &value), D3D_OK);
  EXPECT_EQ(value, 0u);
  IDirect3DSurface9* depth = reinterpret_cast<IDirect3DSurface9*>(&value);
  EXPECT_EQ(device->GetDepthStencilSurface(&depth), D3DERR_NOTFOUND);
  EXPECT_EQ(depth, nullptr);
  EXPECT_EQ(device->Release(), 0u);
  EXPECT_EQ(d3d->Release(), 0u);
  EXPECT_EQ(swd3d::liveObjects().surfaces, 0);
}

TEST_F(DeviceStateTest, SamplerStatesStartFromTheDocumentedValuesPerSampler) {
  for (DWORD sampler : {0u, 15u, 256u, 260u}) {
    const std::pair<D3DSAMPLERSTATETYPE, DWORD> defaults[] = {
        {D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP}, {D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP},
        {D3DSAMP_ADDRESSW, D3DTADDRESS_WRAP}, {D3DSAMP_BORDERCOLOR, 0},
        {D3DSAMP_MAGFILTER, D3DTEXF_POINT},   {D3DSAMP_MINFILTER, D3DTEXF_POINT},
        {D3DSAMP_MIPFILTER, D3DTEXF_NONE},    {D3DSAMP_MIPMAPLODBIAS, 0},
        {D3DSAMP_MAXMIPLEVEL, 0},             {D3DSAMP_MAXANISOTROPY, 1},
        {D3DSAMP_SRGBTEXTURE, 0},
    };
    for (const auto& [type, expected] : defaults) {
      DWORD value = 0xDEADBEEF;
      ASSERT_EQ(device->GetSamplerState(sampler, type, &value), D3D_OK);
      EXPECT_EQ(value, expected) << "sampler " << sampler << " state " << type;
    }
  }
  ASSERT_EQ(device->SetSamplerState(1, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRRORONCE), D3D_OK);
  DWORD first = 0, second = 0;
  ASSERT_EQ(device->GetSamplerState(1, D3DSAMP_ADDRESSU, &first), D3D_OK);
  ASSERT_EQ(device->GetSamplerState(0, D3DSAMP_ADDRESSU, &second), D3D_OK);
  EXPECT_EQ(first, DWORD{D3DTADDRESS_MIRRORONCE});
  EXPECT_EQ(second, DWORD{D3DTADDRESS_WRAP});
  for (DWORD sampler : {16u, 255u, 261u}) {
    EXPECT_EQ(device->SetSamplerState(sampler, D3DSAMP_MINFILTER, 2), D3DERR_INVALIDCALL);
  }
  EXPECT_EQ(device->SetSamplerState(0, static_cast<D3DSAMPLERSTATETYPE>(14), 2),
            D3DERR_INVALIDCALL);
}

TEST_F(DeviceStateTest, TextureStageStatesStartFromTheDocumentedValuesPerStage) {
  auto stageState = [this](DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
    DWORD value = 0xDEADBEEF;
    EXPECT_EQ(device->GetTextureStageState(stage, type, &value), D3D_OK);
    return value;
  };
  EXPECT_EQ(stageState(0, D3DTSS_COLOROP), DWORD{D3DTOP_MODULATE});
  EXPECT_EQ(stageState(0, D3DTSS_ALPHAOP), DWORD{D3DTOP_SELECTARG1});
  EXPECT_EQ(stageState(1, D3DTSS_COLOROP), DWORD{D3DTOP_DISABLE});
  EXPECT_EQ(stageState(7, D3DTSS_ALPHAOP), DWORD{D3DTOP_DISABLE});
  for (DWORD stage = 0; stage < 8; ++stage) {
    EXPECT_EQ(stageState(stage, D3DTSS_COLORARG1), D3DTA_TEXTURE);
    EXPECT_EQ(stageState(stage, D3DTSS_COLORARG2), D3DTA_CURRENT);
    EXPECT_EQ(stageState(stage, D3DTSS_ALPHAARG1), D3DTA_TEXTURE);
    EXPECT_EQ(stageState(stage, D3DTSS_ALPHAARG2), D3DTA_CURRENT);
    EXPECT_EQ(stageState(stage, D3DTSS_TEXCOORDINDEX), stage);
  }
  ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE), D3D_OK);
  EXPECT_EQ(stageState(0, D3DTSS_COLORARG2), D3DTA_DIFFUSE);
  EXPECT_EQ(stageState(1, D3DTSS_COLORARG2), D3DTA_CURRENT);
  EXPECT_EQ(device->SetTextureStageState(8, D3DTSS_COLOROP, 1), D3DERR_INVALIDCALL);
}

TEST_F(DeviceStateTest, BindingsAndScenesFollowTheDevicesRules) {
  Held<IDirect3DTexture9> plain(makeTexture(4, 4));
  Held<IDirect3DSurface9> plainLevel, backBuffer, depth;
  ASSERT_EQ(plain->GetSurfaceLevel(0, plainLevel.out()), D3D_OK);
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, backBuffer.out()), D3D_OK);
  ASSERT_EQ(device->GetDepthStencilSurface(depth.out()), D3D_OK);
  EXPECT_EQ(device->SetRenderTarget(0, plainLevel.get()), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetRenderTarget(0, depth.get()), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetRenderTarget(0, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetRenderTarget(1, backBuffer.get()), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetDepthStencilSurface(backBuffer.get()), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetTexture(16, plain.get()), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetTexture(257, plain.get()), D3D_OK);
  EXPECT_EQ(device->SetTexture(257, nullptr), D3D_OK);

  EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->BeginScene(), D3D_OK);
  EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->EndScene(), D3D_OK);
  EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
}

}  // namespace
