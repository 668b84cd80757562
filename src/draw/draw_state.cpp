#include "draw/draw_state.h"

namespace tessaly {

DrawState drawState;

void resetSamplingState() {
  const DWORD blendMode = drawState.blendMode;
  drawState = DrawState{};
  drawState.blendMode = blendMode;
}

}  // namespace tessaly
