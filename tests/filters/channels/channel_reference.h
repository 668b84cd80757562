// Plain reference loops of the channel rules, written straight from their
// description and kept slow and obvious.
#pragma once

#include "filters/test_image.h"

#include <cstdint>

namespace filter_test {

// (p AND NOT channel) OR (value's low byte replicated AND channel).
void referenceSetChannel(TestImage& image, std::uint32_t channel, std::uint32_t value);
// The byte a Channel Source mask reads: the lowest byte it touches, with the
// bits outside the mask cleared.
std::uint32_t referenceChannelByte(std::uint32_t pixel, std::uint32_t source);
// Destination pixel (x, y) from source pixel (x - X, y - Y) where that exists.
void referencePasteChannelAt(const TestImage& source, TestImage& destination, std::uint32_t channel,
                             std::uint32_t channelSource, std::int64_t x, std::int64_t y);

}  // namespace filter_test
