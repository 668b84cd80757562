#include "d3d9/draw_state_translation.h"

#include "d3d9/pixel_shader_program.h"
#include "d3d9/software_surface.h"
#include "d3d9/software_texture.h"
#include "d3d9/viewport_area.h"
#include "d3d9/raster/texture_stage.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>

namespace swd3d {

namespace {

// Render states that must hold one value for the device to draw the picture
// a real device draws: the features behind them are not implemented.
struct RequiredRenderState {
  D3DRENDERSTATETYPE state;
  DWORD value;
  const char* feature;
};
constexpr RequiredRenderState kRequiredRenderStates[] = {
    {D3DRS_FILLMODE, D3DFILL_SOLID, "a fill mode other than solid"},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD, "a shade mode other than Gouraud"},
    {D3DRS_ALPHATESTENABLE, FALSE, "alpha testing"},
    {D3DRS_STENCILENABLE, FALSE, "stencil testing"},
    {D3DRS_SCISSORTESTENABLE, FALSE, "the scissor test"},
    {D3DRS_FOGENABLE, FALSE, "fog"},
    {D3DRS_SRGBWRITEENABLE, FALSE, "sRGB writes"},
    {D3DRS_WRAP0, 0, "texture-coordinate wrapping (D3DRS_WRAP0)"},
};

std::optional<raster::BlendFactor> blendFactorOf(DWORD value) {
  using raster::BlendFactor;
  switch (value) {
    case D3DBLEND_ZERO: return BlendFactor::Zero;
    case D3DBLEND_ONE: return BlendFactor::One;
    case D3DBLEND_SRCCOLOR: return BlendFactor::SrcColour;
    case D3DBLEND_INVSRCCOLOR: return BlendFactor::InvSrcColour;
    case D3DBLEND_SRCALPHA: return BlendFactor::SrcAlpha;
    case D3DBLEND_INVSRCALPHA: return BlendFactor::InvSrcAlpha;
    case D3DBLEND_DESTALPHA: return BlendFactor::DestAlpha;
    case D3DBLEND_INVDESTALPHA: return BlendFactor::InvDestAlpha;
    case D3DBLEND_DESTCOLOR: return BlendFactor::DestColour;
    case D3DBLEND_INVDESTCOLOR: return BlendFactor::InvDestColour;
    case D3DBLEND_SRCALPHASAT: return BlendFactor::SrcAlphaSat;
    case D3DBLEND_BLENDFACTOR: return BlendFactor::Constant;
    case D3DBLEND_INVBLENDFACTOR: return BlendFactor::InvConstant;
    default: return std::nullopt;
  }
}

std::optional<raster::BlendOp> blendOpOf(DWORD value) {
  using raster::BlendOp;
  switch (value) {
    case D3DBLENDOP_ADD: return BlendOp::Add;
    case D3DBLENDOP_SUBTRACT: return BlendOp::Subtract;
    case D3DBLENDOP_REVSUBTRACT: return BlendOp::RevSubtract;
    case D3DBLENDOP_MIN: return BlendOp::Min;
    case D3DBLENDOP_MAX: return BlendOp::Max;
    default: return std::nullopt;
  }
}

std::optional<raster::Filter> filterOf(DWORD value) {
  if (value == D3DTEXF_POINT) return raster::Filter::Point;
  if (value == D3DTEXF_LINEAR) return raster::Filter::Linear;
  return std::nullopt;
}

std::optional<raster::AddressMode> addressModeOf(DWORD value) {
  using raster::AddressMode;
  switch (value) {
    case D3DTADDRESS_WRAP: return AddressMode::Wrap;
    case D3DTADDRESS_MIRROR: return AddressMode::Mirror;
    case D3DTADDRESS_CLAMP: return AddressMode::Clamp;
    case D3DTADDRESS_BORDER: return AddressMode::Border;
    case D3DTADDRESS_MIRRORONCE: return AddressMode::MirrorOnce;
    default: return std::nullopt;
  }
}

std::string numbered(const char* what, DWORD number, const char* rest) {
  return what + std::to_string(number) + rest;
}

std::string translateBlend(const DeviceStates& states, raster::BlendSettings& blend) {
  blend.enabled = states.render(D3DRS_ALPHABLENDENABLE) != FALSE;
  blend.writeMask = 0;
  const DWORD channels = states.render(D3DRS_COLORWRITEENABLE);
  // Bits 0 to 3 enable red, green, blue and alpha.
  constexpr std::uint32_t kChannelBits[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  for (int i = 0; i < 4; ++i) {
    if ((channels & (1u << i)) != 0) blend.writeMask |= kChannelBits[i];
  }
  if (!blend.enabled) return {};

  DWORD source = states.render(D3DRS_SRCBLEND);
  DWORD dest = states.render(D3DRS_DESTBLEND);
  // The two "both" factors set the destination factor too.
  if (source == D3DBLEND_BOTHSRCALPHA || source == D3DBLEND_BOTHINVSRCALPHA) {
    const bool inverse = source == D3DBLEND_BOTHINVSRCALPHA;
    source = inverse ? D3DBLEND_INVSRCALPHA : D3DBLEND_SRCALPHA;
    dest = inverse ? D3DBLEND_SRCALPHA : D3DBLEND_INVSRCALPHA;
  }
  const auto srcColour = blendFactorOf(source);
  const auto destColour = blendFactorOf(dest);
  const auto colourOp = blendOpOf(states.render(D3DRS_BLENDOP));
  if (!srcColour) return numbered("source blend factor ", source, " is not implemented");
  if (!destColour) return numbered("destination blend factor ", dest, " is not implemented");
  if (!colourOp) {
    return numbered("blend operation ", states.render(D3DRS_BLENDOP), " is not implemented");
  }
  blend.srcColour = *srcColour;
  blend.destColour = *destColour;
  blend.colourOp = *colourOp;
  blend.srcAlpha = *srcColour;
  blend.destAlpha = *destColour;
  blend.alphaOp = *colourOp;
  blend.constant = states.render(D3DRS_BLENDFACTOR);
  if (states.render(D3DRS_SEPARATEALPHABLENDENABLE) == FALSE) return {};

  const auto srcAlpha = blendFactorOf(states.render(D3DRS_SRCBLENDALPHA));
  const auto destAlpha = blendFactorOf(states.render(D3DRS_DESTBLENDALPHA));
  const auto alphaOp = blendOpOf(states.render(D3DRS_BLENDOPALPHA));
  if (!srcAlpha) {
    return numbered("source alpha blend factor ", states.render(D3DRS_SRCBLENDALPHA),
                    " is not implemented");
  }
  if (!destAlpha) {
    return numbered("destination alpha blend factor ", states.render(D3DRS_DESTBLENDALPHA),
                    " is not implemented");
  }
  if (!alphaOp) {
    return numbered("alpha blend operation ", states.render(D3DRS_BLENDOPALPHA),
                    " is not implemented");
  }
  blend.srcAlpha = *srcAlpha;
  blend.destAlpha = *destAlpha;
  blend.alphaOp = *alphaOp;
  return {};
}

std::string translateSampler(const DeviceStates& states, DWORD slot,
                             raster::SamplerSettings& sampler) {
  const auto minFilter = filterOf(states.sampler(slot, D3DSAMP_MINFILTER));
  const auto magFilter = filterOf(states.sampler(slot, D3DSAMP_MAGFILTER));
  const auto addressU = addressModeOf(states.sampler(slot, D3DSAMP_ADDRESSU));
  const auto addressV = addressModeOf(states.sampler(slot, D3DSAMP_ADDRESSV));
  const DWORD mipFilter = states.sampler(slot, D3DSAMP_MIPFILTER);
  if (!minFilter || !magFilter) {
    return numbered("sampler ", slot, ": only point and linear filtering are implemented");
  }
  // Textures have one level, which every mip filter reads alike.
  if (mipFilter > D3DTEXF_LINEAR) {
    return numbered("sampler ", slot, ": mip filter not implemented");
  }
  if (!addressU || !addressV) return numbered("sampler ", slot, ": address mode not implemented");
  if (states.sampler(slot, D3DSAMP_SRGBTEXTURE) != 0) {
    return numbered("sampler ", slot, ": sRGB textures are not implemented");
  }
  sampler.minFilter = *minFilter;
  sampler.magFilter = *magFilter;
  sampler.addressU = *addressU;
  sampler.addressV = *addressV;
  sampler.borderColour = states.sampler(slot, D3DSAMP_BORDERCOLOR);
  sampler.lodBias = std::bit_cast<float>(states.sampler(slot, D3DSAMP_MIPMAPLODBIAS));
  return {};
}

// A stage argument the back end has: the texture, or the diffuse colour
// (which stage 0's "current" is).
std::optional<raster::StageArg> stageArgOf(DWORD value) {
  if (value == D3DTA_TEXTURE) return raster::StageArg::Texture;
  if (value == D3DTA_DIFFUSE || value == D3DTA_CURRENT) return raster::StageArg::Diffuse;
  return std::nullopt;
}

// One of colour or alpha of stage 0.
std::string translateStageOp(const DeviceStates& states, D3DTEXTURESTAGESTATETYPE opState,
                             D3DTEXTURESTAGESTATETYPE arg1State, D3DTEXTURESTAGESTATETYPE arg2State,
                             const char* which, raster::StageOp& op, raster::StageArg& arg1,
                             raster::StageArg& arg2) {
  const DWORD opValue = states.stage(0, opState);
  switch (opValue) {
    case D3DTOP_SELECTARG1: op = raster::StageOp::SelectArg1; break;
    case D3DTOP_SELECTARG2: op = raster::StageOp::SelectArg2; break;
    case D3DTOP_MODULATE: op = raster::StageOp::Modulate; break;
    default:
      return std::string("texture stage 0 ") + which + " operation " + std::to_string(opValue) +
             " is not implemented";
  }
  const bool usesArg1 = op != raster::StageOp::SelectArg2;
  const bool usesArg2 = op != raster::StageOp::SelectArg1;
  const auto first = stageArgOf(states.stage(0, arg1State));
  const auto second = stageArgOf(states.stage(0, arg2State));
  if ((usesArg1 && !first) || (usesArg2 && !second)) {
    return std::string("texture stage 0 ") + which +
           " argument not implemented (only texture, diffuse and current are)";
  }
  arg1 = first.value_or(raster::StageArg::Diffuse);
  arg2 = second.value_or(raster::StageArg::Diffuse);
  return {};
}

std::string translateStage(const DeviceStates& states, raster::StageSettings& stage) {
  if (states.stage(1, D3DTSS_COLOROP) != D3DTOP_DISABLE) {
    return "texture stage 1 is enabled; only stage 0 is implemented";
  }
  if (states.stage(0, D3DTSS_RESULTARG) != D3DTA_CURRENT) {
    return "texture stage 0 writes to a register other than current";
  }
  if (states.stage(0, D3DTSS_TEXTURETRANSFORMFLAGS) != 0) {
    return "texture coordinate transforms are not implemented";
  }
  if (states.stage(0, D3DTSS_COLOROP) == D3DTOP_DISABLE) {
    // A disabled stage 0 passes the diffuse colour and alpha through.
    stage = {raster::StageOp::SelectArg1, raster::StageArg::Diffuse, raster::StageArg::Diffuse,
             raster::StageOp::SelectArg1, raster::StageArg::Diffuse, raster::StageArg::Diffuse};
    return {};
  }
  if (states.stage(0, D3DTSS_ALPHAOP) == D3DTOP_DISABLE) {
    return "texture stage 0 has alpha disabled while colour is enabled";
  }
  std::string reason = translateStageOp(states, D3DTSS_COLOROP, D3DTSS_COLORARG1,
                                        D3DTSS_COLORARG2, "colour", stage.colourOp,
                                        stage.colourArg1, stage.colourArg2);
  if (!reason.empty()) return reason;
  return translateStageOp(states, D3DTSS_ALPHAOP, D3DTSS_ALPHAARG1, D3DTSS_ALPHAARG2, "alpha",
                          stage.alphaOp, stage.alphaArg1, stage.alphaArg2);
}

raster::PixelPlane planeOf(SurfaceMemory& memory) {
  return {memory.pixel(0, 0), memory.pitch(), static_cast<int>(memory.width()),
          static_cast<int>(memory.height())};
}

// A bound texture the draw reads: checked and described for the back end.
std::string translateTexture(const DrawBindings& bindings, DWORD slot, TranslatedDraw& out) {
  SoftwareSurface& level = bindings.textures[slot]->level0();
  const D3DSURFACE_DESC& desc = level.desc();
  if (desc.Pool == D3DPOOL_SYSTEMMEM || desc.Pool == D3DPOOL_SCRATCH) {
    return numbered("the texture on sampler ", slot, " is in system memory");
  }
  if (level.isLocked()) return numbered("the texture on sampler ", slot, " is locked");
  if (&level == bindings.renderTarget) {
    return numbered("the texture on sampler ", slot, " is the render target");
  }
  raster::TextureBinding& binding = out.settings.textures[slot];
  std::string reason = translateSampler(bindings.states, slot, binding.sampler);
  if (!reason.empty()) return reason;
  out.planes[slot] = planeOf(level.memory());
  binding.texels = &out.planes[slot];
  return {};
}

}  // namespace

std::string translateDrawState(const DrawBindings& bindings, TranslatedDraw& out) {
  const DeviceStates& states = bindings.states;
  raster::DrawSettings& settings = out.settings;
  if (bindings.vertexShader != nullptr) return "vertex shaders are not implemented";
  if (bindings.pixelShader != nullptr) {
    settings.program = pixelShaderProgram(bindings.pixelShader);
    if (settings.program == nullptr) return "the pixel shader is not a compiled program";
  }
  for (const RequiredRenderState& rule : kRequiredRenderStates) {
    if (states.render(rule.state) != rule.value) return std::string(rule.feature) + " is not implemented";
  }
  if (states.render(D3DRS_ZENABLE) != 0 && bindings.depthStencil != nullptr) {
    return "depth testing is not implemented";
  }
  switch (states.render(D3DRS_CULLMODE)) {
    case D3DCULL_NONE: settings.cull = raster::CullMode::None; break;
    case D3DCULL_CW: settings.cull = raster::CullMode::Clockwise; break;
    case D3DCULL_CCW: settings.cull = raster::CullMode::CounterClockwise; break;
    default: return "the cull mode is not valid";
  }
  std::string reason = translateBlend(states, settings.blend);
  if (!reason.empty()) return reason;

  SoftwareSurface& target = *bindings.renderTarget;
  if (target.isLocked()) return "the render target is locked";
  settings.target = planeOf(target.memory());
  const SurfaceArea clip =
      viewportArea(bindings.viewport, target.memory().width(), target.memory().height());
  settings.clip = {static_cast<int>(clip.left), static_cast<int>(clip.top),
                   static_cast<int>(clip.right), static_cast<int>(clip.bottom)};

  if (settings.program != nullptr) {
    // A program may sample any stage: every bound texture must be readable.
    for (DWORD slot = 0; slot < raster::kShaderStages; ++slot) {
      if (bindings.textures[slot] == nullptr) continue;
      reason = translateTexture(bindings, slot, out);
      if (!reason.empty()) return reason;
    }
    return {};
  }

  reason = translateStage(states, settings.stage);
  if (!reason.empty()) return reason;
  if (raster::stageReadsTexture(settings.stage)) {
    if (bindings.textures[0] == nullptr) return "texture stage 0 reads a texture but none is bound";
    if (!bindings.hasTextureCoordinates) {
      return "texture stage 0 reads a texture but the vertices have no texture coordinates";
    }
    if (states.stage(0, D3DTSS_TEXCOORDINDEX) != 0) {
      return "texture stage 0 reads a texture-coordinate set the vertices do not have";
    }
    return translateTexture(bindings, 0, out);
  }
  return {};
}

}  // namespace swd3d
