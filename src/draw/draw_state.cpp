#include "draw/draw_state.h"

namespace tessaly {

DrawState drawState;

void resetSamplingState() {
  drawState.minFilter = 1;
  drawState.magFilter = 1;
  drawState.mipFilter = 0;
  drawState.addressU = 1;
  drawState.addressV = 1;
}

}  // namespace tessaly
