// The device's calls that write pixels without drawing: ColorFill, Clear and
// GetRenderTargetData.
#include "d3d9/call_log.h"
#include "d3d9/device_hooks.h"
#include "d3d9/software_device.h"
#include "d3d9/surface_formats.h"
#include "d3d9/viewport_area.h"

#include <algorithm>
#include <cstdint>

namespace swd3d {

namespace {

// A clear rectangle cut to the bounds; nothing when no pixel is left.
std::optional<SurfaceArea> clipped(const D3DRECT& rect, const SurfaceArea& bounds) {
  const std::int64_t left = std::max<std::int64_t>(rect.x1, bounds.left);
  const std::int64_t top = std::max<std::int64_t>(rect.y1, bounds.top);
  const std::int64_t right = std::min<std::int64_t>(rect.x2, bounds.right);
  const std::int64_t bottom = std::min<std::int64_t>(rect.y2, bounds.bottom);
  if (left >= right || top >= bottom) return std::nullopt;
  return SurfaceArea{static_cast<UINT>(left), static_cast<UINT>(top), static_cast<UINT>(right),
                     static_cast<UINT>(bottom)};
}

// Fills the rectangles (or all of the bounds) of a surface, each cut to the
// bounds.
void fillRects(SurfaceMemory& memory, const SurfaceArea& bounds, const D3DRECT* rects,
               DWORD rectCount, std::uint32_t value, std::uint32_t mask) {
  const D3DRECT whole{static_cast<LONG>(bounds.left), static_cast<LONG>(bounds.top),
                      static_cast<LONG>(bounds.right), static_cast<LONG>(bounds.bottom)};
  if (rects == nullptr) {
    rects = &whole;
    rectCount = 1;
  }
  for (DWORD i = 0; i < rectCount; ++i) {
    if (const auto area = clipped(rects[i], bounds)) memory.fill(*area, value, mask);
  }
}

}  // namespace

HRESULT SoftwareDevice::ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) {
  logCall("ColorFill", surface, rect, ColourArgument{color});
  SoftwareSurface* own = ownSurface(surface);
  if (own == nullptr || own->isLocked()) return D3DERR_INVALIDCALL;
  // Only video-memory colour surfaces that are render targets or off-screen
  // plain surfaces can be filled.
  const D3DSURFACE_DESC& desc = own->desc();
  const bool fillable = (desc.Usage & D3DUSAGE_RENDERTARGET) != 0 ||
                        own->role() == SurfaceRole::StandAlone;
  if (desc.Pool != D3DPOOL_DEFAULT || !isColourFormat(desc.Format) || !fillable) {
    return D3DERR_INVALIDCALL;
  }
  const std::optional<SurfaceArea> area = areaOf(rect, desc.Width, desc.Height);
  if (!area) return D3DERR_INVALIDCALL;
  own->memory().fill(*area, color);
  return D3D_OK;
}

HRESULT SoftwareDevice::Clear(DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                              float z, DWORD stencil) {
  logCall("Clear", rectCount, RectListArgument{rectCount, rects}, flags, ColourArgument{color}, z,
          stencil);
  if (hooks::takeArmedFailure(Call::Clear)) return D3DERR_INVALIDCALL;
  // A count goes with an array and no count with none.
  if ((rectCount == 0) != (rects == nullptr)) return D3DERR_INVALIDCALL;
  if ((flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0) {
    return D3DERR_INVALIDCALL;
  }
  const bool target = (flags & D3DCLEAR_TARGET) != 0;
  const bool depth = (flags & D3DCLEAR_ZBUFFER) != 0;
  const bool stencilToo = (flags & D3DCLEAR_STENCIL) != 0;
  if (target && renderTarget_->isLocked()) return D3DERR_INVALIDCALL;
  if ((depth || stencilToo) && (depthStencil_ == nullptr || depthStencil_->isLocked())) {
    return D3DERR_INVALIDCALL;
  }
  if (stencilToo && depthStencil_->desc().Format != D3DFMT_D24S8) return D3DERR_INVALIDCALL;
  if (depth && !(z >= 0.0f && z <= 1.0f)) return D3DERR_INVALIDCALL;  // NaN fails too

  // Clear reaches only the viewport, as on a real device.
  if (target) {
    SurfaceMemory& memory = renderTarget_->memory();
    fillRects(memory, viewportArea(viewport_, memory.width(), memory.height()), rects, rectCount, color, 0xFFFFFFFF);
  }
  if (depth || stencilToo) clearDepthStencil(rects, rectCount, flags, z, stencil);
  return D3D_OK;
}

void SoftwareDevice::clearDepthStencil(const D3DRECT* rects, DWORD rectCount, DWORD flags,
                                       float z, DWORD stencil) {
  // D16 holds 16 bits of depth; D24S8 24 bits of depth above 8 of stencil.
  const bool d16 = depthStencil_->desc().Format == D3DFMT_D16;
  const std::uint32_t depthMax = d16 ? 0xFFFFu : 0xFFFFFFu;
  const unsigned depthShift = d16 ? 0 : 8;
  std::uint32_t value = 0;
  std::uint32_t mask = 0;
  if ((flags & D3DCLEAR_ZBUFFER) != 0) {
    // z lies in [0, 1], so the rounded depth fits depthMax.
    const auto scaled = static_cast<std::uint32_t>(static_cast<double>(z) * depthMax + 0.5);
    value |= scaled << depthShift;
    mask |= depthMax << depthShift;
  }
  if ((flags & D3DCLEAR_STENCIL) != 0) {
    value |= stencil & 0xFFu;
    mask |= 0xFFu;
  }
  SurfaceMemory& memory = depthStencil_->memory();
  fillRects(memory, viewportArea(viewport_, memory.width(), memory.height()), rects, rectCount, value, mask);
}

HRESULT SoftwareDevice::GetRenderTargetData(IDirect3DSurface9* renderTarget,
                                            IDirect3DSurface9* destSurface) {
  logCall("GetRenderTargetData", renderTarget, destSurface);
  if (hooks::takeArmedFailure(Call::GetRenderTargetData)) return D3DERR_INVALIDCALL;
  SoftwareSurface* source = ownSurface(renderTarget);
  SoftwareSurface* target = ownSurface(destSurface);
  if (source == nullptr || target == nullptr || source == target) return D3DERR_INVALIDCALL;
  const D3DSURFACE_DESC& from = source->desc();
  const D3DSURFACE_DESC& to = target->desc();
  // A render target copied whole into a system-memory surface of its size and
  // format.
  if ((from.Usage & D3DUSAGE_RENDERTARGET) == 0 || to.Pool != D3DPOOL_SYSTEMMEM) {
    return D3DERR_INVALIDCALL;
  }
  if (from.Width != to.Width || from.Height != to.Height || from.Format != to.Format) {
    return D3DERR_INVALIDCALL;
  }
  if (source->isLocked() || target->isLocked()) return D3DERR_INVALIDCALL;
  target->memory().copyPixelsFrom(source->memory());
  return D3D_OK;
}

}  // namespace swd3d
