#include "filters/gradient/gradient_commands.h"

#include "filters/gradient/linear_gradient.h"
#include "filters/gradient/radial_gradient.h"
#include "filters/plain_image_filter.h"

using namespace tessaly;

namespace {

// Both commands refuse render targets in these words, the radial one included.
constexpr RenderTargetRefusal kGradientRefusal{"TS Gradients do not work on render targets.",
                                               "TS Gradient Linear - Error"};

}  // namespace

extern "C" void GradientLinear(int image, int fx, int fy, int tx, int ty, DWORD color1, DWORD color2, DWORD channel,
                               DWORD mode) {
  const GradientInk ink = GradientInk::from(color1, color2, channel, mode);
  filterPlainImage(static_cast<DWORD>(image), kGradientRefusal,
                   [&](const PixelRect& pixels) { paintLinearGradient(pixels, {fx, fy, tx, ty}, ink); });
}

extern "C" void GradientRadial(int image, int fx, int fy, float startR, float endR, DWORD color1, DWORD color2,
                               DWORD channel, DWORD mode) {
  const GradientInk ink = GradientInk::from(color1, color2, channel, mode);
  filterPlainImage(static_cast<DWORD>(image), kGradientRefusal,
                   [&](const PixelRect& pixels) { paintRadialGradient(pixels, {fx, fy, startR, endR}, ink); });
}
