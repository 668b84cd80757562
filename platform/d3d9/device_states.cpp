#include "d3d9/device_states.h"

#include <bit>
#include <utility>

namespace swd3d {

namespace {

DWORD floatBits(float value) { return std::bit_cast<DWORD>(value); }

constexpr DWORD kAlways = 8;         // D3DCMP_ALWAYS
constexpr DWORD kLessEqual = 4;      // D3DCMP_LESSEQUAL
constexpr DWORD kStencilKeep = 1;    // D3DSTENCILOP_KEEP
constexpr DWORD kAllChannels = 0xF;  // D3DCOLORWRITEENABLE_ALL

// Stage-state numbers without names in d3d9.h.
constexpr DWORD kColorArg0 = 26;
constexpr DWORD kAlphaArg0 = 27;
constexpr DWORD kResultArg = 28;
constexpr DWORD kConstant = 32;

}  // namespace

std::optional<DWORD> samplerSlot(DWORD sampler) {
  constexpr DWORD kPixelSamplers = 16;
  constexpr DWORD kDisplacementMapSampler = 256;
  if (sampler < kPixelSamplers) return sampler;
  if (sampler >= kDisplacementMapSampler && sampler - kDisplacementMapSampler < 5) {
    return sampler - kDisplacementMapSampler + kPixelSamplers;
  }
  return std::nullopt;
}

DeviceStates::DeviceStates(bool autoDepthStencil) {
  const std::pair<DWORD, DWORD> renderDefaults[] = {
      {D3DRS_ZENABLE, autoDepthStencil ? 1u : 0u},
      {D3DRS_FILLMODE, 3},   // D3DFILL_SOLID
      {D3DRS_SHADEMODE, 2},  // D3DSHADE_GOURAUD
      {D3DRS_ZWRITEENABLE, TRUE},
      {D3DRS_ALPHATESTENABLE, FALSE},
      {16, TRUE},  // D3DRS_LASTPIXEL
      {D3DRS_SRCBLEND, D3DBLEND_ONE},
      {D3DRS_DESTBLEND, D3DBLEND_ZERO},
      {D3DRS_CULLMODE, D3DCULL_CCW},
      {D3DRS_ZFUNC, kLessEqual},
      {D3DRS_ALPHAREF, 0},
      {D3DRS_ALPHAFUNC, kAlways},
      {D3DRS_DITHERENABLE, FALSE},
      {D3DRS_ALPHABLENDENABLE, FALSE},
      {D3DRS_FOGENABLE, FALSE},
      {D3DRS_SPECULARENABLE, FALSE},
      {37, floatBits(1.0f)},  // D3DRS_FOGEND
      {38, floatBits(1.0f)},  // D3DRS_FOGDENSITY
      {D3DRS_STENCILENABLE, FALSE},
      {53, kStencilKeep},  // D3DRS_STENCILFAIL
      {54, kStencilKeep},  // D3DRS_STENCILZFAIL
      {55, kStencilKeep},  // D3DRS_STENCILPASS
      {56, kAlways},       // D3DRS_STENCILFUNC
      {58, 0xFFFFFFFF},    // D3DRS_STENCILMASK
      {59, 0xFFFFFFFF},    // D3DRS_STENCILWRITEMASK
      {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF},
      {136, TRUE},  // D3DRS_CLIPPING
      {D3DRS_LIGHTING, TRUE},
      {141, TRUE},  // D3DRS_COLORVERTEX
      {142, TRUE},  // D3DRS_LOCALVIEWER
      {145, 1},     // D3DRS_DIFFUSEMATERIALSOURCE: D3DMCS_COLOR1
      {146, 2},     // D3DRS_SPECULARMATERIALSOURCE: D3DMCS_COLOR2
      {161, TRUE},  // D3DRS_MULTISAMPLEANTIALIAS
      {162, 0xFFFFFFFF},  // D3DRS_MULTISAMPLEMASK
      {D3DRS_COLORWRITEENABLE, kAllChannels},
      {D3DRS_BLENDOP, D3DBLENDOP_ADD},
      {172, 3},  // D3DRS_POSITIONDEGREE: D3DDEGREE_CUBIC
      {173, 1},  // D3DRS_NORMALDEGREE: D3DDEGREE_LINEAR
      {D3DRS_SCISSORTESTENABLE, FALSE},
      {186, kStencilKeep},  // D3DRS_CCW_STENCILFAIL
      {187, kStencilKeep},  // D3DRS_CCW_STENCILZFAIL
      {188, kStencilKeep},  // D3DRS_CCW_STENCILPASS
      {189, kAlways},       // D3DRS_CCW_STENCILFUNC
      {190, kAllChannels},  // D3DRS_COLORWRITEENABLE1
      {191, kAllChannels},  // D3DRS_COLORWRITEENABLE2
      {192, kAllChannels},  // D3DRS_COLORWRITEENABLE3
      {193, 0xFFFFFFFF},    // D3DRS_BLENDFACTOR
      {D3DRS_SEPARATEALPHABLENDENABLE, FALSE},
      {D3DRS_SRCBLENDALPHA, D3DBLEND_ONE},
      {D3DRS_DESTBLENDALPHA, D3DBLEND_ZERO},
      {D3DRS_BLENDOPALPHA, D3DBLENDOP_ADD},
  };
  for (const auto& [state, value] : renderDefaults) render_[state] = value;

  for (auto& states : sampler_) {
    states[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
    states[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
    states[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    states[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
    states[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    states[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    states[D3DSAMP_MAXANISOTROPY] = 1;
  }

  for (DWORD stage = 0; stage < kStages; ++stage) {
    auto& states = stage_[stage];
    states[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    states[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    states[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    states[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    states[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    states[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    states[D3DTSS_TEXCOORDINDEX] = stage;
    states[kColorArg0] = D3DTA_CURRENT;
    states[kAlphaArg0] = D3DTA_CURRENT;
    states[kResultArg] = D3DTA_CURRENT;
    states[kConstant] = 0xFFFFFFFF;
  }
}

DWORD* DeviceStates::renderState(DWORD state) {
  if (state < D3DRS_ZENABLE || state >= kRenderStates) return nullptr;
  return &render_[state];
}

DWORD* DeviceStates::samplerState(DWORD sampler, DWORD type) {
  const std::optional<DWORD> slot = samplerSlot(sampler);
  if (!slot || type == 0 || type >= kSamplerStates) return nullptr;
  return &sampler_[*slot][type];
}

DWORD* DeviceStates::stageState(DWORD stage, DWORD type) {
  if (stage >= kStages || type == 0 || type >= kStageStates) return nullptr;
  return &stage_[stage][type];
}

}  // namespace swd3d
