// DrawPrimitiveUP: triangles from memory, in a pretransformed vertex format,
// drawn by the rasteriser under the device's current states, or refused with
// the reason in the call log.
#include "d3d9/call_log.h"
#include "d3d9/device_hooks.h"
#include "d3d9/draw_state_translation.h"
#include "d3d9/raster/rasteriser.h"
#include "d3d9/software_device.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>

namespace swd3d {

namespace {

// Where the fields of a vertex lie: position x, y, z, rhw, then the diffuse
// colour and one pair of texture coordinates where the format has them.
struct VertexLayout {
  UINT size = 16;
  std::optional<UINT> diffuse;
  std::optional<UINT> texture;
};

std::optional<VertexLayout> layoutOf(DWORD fvf) {
  if ((fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZRHW) return std::nullopt;
  if ((fvf & ~(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1)) != 0) return std::nullopt;
  VertexLayout layout;
  if ((fvf & D3DFVF_DIFFUSE) != 0) {
    layout.diffuse = layout.size;
    layout.size += 4;
  }
  if ((fvf & D3DFVF_TEXCOUNT_MASK) == D3DFVF_TEX1) {
    layout.texture = layout.size;
    layout.size += 8;
  }
  return layout;
}

raster::Vertex readVertex(const std::uint8_t* bytes, const VertexLayout& layout) {
  raster::Vertex vertex;
  std::memcpy(&vertex.x, bytes, 4);
  std::memcpy(&vertex.y, bytes + 4, 4);
  // Without a diffuse colour, vertices are opaque white.
  if (layout.diffuse) std::memcpy(&vertex.diffuse, bytes + *layout.diffuse, 4);
  if (layout.texture) {
    std::memcpy(&vertex.u, bytes + *layout.texture, 4);
    std::memcpy(&vertex.v, bytes + *layout.texture + 4, 4);
  }
  return vertex;
}

// The vertices a primitive type needs for `primitives` triangles, or nothing
// for types that are not triangles.
std::optional<std::uint64_t> verticesFor(D3DPRIMITIVETYPE type, UINT primitives) {
  switch (type) {
    case D3DPT_TRIANGLELIST: return std::uint64_t{primitives} * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return std::uint64_t{primitives} + 2;
    default: return std::nullopt;
  }
}

}  // namespace

void SoftwareDevice::refuseDraw(const std::string& reason) {
  std::fprintf(stderr, "swd3d: DrawPrimitiveUP refused: %s\n", reason.c_str());
  if (hooks::callLogEnabled()) hooks::appendToCallLog("DrawPrimitiveUP refused: " + reason);
}

HRESULT SoftwareDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount,
                                        const void* vertexData, UINT vertexStride) {
  logCall("DrawPrimitiveUP", primitiveType, primitiveCount, vertexStride);
  if (hooks::takeArmedFailure(Call::DrawPrimitiveUP)) return D3DERR_INVALIDCALL;
  if (vertexData == nullptr) return D3DERR_INVALIDCALL;
  const std::optional<std::uint64_t> vertexCount = verticesFor(primitiveType, primitiveCount);
  if (!vertexCount) {
    refuseDraw("only triangle lists, strips and fans are implemented");
    return D3DERR_INVALIDCALL;
  }
  const std::optional<VertexLayout> layout = layoutOf(fvf_);
  if (!layout) {
    refuseDraw("vertex format " + std::to_string(fvf_) +
               " is not implemented (XYZRHW with optional DIFFUSE and TEX1 is)");
    return D3DERR_INVALIDCALL;
  }
  if (vertexStride < layout->size) return D3DERR_INVALIDCALL;
  if (primitiveCount == 0) return D3D_OK;

  TranslatedDraw draw;
  const DrawBindings bindings{states_,       renderTarget_, depthStencil_,
                              textures_,     vertexShader_, pixelShader_,
                              viewport_,     layout->texture.has_value()};
  const std::string reason = translateDrawState(bindings, draw);
  if (!reason.empty()) {
    refuseDraw(reason);
    return D3DERR_INVALIDCALL;
  }

  raster::Rasteriser rasteriser(draw.settings);
  const auto* bytes = static_cast<const std::uint8_t*>(vertexData);
  const auto vertex = [&](std::uint64_t index) {
    return readVertex(bytes + index * vertexStride, *layout);
  };
  for (std::uint64_t i = 0; i < primitiveCount; ++i) {
    switch (primitiveType) {
      case D3DPT_TRIANGLELIST:
        rasteriser.drawTriangle(vertex(3 * i), vertex(3 * i + 1), vertex(3 * i + 2));
        break;
      case D3DPT_TRIANGLESTRIP:
        // Every other triangle of a strip is taken in the order that keeps
        // the strip's winding.
        if (i % 2 == 0) {
          rasteriser.drawTriangle(vertex(i), vertex(i + 1), vertex(i + 2));
        } else {
          rasteriser.drawTriangle(vertex(i + 1), vertex(i), vertex(i + 2));
        }
        break;
      default:
        rasteriser.drawTriangle(vertex(0), vertex(i + 1), vertex(i + 2));
        break;
    }
  }
  rasteriser.finish();
  return D3D_OK;
}

}  // namespace swd3d
