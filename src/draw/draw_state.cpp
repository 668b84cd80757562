#include "draw/draw_state.h"

namespace tessaly {

DrawState drawState;

void resetSamplingState() {
  const DWORD blendMode = drawState.blendMode;
  drawState = DrawState{};
  drawState.blendMode = blendMode;
}

}  // namespace tessaly

using tessaly::drawState;

extern "C" void SetBlendMode(DWORD mode) { drawState.blendMode = mode; }

extern "C" void SetFilters(DWORD minFilter, DWORD magFilter, DWORD mipFilter) {
  drawState.minFilter = minFilter;
  drawState.magFilter = magFilter;
  drawState.mipFilter = mipFilter;
}

extern "C" void SetAddressUV(DWORD addressU, DWORD addressV) {
  drawState.addressU = addressU;
  drawState.addressV = addressV;
}
