#include "d3dx9/compiler/state_table.h"

#include <cctype>
#include <initializer_list>

namespace swd3dx {

namespace {

constexpr std::uint32_t values(std::initializer_list<DWORD> list) {
  std::uint32_t mask = 0;
  for (DWORD v : list) mask |= 1u << v;
  return mask;
}

constexpr bool kAny = true;
constexpr bool kSome = false;

// Blend factors one to inverse destination colour, and source alpha saturated.
constexpr std::uint32_t kHonouredBlends = values({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});

// Render states the stand-in does not name here are refused as unknown.
constexpr StateInfo kStates[] = {
    // Blending: what the device's blender implements.
    {"AlphaBlendEnable", StateTarget::Render, D3DRS_ALPHABLENDENABLE, ValueNames::Bool, false, kAny, 0},
    {"SrcBlend", StateTarget::Render, D3DRS_SRCBLEND, ValueNames::Blend, false, kSome, kHonouredBlends},
    {"DestBlend", StateTarget::Render, D3DRS_DESTBLEND, ValueNames::Blend, false, kSome, kHonouredBlends},
    {"BlendOp", StateTarget::Render, D3DRS_BLENDOP, ValueNames::BlendOp, false, kSome, values({1, 2, 3, 4, 5})},
    {"SeparateAlphaBlendEnable", StateTarget::Render, D3DRS_SEPARATEALPHABLENDENABLE, ValueNames::Bool, false, kAny, 0},
    {"SrcBlendAlpha", StateTarget::Render, D3DRS_SRCBLENDALPHA, ValueNames::Blend, false, kSome, kHonouredBlends},
    {"DestBlendAlpha", StateTarget::Render, D3DRS_DESTBLENDALPHA, ValueNames::Blend, false, kSome, kHonouredBlends},
    {"BlendOpAlpha", StateTarget::Render, D3DRS_BLENDOPALPHA, ValueNames::BlendOp, false, kSome, values({1, 2, 3, 4, 5})},
    // Culling, depth: a quad is drawn whole with culling off; depth as the
    // device keeps it.
    {"CullMode", StateTarget::Render, D3DRS_CULLMODE, ValueNames::Cull, false, kAny, 0},
    {"ZEnable", StateTarget::Render, D3DRS_ZENABLE, ValueNames::Bool, false, kAny, 0},
    {"ZWriteEnable", StateTarget::Render, D3DRS_ZWRITEENABLE, ValueNames::Bool, false, kAny, 0},
    {"ZFunc", StateTarget::Render, D3DRS_ZFUNC, ValueNames::Compare, false, kAny, 0},
    // States without effect on pretransformed, evenly coloured quads.
    {"Lighting", StateTarget::Render, D3DRS_LIGHTING, ValueNames::Bool, false, kAny, 0},
    {"ShadeMode", StateTarget::Render, D3DRS_SHADEMODE, ValueNames::None, false, kAny, 0},
    {"SpecularEnable", StateTarget::Render, D3DRS_SPECULARENABLE, ValueNames::Bool, false, kAny, 0},
    {"DitherEnable", StateTarget::Render, D3DRS_DITHERENABLE, ValueNames::Bool, false, kAny, 0},
    // States the device knows only in their default, off, setting.
    {"AlphaTestEnable", StateTarget::Render, D3DRS_ALPHATESTENABLE, ValueNames::Bool, false, kSome, values({0})},
    {"AlphaRef", StateTarget::Render, D3DRS_ALPHAREF, ValueNames::None, false, kAny, 0},
    {"AlphaFunc", StateTarget::Render, D3DRS_ALPHAFUNC, ValueNames::Compare, false, kSome, values({8})},
    {"FogEnable", StateTarget::Render, D3DRS_FOGENABLE, ValueNames::Bool, false, kSome, values({0})},
    {"StencilEnable", StateTarget::Render, D3DRS_STENCILENABLE, ValueNames::Bool, false, kSome, values({0})},
    {"ScissorTestEnable", StateTarget::Render, D3DRS_SCISSORTESTENABLE, ValueNames::Bool, false, kSome, values({0})},
    {"FillMode", StateTarget::Render, D3DRS_FILLMODE, ValueNames::Fill, false, kSome, values({3})},
    {"ColorWriteEnable", StateTarget::Render, D3DRS_COLORWRITEENABLE, ValueNames::None, false, kSome, values({15})},
    {"TextureFactor", StateTarget::Render, D3DRS_TEXTUREFACTOR, ValueNames::None, false, kAny, 0},

    // Sampler states: point and linear filtering, every address mode.
    {"MinFilter", StateTarget::Sampler, D3DSAMP_MINFILTER, ValueNames::Filter, false, kSome, values({1, 2})},
    {"MagFilter", StateTarget::Sampler, D3DSAMP_MAGFILTER, ValueNames::Filter, false, kSome, values({1, 2})},
    // Textures have one level: the mip filter has nothing to choose between.
    {"MipFilter", StateTarget::Sampler, D3DSAMP_MIPFILTER, ValueNames::Filter, false, kAny, 0},
    {"AddressU", StateTarget::Sampler, D3DSAMP_ADDRESSU, ValueNames::Address, false, kSome, values({1, 2, 3, 4, 5})},
    {"AddressV", StateTarget::Sampler, D3DSAMP_ADDRESSV, ValueNames::Address, false, kSome, values({1, 2, 3, 4, 5})},
    {"AddressW", StateTarget::Sampler, D3DSAMP_ADDRESSW, ValueNames::Address, false, kAny, 0},
    {"BorderColor", StateTarget::Sampler, D3DSAMP_BORDERCOLOR, ValueNames::None, false, kAny, 0},
    {"MipMapLodBias", StateTarget::Sampler, D3DSAMP_MIPMAPLODBIAS, ValueNames::None, true, kAny, 0},
    {"MaxMipLevel", StateTarget::Sampler, D3DSAMP_MAXMIPLEVEL, ValueNames::None, false, kAny, 0},
    {"MaxAnisotropy", StateTarget::Sampler, D3DSAMP_MAXANISOTROPY, ValueNames::None, false, kAny, 0},
    {"SRGBTexture", StateTarget::Sampler, D3DSAMP_SRGBTEXTURE, ValueNames::Bool, false, kSome, values({0})},

    // Texture stages: the fixed-function step of a pass without a pixel shader.
    {"ColorOp", StateTarget::Stage, D3DTSS_COLOROP, ValueNames::TextureOp, false, kSome, values({1, 2, 3, 4})},
    {"ColorArg1", StateTarget::Stage, D3DTSS_COLORARG1, ValueNames::TextureArg, false, kSome, values({0, 1, 2})},
    {"ColorArg2", StateTarget::Stage, D3DTSS_COLORARG2, ValueNames::TextureArg, false, kSome, values({0, 1, 2})},
    {"AlphaOp", StateTarget::Stage, D3DTSS_ALPHAOP, ValueNames::TextureOp, false, kSome, values({1, 2, 3, 4})},
    {"AlphaArg1", StateTarget::Stage, D3DTSS_ALPHAARG1, ValueNames::TextureArg, false, kSome, values({0, 1, 2})},
    {"AlphaArg2", StateTarget::Stage, D3DTSS_ALPHAARG2, ValueNames::TextureArg, false, kSome, values({0, 1, 2})},
    {"TexCoordIndex", StateTarget::Stage, D3DTSS_TEXCOORDINDEX, ValueNames::None, false, kSome, values({0})},

    {"Texture", StateTarget::Texture, 0, ValueNames::None, false, kAny, 0},
    {"Sampler", StateTarget::SamplerBlock, 0, ValueNames::None, false, kAny, 0},
    {"PixelShader", StateTarget::PixelShader, 0, ValueNames::None, false, kAny, 0},
    {"VertexShader", StateTarget::VertexShader, 0, ValueNames::None, false, kAny, 0},
};

struct NamedValue {
  ValueNames names;
  std::string_view name;
  DWORD value;
};

constexpr NamedValue kValues[] = {
    {ValueNames::Bool, "TRUE", 1}, {ValueNames::Bool, "FALSE", 0},
    {ValueNames::Blend, "Zero", 1}, {ValueNames::Blend, "One", 2},
    {ValueNames::Blend, "SrcColor", 3}, {ValueNames::Blend, "InvSrcColor", 4},
    {ValueNames::Blend, "SrcAlpha", 5}, {ValueNames::Blend, "InvSrcAlpha", 6},
    {ValueNames::Blend, "DestAlpha", 7}, {ValueNames::Blend, "InvDestAlpha", 8},
    {ValueNames::Blend, "DestColor", 9}, {ValueNames::Blend, "InvDestColor", 10},
    {ValueNames::Blend, "SrcAlphaSat", 11}, {ValueNames::Blend, "BothSrcAlpha", 12},
    {ValueNames::Blend, "BothInvSrcAlpha", 13}, {ValueNames::Blend, "BlendFactor", 14},
    {ValueNames::Blend, "InvBlendFactor", 15},
    {ValueNames::BlendOp, "Add", 1}, {ValueNames::BlendOp, "Subtract", 2},
    {ValueNames::BlendOp, "RevSubtract", 3}, {ValueNames::BlendOp, "Min", 4},
    {ValueNames::BlendOp, "Max", 5},
    {ValueNames::Cull, "None", 1}, {ValueNames::Cull, "CW", 2}, {ValueNames::Cull, "CCW", 3},
    {ValueNames::Compare, "Never", 1}, {ValueNames::Compare, "Less", 2},
    {ValueNames::Compare, "Equal", 3}, {ValueNames::Compare, "LessEqual", 4},
    {ValueNames::Compare, "Greater", 5}, {ValueNames::Compare, "NotEqual", 6},
    {ValueNames::Compare, "GreaterEqual", 7}, {ValueNames::Compare, "Always", 8},
    {ValueNames::Fill, "Point", 1}, {ValueNames::Fill, "Wireframe", 2}, {ValueNames::Fill, "Solid", 3},
    {ValueNames::Filter, "None", 0}, {ValueNames::Filter, "Point", 1},
    {ValueNames::Filter, "Linear", 2}, {ValueNames::Filter, "Anisotropic", 3},
    {ValueNames::Address, "Wrap", 1}, {ValueNames::Address, "Mirror", 2},
    {ValueNames::Address, "Clamp", 3}, {ValueNames::Address, "Border", 4},
    {ValueNames::Address, "MirrorOnce", 5},
    {ValueNames::TextureOp, "Disable", 1}, {ValueNames::TextureOp, "SelectArg1", 2},
    {ValueNames::TextureOp, "SelectArg2", 3}, {ValueNames::TextureOp, "Modulate", 4},
    {ValueNames::TextureOp, "Modulate2x", 5}, {ValueNames::TextureOp, "Modulate4x", 6},
    {ValueNames::TextureOp, "Add", 7}, {ValueNames::TextureOp, "AddSigned", 8},
    {ValueNames::TextureOp, "AddSigned2x", 9}, {ValueNames::TextureOp, "Subtract", 10},
    {ValueNames::TextureOp, "AddSmooth", 11},
    {ValueNames::TextureArg, "Diffuse", 0}, {ValueNames::TextureArg, "Current", 1},
    {ValueNames::TextureArg, "Texture", 2}, {ValueNames::TextureArg, "TFactor", 3},
    {ValueNames::TextureArg, "Specular", 4}, {ValueNames::TextureArg, "Temp", 5},
    {ValueNames::TextureArg, "Constant", 6},
};

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

const StateInfo* findState(std::string_view name) {
  for (const StateInfo& state : kStates) {
    if (sameIgnoringCase(state.name, name)) return &state;
  }
  return nullptr;
}

std::optional<DWORD> findValue(ValueNames names, std::string_view value) {
  for (const NamedValue& named : kValues) {
    if (named.names == names && sameIgnoringCase(named.name, value)) return named.value;
  }
  return std::nullopt;
}

}  // namespace swd3dx
