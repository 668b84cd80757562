// The host core data record: the few fields Tessaly reads, by byte offset.
// The real record is 32-bit; a 64-bit stand-in host keeps the same offsets
// with pointer-sized fields, which still do not overlap.
#pragma once

#include <cstddef>
#include <cstring>

namespace tessaly::core_data {

enum Offset : std::size_t {
  runtimeErrorSlot = 44,
  imageModule = 64,
  vectorModule = 128,
  hostWindow = 600,
  screenSurface = 748,
  screenDepthSurface = 756,
};

// Smallest record that holds every field above.
inline constexpr std::size_t kMinimumSize = screenDepthSurface + sizeof(void*);

// Reads one field; the record gives no alignment guarantee, hence memcpy.
template <class T>
T read(const void* record, Offset offset) {
  T value;
  std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
  return value;
}

template <class T>
void write(void* record, Offset offset, T value) {
  std::memcpy(static_cast<unsigned char*>(record) + offset, &value, sizeof value);
}

}  // namespace tessaly::core_data
