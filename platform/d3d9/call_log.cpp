#include "d3d9/call_log.h"

#include "d3d9/interface_ids.h"
#include "d3d9/software_surface.h"
#include "d3d9/software_texture.h"

#include <charconv>
#include <cstdio>

namespace swd3d::log_format {

namespace {

std::string rectText(std::int64_t left, std::int64_t top, std::int64_t right,
                     std::int64_t bottom) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "{%lld,%lld,%lld,%lld}", static_cast<long long>(left),
                static_cast<long long>(top), static_cast<long long>(right),
                static_cast<long long>(bottom));
  return buffer;
}

}  // namespace

std::string text(std::uint32_t value) { return std::to_string(value); }
std::string text(std::int32_t value) { return std::to_string(value); }

std::string text(float value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string text(const char* name) { return name; }
std::string text(const std::string& name) { return name; }

std::string text(const RECT* rect) {
  if (rect == nullptr) return "null";
  return rectText(rect->left, rect->top, rect->right, rect->bottom);
}

std::string text(ColourArgument colour) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(colour.value));
  return buffer;
}

std::string text(RectListArgument list) {
  if (list.rects == nullptr) return "null";
  std::string out = "[";
  for (DWORD i = 0; i < list.count; ++i) {
    if (i != 0) out += ',';
    const D3DRECT& rect = list.rects[i];
    out += rectText(rect.x1, rect.y1, rect.x2, rect.y2);
  }
  return out + "]";
}

std::string text(const IID& id) { return iid::nameOf(id); }

std::string text(const IDirect3DSurface9* surface) {
  if (surface == nullptr) return "null";
  const auto* own = dynamic_cast<const SoftwareSurface*>(surface);
  return own != nullptr ? own->name() : "foreign";
}

std::string text(const IDirect3DBaseTexture9* texture) {
  if (texture == nullptr) return "null";
  const auto* own = dynamic_cast<const SoftwareTexture*>(texture);
  return own != nullptr ? own->name() : "foreign";
}

std::string text(const IDirect3DVertexShader9* shader) {
  return shader == nullptr ? "null" : "foreign";
}

std::string text(const IDirect3DPixelShader9* shader) {
  return shader == nullptr ? "null" : "foreign";
}

}  // namespace swd3d::log_format
