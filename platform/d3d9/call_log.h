// Formats one call for the call log (see device_control.h for the format) and
// appends it, only while the log is enabled.
#pragma once

#include "d3d9/d3d9.h"
#include "d3d9/device_hooks.h"

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

namespace swd3d {

// Arguments that print differently from their plain type.
struct ColourArgument {
  D3DCOLOR value;
};
struct RectListArgument {
  DWORD count;
  const D3DRECT* rects;
};

namespace log_format {

std::string text(std::uint32_t value);
std::string text(std::int32_t value);
std::string text(float value);
std::string text(const char* name);
std::string text(const std::string& name);
std::string text(const RECT* rect);
std::string text(ColourArgument colour);
std::string text(RectListArgument list);
std::string text(const IID& id);
std::string text(const IDirect3DSurface9* surface);
std::string text(const IDirect3DBaseTexture9* texture);
std::string text(const IDirect3DVertexShader9* shader);
std::string text(const IDirect3DPixelShader9* shader);

template <class Enum>
  requires std::is_enum_v<Enum>
std::string text(Enum value) {
  return text(static_cast<std::uint32_t>(value));
}

}  // namespace log_format

template <class... Args>
void logCall(const char* method, const Args&... args) {
  if (!hooks::callLogEnabled()) return;
  std::string entry = method;
  entry += '(';
  [[maybe_unused]] const char* separator = "";
  ((entry += separator, entry += log_format::text(args), separator = ", "), ...);
  entry += ')';
  hooks::appendToCallLog(std::move(entry));
}

}  // namespace swd3d
