// The device's states and bindings, as a draw reads them, turned into the
// back end's settings; or the reason the device cannot draw them: a state it
// does not implement that would change the picture, or a combination a real
// device refuses. A draw is either drawn as Direct3D 9 draws it or refused.
#pragma once

#include "d3d9/d3d9.h"
#include "d3d9/device_states.h"
#include "d3d9/raster/draw_settings.h"

#include <array>
#include <string>

namespace swd3d {

class SoftwareSurface;
class SoftwareTexture;

struct DrawBindings {
  const DeviceStates& states;
  SoftwareSurface* renderTarget;
  SoftwareSurface* depthStencil;
  const std::array<SoftwareTexture*, kSamplerSlots>& textures;
  IDirect3DVertexShader9* vertexShader;
  IDirect3DPixelShader9* pixelShader;
  const D3DVIEWPORT9& viewport;
  bool hasTextureCoordinates;  // the vertex format carries u and v
};

// Settings for the back end, with the texture planes they point to.
struct TranslatedDraw {
  TranslatedDraw() = default;
  TranslatedDraw(const TranslatedDraw&) = delete;
  TranslatedDraw& operator=(const TranslatedDraw&) = delete;

  raster::DrawSettings settings;
  std::array<raster::PixelPlane, raster::kShaderStages> planes{};
};

// Fills `out` and returns an empty string, or returns why the draw is refused.
std::string translateDrawState(const DrawBindings& bindings, TranslatedDraw& out);

}  // namespace swd3d
