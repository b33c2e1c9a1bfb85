#pragma once
// The three pixel depths of the host's buffers, as the host and its frame stream name them. Plain
// C++, so that programs on either system can speak the frame stream.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "ae_types.h"

namespace fxhost {

enum class PixelDepth { Eight = 8, Sixteen = 16, Float = 32 };

std::size_t bytesPerPixel(PixelDepth depth);
std::size_t bytesPerChannel(PixelDepth depth);
PF_PixelFormat pixelFormatOf(PixelDepth depth);
std::optional<PixelDepth> depthFromBits(std::uint32_t bits);

}  // namespace fxhost
