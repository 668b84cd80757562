// "TS Set Image Channel": the masked bits of every pixel set from one byte.
// A plain image is rewritten in memory; any other image by drawing, with the
// corner colour of a quad clearing the masked bytes and an added quad of the
// value filling them.
#include "draw/blend_modes.h"
#include "draw/copy_by_drawing.h"
#include "draw/quad_renderer.h"
#include "draw/target_clear.h"
#include "filters/channels/channel_commands.h"
#include "filters/channels/channel_kernels.h"
#include "filters/channels/channel_masks.h"
#include "host/host_link.h"
#include "image/image_lock.h"
#include "image/internal_texture.h"

using namespace tessaly;

namespace {

void setByDrawing(ImageLock& lock, DWORD channel, std::uint32_t value) {
  IDirect3DDevice9* device = hostLink.getDirect3DDevice();
  const UINT width = lock.desc.Width;
  const UINT height = lock.desc.Height;
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  const InternalTexture internal(width, height);

  // A texture cannot be drawn into its own surface, so the image is first
  // copied into the internal texture and drawn back from there, multiplied by
  // NOT Channel: every masked byte becomes 0, every other byte stays.
  copyByDrawing(device, internal.surface(), lock.texture, 0.0f, 0.0f, w, h);
  applyBlendMode(device, kCopyBlendMode);
  drawQuad(device, lock.surface, internal.texture(), imageCorners(0.0f, 0.0f, w, h, ~channel));

  // Then the internal texture holds the value everywhere and is added on top,
  // which fills the cleared bytes.
  clearRenderTarget(device, internal.surface(), value);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, FALSE);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  drawQuad(device, lock.surface, internal.texture(), imageCorners(0.0f, 0.0f, w, h));

  lock.releaseSurface();
}

}  // namespace

extern "C" void SetImageChannel(DWORD image, DWORD channel, DWORD value) {
  // Only the value's lowest byte counts, spread over the masked bits.
  const std::uint32_t bits = replicateByte(value & 0xFFu) & channel;
  ImageLock lock;
  if (!lock.openImage(static_cast<int>(image))) return;
  if (!lock.isPlain()) {
    setByDrawing(lock, channel, bits);
    return;
  }
  lock.lock(nullptr);
  setChannelBits(lock.pixels(), channel, bits);
  lock.unlockAndRelease();
}
