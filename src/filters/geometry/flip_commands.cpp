// "TS Flip Image Horizontally", "TS Flip Image Vertically" and "TS Flip
// Image": a plain image is flipped in memory, any other image by drawing.
#include "filters/geometry/flip_by_drawing.h"
#include "filters/geometry/flip_in_memory.h"
#include "filters/geometry/geometry_commands.h"

using namespace tessaly;

namespace {

void flip(DWORD image, FlipDirection direction) {
  ImageLock lock;
  if (!lock.openImage(static_cast<int>(image))) return;
  if (lock.isPlain()) {
    flipPlainImage(lock, direction);
  } else {
    flipByDrawing(lock, direction);
  }
}

}  // namespace

extern "C" void FlipImageHorizontally(DWORD image) { flip(image, FlipDirection::horizontal); }

extern "C" void FlipImageVertically(DWORD image) { flip(image, FlipDirection::vertical); }

extern "C" void FlipImage(DWORD image) { flip(image, FlipDirection::both); }
