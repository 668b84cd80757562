// States the device does not implement, or that a real device refuses, make a
// draw fail with the reason in the call log and leave the target untouched:
// never a silently different picture. Argument errors fail too.
#include "d3d9_draw_fixture.h"

#include <functional>

namespace {

using DrawRefusalTest = DrawTest;

const std::pair<D3DRENDERSTATETYPE, DWORD> kBaseline[] = {
    {D3DRS_ALPHATESTENABLE, FALSE},       {D3DRS_STENCILENABLE, FALSE},
    {D3DRS_SCISSORTESTENABLE, FALSE},     {D3DRS_FOGENABLE, FALSE},
    {D3DRS_FILLMODE, D3DFILL_SOLID},      {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_SRGBWRITEENABLE, FALSE},       {D3DRS_WRAP0, 0},
    {D3DRS_CULLMODE, D3DCULL_NONE},       {D3DRS_ALPHABLENDENABLE, FALSE},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},       {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},      {D3DRS_SEPARATEALPHABLENDENABLE, FALSE},
    {D3DRS_BLENDOPALPHA, D3DBLENDOP_ADD}, {D3DRS_DESTBLENDALPHA, D3DBLEND_ZERO},
    {D3DRS_ZENABLE, FALSE},
};

TEST_F(DrawRefusalTest, UnimplementedStatesFailTheDrawAndSayWhy) {
  Held<IDirect3DTexture9> texture(textureOf(2, 2, patternTexels(2, 2)));
  Held<IDirect3DTexture9> sysmem(makeTexture(2, 2, 0, D3DPOOL_SYSTEMMEM));
  Held<IDirect3DTexture9> renderTexture(makeTexture(4, 4, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT));
  Held<IDirect3DSurface9> target(targetOf(4, 4, 0x01020304));
  Held<IDirect3DSurface9> depth;
  ASSERT_EQ(device->CreateDepthStencilSurface(4, 4, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                              depth.out(), nullptr),
            D3D_OK);
  Held<IDirect3DSurface9> renderLevel;
  ASSERT_EQ(renderTexture->GetSurfaceLevel(0, renderLevel.out()), D3D_OK);

  const auto render = [&](D3DRENDERSTATETYPE state, DWORD value) {
    return [=, this] { ASSERT_EQ(device->SetRenderState(state, value), D3D_OK); };
  };
  const auto blending = [&](D3DRENDERSTATETYPE state, DWORD value) {
    return [=, this] {
      ASSERT_EQ(device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE), D3D_OK);
      ASSERT_EQ(device->SetRenderState(state, value), D3D_OK);
    };
  };
  const auto sampler = [&](D3DSAMPLERSTATETYPE state, DWORD value) {
    return [=, this] { ASSERT_EQ(device->SetSamplerState(0, state, value), D3D_OK); };
  };
  const auto stage = [&](DWORD number, D3DTEXTURESTAGESTATETYPE state, DWORD value) {
    return [=, this] { ASSERT_EQ(device->SetTextureStageState(number, state, value), D3D_OK); };
  };
  struct Case {
    const char* reason;  // part of the logged reason
    std::function<void()> set;
  };
  const Case cases[] = {
      {"alpha testing", render(D3DRS_ALPHATESTENABLE, TRUE)},
      {"stencil testing", render(D3DRS_STENCILENABLE, TRUE)},
      {"scissor test", render(D3DRS_SCISSORTESTENABLE, TRUE)},
      {"fog", render(D3DRS_FOGENABLE, TRUE)},
      {"fill mode", render(D3DRS_FILLMODE, D3DFILL_WIREFRAME)},
      {"shade mode", render(D3DRS_SHADEMODE, D3DSHADE_FLAT)},
      {"sRGB writes", render(D3DRS_SRGBWRITEENABLE, TRUE)},
      {"D3DRS_WRAP0", render(D3DRS_WRAP0, 1)},
      {"cull mode", render(D3DRS_CULLMODE, 0)},
      {"source blend factor 16", blending(D3DRS_SRCBLEND, 16)},
      {"destination blend factor 12", blending(D3DRS_DESTBLEND, D3DBLEND_BOTHSRCALPHA)},
      {"blend operation 6", blending(D3DRS_BLENDOP, 6)},
      {"alpha blend operation 0",
       [&] {
         render(D3DRS_SEPARATEALPHABLENDENABLE, TRUE)();
         blending(D3DRS_BLENDOPALPHA, 0)();
       }},
      {"destination alpha blend factor 0",
       [&] {
         render(D3DRS_SEPARATEALPHABLENDENABLE, TRUE)();
         blending(D3DRS_DESTBLENDALPHA, 0)();
       }},
      {"depth testing",
       [&] {
         ASSERT_EQ(device->SetDepthStencilSurface(depth.get()), D3D_OK);
         render(D3DRS_ZENABLE, TRUE)();
       }},
      {"sampler 0: only point and linear", sampler(D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC)},
      {"sampler 0: only point and linear", sampler(D3DSAMP_MAGFILTER, D3DTEXF_NONE)},
      {"sampler 0: address mode", sampler(D3DSAMP_ADDRESSV, 6)},
      {"sampler 0: sRGB", sampler(D3DSAMP_SRGBTEXTURE, TRUE)},
      {"stage 0 colour operation 5", stage(0, D3DTSS_COLOROP, 5)},
      {"stage 0 alpha argument", stage(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR)},
      {"stage 0 colour argument", stage(0, D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT)},
      {"alpha disabled while colour", stage(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE)},
      {"stage 1 is enabled", stage(1, D3DTSS_COLOROP, D3DTOP_MODULATE)},
      {"register other than current", stage(0, D3DTSS_RESULTARG, 5)},
      {"transforms", stage(0, D3DTSS_TEXTURETRANSFORMFLAGS, 2)},
      {"texture-coordinate set", stage(0, D3DTSS_TEXCOORDINDEX, 1)},
      {"none is bound", [&] { ASSERT_EQ(device->SetTexture(0, nullptr), D3D_OK); }},
      {"system memory", [&] { ASSERT_EQ(device->SetTexture(0, sysmem.get()), D3D_OK); }},
      {"is the render target",
       [&] {
         ASSERT_EQ(device->SetRenderTarget(0, renderLevel.get()), D3D_OK);
         ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x01020304, 0, 0), D3D_OK);
         ASSERT_EQ(device->SetTexture(0, renderTexture.get()), D3D_OK);
       }},
      {"no texture coordinates", [&] { ASSERT_EQ(device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE), D3D_OK); }},
      {"vertex format 322", [&] { ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1), D3D_OK); }},
      {"vertex format 452", [&] { ASSERT_EQ(device->SetFVF(kQuadFormat | D3DFVF_SPECULAR), D3D_OK); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
    c.set();
    swd3d::setCallLog(true);
    EXPECT_EQ(drawQuad(0, 0, 4, 4), D3DERR_INVALIDCALL);
    const std::vector<std::string> log = swd3d::takeCallLog();
    swd3d::setCallLog(false);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "DrawPrimitiveUP(6, 2, 28)");
    EXPECT_NE(log[1].find("DrawPrimitiveUP refused: "), std::string::npos) << log[1];
    EXPECT_NE(log[1].find(c.reason), std::string::npos) << log[1];

    // Nothing drawn.
    IDirect3DSurface9* current = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &current), D3D_OK);
    Held<IDirect3DSurface9> held(current);
    EXPECT_EQ(renderTargetWords(current), std::vector<std::uint32_t>(16, 0x01020304u));

    // Back to the fixture's states, under which the quad draws.
    for (const auto& [state, value] : kBaseline) {
      ASSERT_EQ(device->SetRenderState(state, value), D3D_OK);
    }
    const std::pair<D3DSAMPLERSTATETYPE, DWORD> samplerDefaults[] = {
        {D3DSAMP_MINFILTER, D3DTEXF_POINT}, {D3DSAMP_MAGFILTER, D3DTEXF_POINT},
        {D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP}, {D3DSAMP_SRGBTEXTURE, FALSE}};
    for (const auto& [state, value] : samplerDefaults) {
      ASSERT_EQ(device->SetSamplerState(0, state, value), D3D_OK);
    }
    const std::pair<D3DTEXTURESTAGESTATETYPE, DWORD> stageDefaults[] = {
        {D3DTSS_COLOROP, D3DTOP_MODULATE}, {D3DTSS_COLORARG1, D3DTA_TEXTURE},
        {D3DTSS_ALPHAOP, D3DTOP_MODULATE}, {D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
        {D3DTSS_RESULTARG, D3DTA_CURRENT}, {D3DTSS_TEXTURETRANSFORMFLAGS, 0},
        {D3DTSS_TEXCOORDINDEX, 0}};
    for (const auto& [state, value] : stageDefaults) {
      ASSERT_EQ(device->SetTextureStageState(0, state, value), D3D_OK);
    }
    ASSERT_EQ(device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE), D3D_OK);
    ASSERT_EQ(device->SetFVF(kQuadFormat), D3D_OK);
    ASSERT_EQ(device->SetDepthStencilSurface(nullptr), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, target.get()), D3D_OK);
    ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
    ASSERT_EQ(drawQuad(0, 0, 4, 4), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x01020304, 0, 0), D3D_OK);
  }
}

}  // namespace
