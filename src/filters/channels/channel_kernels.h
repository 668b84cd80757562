// The three pixel rules of the channel commands over locked rectangles. The
// source and destination rectangles of a two-image rule have the same size;
// they may be the same rectangle.
#pragma once

#include "filters/channels/channel_masks.h"
#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

// Every pixel p becomes (p AND NOT mask) OR value; value holds no bit outside mask.
void setChannelBits(const PixelRect& image, std::uint32_t mask, std::uint32_t value);

// Every destination pixel d becomes (d AND NOT mask) OR (s AND mask), s the
// source pixel at the same place: the masked bits copied unshifted.
void copyChannelBits(const PixelRect& source, const PixelRect& destination, std::uint32_t mask);

// Every destination pixel d becomes (d AND NOT mask) OR (b replicated AND
// mask), b the byte `read` takes from the source pixel at the same place.
void spreadChannelByte(const PixelRect& source, const PixelRect& destination, ChannelRead read,
                       std::uint32_t mask);

}  // namespace tessaly
