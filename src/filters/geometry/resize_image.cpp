// "TS Resize Image": the image made again at its new size under the same
// number, nearest-neighbour (mode 0) or bilinear (mode 1); a plain image in
// memory, any other image by drawing.
#include "filters/geometry/geometry_commands.h"
#include "filters/geometry/resize_by_drawing.h"
#include "filters/geometry/resize_in_memory.h"

using namespace tessaly;

extern "C" void ResizeImage(DWORD image, DWORD width, DWORD height, DWORD mode) {
  const int number = static_cast<int>(image);
  ImageLock lock;
  if (!lock.openImage(number)) return;
  if (lock.isPlain()) {
    resizePlainImage(lock, number, width, height, mode);
  } else {
    resizeByDrawing(lock, number, width, height, mode);
  }
}
