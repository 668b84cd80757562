#include "d3dx9/compiler/state_table.h"

#include <cctype>
#include <initializer_list>

namespace swd3dx {

namespace {

constexpr Honoured only(std::initializer_list<DWORD> list) {
  Honoured honoured;
  for (DWORD v : list) honoured.values |= 1u << v;
  return honoured;
}

constexpr Honoured kAny{true, 0};
constexpr Honoured kOff = only({0});

// The blend factors the device's blender has: all but the two "both" factors,
// which only the source colour factor takes.
constexpr Honoured kBlendFactors = only({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15});
constexpr Honoured kSourceBlendFactors = only({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
constexpr Honoured kBlendOps = only({1, 2, 3, 4, 5});
constexpr Honoured kFilters = only({1, 2});  // point and linear
constexpr Honoured kAddressModes = only({1, 2, 3, 4, 5});
constexpr Honoured kStageArguments = only({0, 1, 2});  // diffuse, current, texture

// What the software device honours follows its draw path: a state whose
// other values would change the picture in a way it does not implement
// holds only the values it does (depth, stencil, alpha tests and fog off).
constexpr StateInfo kStates[] = {
    {"AlphaBlendEnable", StateTarget::Render, D3DRS_ALPHABLENDENABLE, ValueNames::Bool, kAny, kAny},
    {"SrcBlend", StateTarget::Render, D3DRS_SRCBLEND, ValueNames::Blend, kSourceBlendFactors, kAny},
    {"DestBlend", StateTarget::Render, D3DRS_DESTBLEND, ValueNames::Blend, kBlendFactors, kAny},
    {"BlendOp", StateTarget::Render, D3DRS_BLENDOP, ValueNames::BlendOp, kBlendOps, kAny},
    {"SeparateAlphaBlendEnable", StateTarget::Render, D3DRS_SEPARATEALPHABLENDENABLE, ValueNames::Bool, kAny, kAny},
    {"SrcBlendAlpha", StateTarget::Render, D3DRS_SRCBLENDALPHA, ValueNames::Blend, kBlendFactors, kAny},
    {"DestBlendAlpha", StateTarget::Render, D3DRS_DESTBLENDALPHA, ValueNames::Blend, kBlendFactors, kAny},
    {"BlendOpAlpha", StateTarget::Render, D3DRS_BLENDOPALPHA, ValueNames::BlendOp, kBlendOps, kAny},
    {"ColorWriteEnable", StateTarget::Render, D3DRS_COLORWRITEENABLE, ValueNames::None, kAny, kAny},
    {"TextureFactor", StateTarget::Render, D3DRS_TEXTUREFACTOR, ValueNames::None, kAny, kAny},
    {"CullMode", StateTarget::Render, D3DRS_CULLMODE, ValueNames::Cull, only({1, 2, 3}), kAny},
    {"ZEnable", StateTarget::Render, D3DRS_ZENABLE, ValueNames::Bool, kOff, kAny},
    {"ZWriteEnable", StateTarget::Render, D3DRS_ZWRITEENABLE, ValueNames::Bool, kAny, kAny},
    {"ZFunc", StateTarget::Render, D3DRS_ZFUNC, ValueNames::Compare, kAny, kAny},
    {"AlphaTestEnable", StateTarget::Render, D3DRS_ALPHATESTENABLE, ValueNames::Bool, kOff, kAny},
    {"AlphaRef", StateTarget::Render, D3DRS_ALPHAREF, ValueNames::None, kAny, kAny},
    {"AlphaFunc", StateTarget::Render, D3DRS_ALPHAFUNC, ValueNames::Compare, kAny, kAny},
    {"StencilEnable", StateTarget::Render, D3DRS_STENCILENABLE, ValueNames::Bool, kOff, kAny},
    {"ScissorTestEnable", StateTarget::Render, D3DRS_SCISSORTESTENABLE, ValueNames::Bool, kOff, kAny},
    {"FogEnable", StateTarget::Render, D3DRS_FOGENABLE, ValueNames::Bool, kOff, kAny},
    {"FillMode", StateTarget::Render, D3DRS_FILLMODE, ValueNames::Fill, only({3}), kAny},
    {"ShadeMode", StateTarget::Render, D3DRS_SHADEMODE, ValueNames::Shade, only({2}), kAny},
    // Without effect on pretransformed quads.
    {"Lighting", StateTarget::Render, D3DRS_LIGHTING, ValueNames::Bool, kAny, kAny},
    {"SpecularEnable", StateTarget::Render, D3DRS_SPECULARENABLE, ValueNames::Bool, kAny, kAny},
    {"DitherEnable", StateTarget::Render, D3DRS_DITHERENABLE, ValueNames::Bool, kAny, kAny},

    {"MinFilter", StateTarget::Sampler, D3DSAMP_MINFILTER, ValueNames::Filter, kFilters, kAny},
    {"MagFilter", StateTarget::Sampler, D3DSAMP_MAGFILTER, ValueNames::Filter, kFilters, kAny},
    // Textures have one level, which none, point and linear mip filters read alike.
    {"MipFilter", StateTarget::Sampler, D3DSAMP_MIPFILTER, ValueNames::Filter, only({0, 1, 2}), kAny},
    {"AddressU", StateTarget::Sampler, D3DSAMP_ADDRESSU, ValueNames::Address, kAddressModes, kAny},
    {"AddressV", StateTarget::Sampler, D3DSAMP_ADDRESSV, ValueNames::Address, kAddressModes, kAny},
    {"AddressW", StateTarget::Sampler, D3DSAMP_ADDRESSW, ValueNames::Address, kAny, kAny},
    {"BorderColor", StateTarget::Sampler, D3DSAMP_BORDERCOLOR, ValueNames::None, kAny, kAny},
    {"MipMapLodBias", StateTarget::Sampler, D3DSAMP_MIPMAPLODBIAS, ValueNames::None, kAny, kAny, true},
    {"MaxMipLevel", StateTarget::Sampler, D3DSAMP_MAXMIPLEVEL, ValueNames::None, kAny, kAny},
    {"MaxAnisotropy", StateTarget::Sampler, D3DSAMP_MAXANISOTROPY, ValueNames::None, kAny, kAny},
    {"SRGBTexture", StateTarget::Sampler, D3DSAMP_SRGBTEXTURE, ValueNames::Bool, kOff, kAny},

    // The fixed-function step of a pass without a pixel shader: stage 0
    // selects or modulates the texture and the diffuse colour; the stages
    // after it stay disabled.
    {"ColorOp", StateTarget::Stage, D3DTSS_COLOROP, ValueNames::TextureOp, only({1, 2, 3, 4}), only({1})},
    {"ColorArg1", StateTarget::Stage, D3DTSS_COLORARG1, ValueNames::TextureArg, kStageArguments, kAny},
    {"ColorArg2", StateTarget::Stage, D3DTSS_COLORARG2, ValueNames::TextureArg, kStageArguments, kAny},
    {"AlphaOp", StateTarget::Stage, D3DTSS_ALPHAOP, ValueNames::TextureOp, only({2, 3, 4}), kAny},
    {"AlphaArg1", StateTarget::Stage, D3DTSS_ALPHAARG1, ValueNames::TextureArg, kStageArguments, kAny},
    {"AlphaArg2", StateTarget::Stage, D3DTSS_ALPHAARG2, ValueNames::TextureArg, kStageArguments, kAny},
    {"TexCoordIndex", StateTarget::Stage, D3DTSS_TEXCOORDINDEX, ValueNames::None, kOff, kAny},

    {"Texture", StateTarget::Texture, 0, ValueNames::None, kAny, kAny},
    {"Sampler", StateTarget::SamplerBlock, 0, ValueNames::None, kAny, kAny},
    {"PixelShader", StateTarget::PixelShader, 0, ValueNames::None, kAny, kAny},
    {"VertexShader", StateTarget::VertexShader, 0, ValueNames::None, kAny, kAny},
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
    {ValueNames::Shade, "Flat", 1}, {ValueNames::Shade, "Gouraud", 2}, {ValueNames::Shade, "Phong", 3},
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
