// The effect object: parameters set and read back, handles and names,
// technique validation, and what Begin, BeginPass and End do to the device.
#include "d3dx9_effect_fixture.h"

#include <string>

namespace {

const char* const kParameters = R"(
float gain = 2;
float2 offset = {0.25, 0.5};
float4 tint = float4(1, 0.5, 0.25, 1);
bool inverted = true;
float4x4 colours = {1, 2, 3, 4,  5, 6, 7, 8,  9, 10, 11, 12,  13, 14, 15, 16};
texture picture;
sampler2D image = sampler_state { Texture = <picture>; MinFilter = Linear; AddressU = Clamp; };
static const float hidden = 3;
float4 run(float2 uv : TEXCOORD0) : COLOR0 {
  return tex2D(image, uv + offset) * tint * gain + mul(float4(uv, inverted, hidden), colours);
}
technique Main { pass { PixelShader = compile ps_2_0 run(); } }
)";

using EffectParameters = EffectTest;

TEST_F(EffectParameters, StartWithTheirInitialValues) {
  ASSERT_TRUE(compile(kParameters));
  float gain = 0;
  EXPECT_EQ(effect->GetFloat("gain", &gain), S_OK);
  EXPECT_EQ(gain, 2.0f);
  D3DXVECTOR4 v{};
  EXPECT_EQ(effect->GetVector("offset", &v), S_OK);
  EXPECT_EQ(v.x, 0.25f);
  EXPECT_EQ(v.y, 0.5f);
  EXPECT_EQ(v.z, 0.0f) << "a float2 reads back with zeros beyond its components";
  EXPECT_EQ(effect->GetVector("tint", &v), S_OK);
  EXPECT_EQ(v.z, 0.25f);
  float inverted = 0;
  EXPECT_EQ(effect->GetFloat("inverted", &inverted), S_OK);
  EXPECT_EQ(inverted, 1.0f);
  D3DXMATRIX m{};
  EXPECT_EQ(effect->GetMatrix("colours", &m), S_OK);
  EXPECT_EQ(m.m[0][1], 2.0f) << "brace lists fill a matrix row by row";
  EXPECT_EQ(m.m[3][0], 13.0f);
  Held<IDirect3DBaseTexture9> texture;
  EXPECT_EQ(effect->GetTexture("picture", texture.out()), S_OK);
  EXPECT_EQ(texture.get(), nullptr);
}

TEST_F(EffectParameters, ReadBackWhatWasSet) {
  ASSERT_TRUE(compile(kParameters));
  EXPECT_EQ(effect->SetFloat("gain", -1.5f), S_OK);
  const D3DXVECTOR4 vector{7, 8, 9, 10};
  EXPECT_EQ(effect->SetVector("offset", &vector), S_OK);
  EXPECT_EQ(effect->SetVector("tint", &vector), S_OK);
  EXPECT_EQ(effect->SetFloat("inverted", 0.25f), S_OK);
  D3DXMATRIX matrix{};
  for (int i = 0; i < 16; ++i) matrix.m[i / 4][i % 4] = static_cast<float>(100 + i);
  EXPECT_EQ(effect->SetMatrix("colours", &matrix), S_OK);

  float f = 0;
  D3DXVECTOR4 v{};
  D3DXMATRIX m{};
  EXPECT_EQ(effect->GetFloat("gain", &f), S_OK);
  EXPECT_EQ(f, -1.5f);
  EXPECT_EQ(effect->GetVector("offset", &v), S_OK);
  EXPECT_EQ(v.x, 7.0f);
  EXPECT_EQ(v.y, 8.0f);
  EXPECT_EQ(v.z, 0.0f) << "a float2 keeps only x and y";
  EXPECT_EQ(effect->GetVector("tint", &v), S_OK);
  EXPECT_EQ(v.w, 10.0f);
  EXPECT_EQ(effect->GetFloat("inverted", &f), S_OK);
  EXPECT_EQ(f, 1.0f) << "a bool holds 1 for anything but 0";
  EXPECT_EQ(effect->GetMatrix("colours", &m), S_OK);
  EXPECT_EQ(m.m[2][3], 111.0f);
}

TEST_F(EffectParameters, RefuseTheWrongKindAndUnknownNames) {
  ASSERT_TRUE(compile(kParameters));
  const D3DXVECTOR4 vector{1, 2, 3, 4};
  D3DXMATRIX matrix{};
  float f = 0;
  EXPECT_EQ(effect->SetFloat("tint", 1), D3DERR_INVALIDCALL) << "a float4 is no float";
  EXPECT_EQ(effect->SetVector("colours", &vector), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect->SetMatrix("tint", &matrix), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect->SetTexture("image", nullptr), D3DERR_INVALIDCALL) << "a sampler is no texture";
  EXPECT_EQ(effect->SetFloat("absent", 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect->SetFloat("hidden", 1), D3DERR_INVALIDCALL) << "a static const is no parameter";
  EXPECT_EQ(effect->SetFloat(nullptr, 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect->SetFloat("Main", 1), D3DERR_INVALIDCALL) << "a technique is no parameter";
  EXPECT_EQ(effect->GetFloat("gain", nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect->SetVector("tint", nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect->GetFloat("gain", &f), S_OK);
  EXPECT_EQ(f, 2.0f) << "refused calls change nothing";
}

TEST_F(EffectParameters, HandlesAndNamesReachTheSameParameter) {
  ASSERT_TRUE(compile(kParameters));
  const D3DXHANDLE gain = effect->GetParameterByName(nullptr, "gain");
  ASSERT_NE(gain, nullptr);
  EXPECT_EQ(effect->GetParameterByName(nullptr, "gain"), gain);
  EXPECT_EQ(effect->GetParameterByName(nullptr, "Gain"), nullptr) << "names are case-sensitive";
  EXPECT_EQ(effect->GetParameterByName(nullptr, "hidden"), nullptr);
  EXPECT_EQ(effect->GetParameterByName(gain, "gain"), nullptr) << "no structures to look inside";
  EXPECT_EQ(effect->SetFloat(gain, 5), S_OK);
  float f = 0;
  EXPECT_EQ(effect->GetFloat("gain", &f), S_OK);
  EXPECT_EQ(f, 5.0f);
  EXPECT_EQ(effect->SetFloat(effect->GetTechnique(0), 1), D3DERR_INVALIDCALL)
      << "a technique's handle is no parameter";
}

TEST_F(EffectParameters, TexturesAreHeldWhileSet) {
  ASSERT_TRUE(compile(kParameters));
  IDirect3DTexture9* first = makeTexture(4, 4);
  IDirect3DTexture9* second = makeTexture(4, 4);
  EXPECT_EQ(effect->SetTexture("picture", first), S_OK);
  EXPECT_EQ(first->Release(), 1u) << "the effect holds the texture";
  EXPECT_EQ(effect->SetTexture("picture", second), S_OK);
  Held<IDirect3DBaseTexture9> read;
  EXPECT_EQ(effect->GetTexture("picture", read.out()), S_OK);
  EXPECT_EQ(read.get(), second);
  read.reset();
  EXPECT_EQ(swd3d::liveObjects().textures, 1) << "replacing the texture let the first go";
  EXPECT_EQ(second->Release(), 1u);
  effect.reset();
  EXPECT_EQ(swd3d::liveObjects().textures, 0) << "releasing the effect let the second go";
}

TEST_F(EffectParameters, ShadersReadTheValuesOfTheirDraw) {
  ASSERT_TRUE(compile(
      "float4 tint = {1, 1, 1, 1};\n"
      "float4 run(float2 uv : TEXCOORD0) : COLOR0 { return tint * uv.x; }\n"
      "technique t { pass { PixelShader = compile ps_2_0 run(); } }"));
  const Span span{{0.5f}, {0.0f}, {}};
  EXPECT_EQ(shade(span)[0], (Rgba{0.5f, 0.5f, 0.5f, 0.5f}));
  const D3DXVECTOR4 red{1, 0, 0, 0.5f};
  ASSERT_EQ(effect->SetVector("tint", &red), S_OK);
  EXPECT_EQ(shade(span)[0], (Rgba{0.5f, 0, 0, 0.25f}));
}

const char* const kTechniques = R"(
float4 run(float2 uv : TEXCOORD0) : COLOR0 { return 1; }
technique Anisotropic { pass { MinFilter[0] = Anisotropic; PixelShader = compile ps_2_0 run(); } }
technique Plain { pass { PixelShader = compile ps_2_0 run(); } }
technique { pass { PixelShader = compile ps_3_0 run(); } }
technique Stencil { pass { StencilEnable = TRUE; } }
technique LaterStage { pass { ColorOp[1] = Modulate; } }
technique LaterStageOff { pass { ColorOp[1] = Disable; ZEnable = FALSE; ShadeMode = Gouraud; } }
)";

using EffectTechniques = EffectTest;

TEST_F(EffectTechniques, ValidateWhenTheDeviceHonoursEveryState) {
  ASSERT_TRUE(compile(kTechniques));
  EXPECT_EQ(effect->ValidateTechnique("Anisotropic"), E_FAIL);
  EXPECT_EQ(effect->ValidateTechnique("Plain"), S_OK);
  EXPECT_EQ(effect->ValidateTechnique(effect->GetTechnique(2)), S_OK);
  EXPECT_EQ(effect->ValidateTechnique("Stencil"), E_FAIL);
  EXPECT_EQ(effect->ValidateTechnique("LaterStage"), E_FAIL) << "stages after 0 stay disabled";
  EXPECT_EQ(effect->ValidateTechnique("LaterStageOff"), S_OK);
  EXPECT_EQ(effect->ValidateTechnique("Absent"), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect->ValidateTechnique(nullptr), D3DERR_INVALIDCALL);
}

TEST_F(EffectTechniques, FindNextValidSkipsTheOthers) {
  ASSERT_TRUE(compile(kTechniques));
  D3DXHANDLE found = nullptr;
  EXPECT_EQ(effect->FindNextValidTechnique(nullptr, &found), S_OK);
  EXPECT_EQ(found, effect->GetTechniqueByName("Plain"));
  EXPECT_EQ(effect->FindNextValidTechnique(found, &found), S_OK);
  EXPECT_EQ(found, effect->GetTechnique(2)) << "an unnamed technique is found by index";
  EXPECT_EQ(effect->FindNextValidTechnique(found, &found), S_OK);
  EXPECT_EQ(found, effect->GetTechniqueByName("LaterStageOff"));
  EXPECT_EQ(effect->FindNextValidTechnique(found, &found), S_FALSE);
  EXPECT_EQ(found, nullptr);
}

TEST_F(EffectTechniques, NamesAndHandlesSelectTheCurrentTechnique) {
  ASSERT_TRUE(compile(kTechniques));
  EXPECT_EQ(effect->GetCurrentTechnique(), effect->GetTechnique(0)) << "the first is current at first";
  EXPECT_EQ(effect->SetTechnique("Plain"), S_OK);
  EXPECT_EQ(effect->GetCurrentTechnique(), effect->GetTechniqueByName("Plain"));
  EXPECT_EQ(effect->SetTechnique(effect->GetTechnique(3)), S_OK);
  EXPECT_EQ(effect->GetCurrentTechnique(), effect->GetTechniqueByName("Stencil"));
  EXPECT_EQ(effect->SetTechnique("plain"), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect->SetTechnique(nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect->GetTechniqueByName(""), nullptr) << "unnamed techniques have no name";
  EXPECT_EQ(effect->GetTechnique(6), nullptr);
  EXPECT_EQ(effect->GetCurrentTechnique(), effect->GetTechniqueByName("Stencil"))
      << "refused calls keep the technique";
}

TEST_F(EffectTechniques, AnEffectWithoutTechniquesCannotBegin) {
  ASSERT_TRUE(compile("float a;"));
  D3DXHANDLE found = reinterpret_cast<D3DXHANDLE>(1);
  EXPECT_EQ(effect->FindNextValidTechnique(nullptr, &found), S_FALSE);
  EXPECT_EQ(found, nullptr);
  UINT passes = 7;
  EXPECT_EQ(effect->Begin(&passes, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(passes, 7u);
}

const char* const kPasses = R"(
texture other;
sampler2D source;
sampler2D blend = sampler_state { Texture = <other>; MagFilter = Linear; AddressV = Mirror; };
float4 mix(float2 uv : TEXCOORD0) : COLOR0 { return tex2D(source, uv) * tex2D(blend, uv); }
technique t {
  pass first {
    AlphaBlendEnable = true;
    SrcBlend = SrcAlpha; DestBlend = InvSrcAlpha;
    PixelShader = compile ps_2_0 mix();
    AddressU[1] = Clamp;
    ColorOp[0] = SelectArg1;
  }
  pass second { PixelShader = NULL; VertexShader = NULL; Texture[2] = <other>; BlendOp = RevSubtract; }
}
)";

using EffectPasses = EffectTest;

TEST_F(EffectPasses, BeginPassSetsTheStatesInTheOrderWritten) {
  ASSERT_TRUE(compile(kPasses));
  Held<IDirect3DTexture9> other(makeTexture(2, 2));
  ASSERT_EQ(effect->SetTexture("other", other.get()), S_OK);
  UINT passes = 0;
  ASSERT_EQ(effect->Begin(&passes, D3DXFX_DONOTSAVESTATE), S_OK);
  EXPECT_EQ(passes, 2u);
  swd3d::setCallLog(true);
  ASSERT_EQ(effect->BeginPass(0), S_OK);
  const std::vector<std::string> first = {
      "SetRenderState(27, 1)",     // AlphaBlendEnable
      "SetRenderState(19, 5)",     // SrcBlend
      "SetRenderState(20, 6)",     // DestBlend
      "SetPixelShader(foreign)",
      "SetTexture(1, tex1)",       // blend is the shader's second sampler: stage 1
      "SetSamplerState(1, 5, 2)",  // its MagFilter
      "SetSamplerState(1, 2, 2)",  // its AddressV
      "SetSamplerState(1, 1, 3)",  // AddressU[1]
      "SetTextureStageState(0, 1, 2)",
  };
  EXPECT_EQ(swd3d::takeCallLog(), first);
  EXPECT_EQ(effect->BeginPass(1), D3DERR_INVALIDCALL) << "one pass at a time";
  ASSERT_EQ(effect->EndPass(), S_OK);
  ASSERT_EQ(effect->BeginPass(1), S_OK);
  const std::vector<std::string> second = {
      "SetPixelShader(null)",
      "SetVertexShader(null)",
      "SetTexture(2, tex1)",
      "SetRenderState(171, 3)",
  };
  EXPECT_EQ(swd3d::takeCallLog(), second);
  EXPECT_EQ(effect->EndPass(), S_OK);
  EXPECT_EQ(effect->End(), S_OK);
  EXPECT_TRUE(swd3d::takeCallLog().empty()) << "told not to save, End restores nothing";
  device->SetTexture(1, nullptr);
  device->SetTexture(2, nullptr);
}

TEST_F(EffectPasses, EndPutsBackWhatThePassesChanged) {
  ASSERT_TRUE(compile(kPasses));
  Held<IDirect3DTexture9> before(makeTexture(2, 2));
  Held<IDirect3DTexture9> other(makeTexture(2, 2));
  ASSERT_EQ(effect->SetTexture("other", other.get()), S_OK);
  device->SetTexture(1, before.get());
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device->SetSamplerState(1, D3DSAMP_MAGFILTER, D3DTEXF_POINT);

  UINT passes = 0;
  ASSERT_EQ(effect->Begin(&passes, 0), S_OK);
  for (UINT pass = 0; pass < passes; ++pass) {
    ASSERT_EQ(effect->BeginPass(pass), S_OK);
    ASSERT_EQ(effect->EndPass(), S_OK);
  }
  ASSERT_EQ(effect->End(), S_OK);

  DWORD value = 0;
  device->GetRenderState(D3DRS_SRCBLEND, &value);
  EXPECT_EQ(value, DWORD{D3DBLEND_ONE});
  device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
  EXPECT_EQ(value, DWORD{FALSE});
  device->GetRenderState(D3DRS_BLENDOP, &value);
  EXPECT_EQ(value, DWORD{D3DBLENDOP_ADD});
  device->GetSamplerState(1, D3DSAMP_MAGFILTER, &value);
  EXPECT_EQ(value, DWORD{D3DTEXF_POINT});
  device->GetTextureStageState(0, D3DTSS_COLOROP, &value);
  EXPECT_EQ(value, DWORD{D3DTOP_MODULATE});
  Held<IDirect3DBaseTexture9> bound;
  device->GetTexture(1, bound.out());
  EXPECT_EQ(bound.get(), before.get());
  device->GetTexture(2, bound.out());
  EXPECT_EQ(bound.get(), nullptr);
  Held<IDirect3DPixelShader9> shader;
  device->GetPixelShader(shader.out());
  EXPECT_EQ(shader.get(), nullptr) << "no shader is left bound after End";
  bound.reset();
  device->SetTexture(1, nullptr);
}

TEST_F(EffectPasses, CallsOutOfOrderAreRefused) {
  ASSERT_TRUE(compile(kPasses));
  EXPECT_EQ(effect->BeginPass(0), D3DERR_INVALIDCALL) << "before Begin";
  EXPECT_EQ(effect->EndPass(), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect->End(), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect->CommitChanges(), D3DERR_INVALIDCALL);
  ASSERT_EQ(effect->Begin(nullptr, 0), S_OK);
  EXPECT_EQ(effect->Begin(nullptr, 0), D3DERR_INVALIDCALL) << "begun twice";
  EXPECT_EQ(effect->SetTechnique("t"), D3DERR_INVALIDCALL) << "not while begun";
  EXPECT_EQ(effect->BeginPass(2), D3DERR_INVALIDCALL) << "no third pass";
  ASSERT_EQ(effect->BeginPass(1), S_OK);
  EXPECT_EQ(effect->CommitChanges(), S_OK);
  EXPECT_EQ(effect->End(), S_OK) << "End also ends the pass";
  EXPECT_EQ(effect->EndPass(), D3DERR_INVALIDCALL);
}

TEST_F(EffectPasses, TheEffectHoldsItsDeviceAndShaders) {
  const int shadersBefore = swd3d::liveObjects().pixelShaders;
  ASSERT_TRUE(compile(kPasses));
  EXPECT_EQ(swd3d::liveObjects().pixelShaders, shadersBefore + 1) << "one shader for one function";
  Held<IDirect3DDevice9> held;
  ASSERT_EQ(effect->GetDevice(held.out()), S_OK);
  EXPECT_EQ(held.get(), device);
  held.reset();
  EXPECT_EQ(device->AddRef(), 3u) << "the test's reference, the effect's, and this one";
  device->Release();
  effect.reset();
  EXPECT_EQ(swd3d::liveObjects().pixelShaders, shadersBefore);
  EXPECT_EQ(device->AddRef(), 2u);
  device->Release();
}

}  // namespace
