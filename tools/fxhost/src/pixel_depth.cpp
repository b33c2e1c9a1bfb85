#include "fxhost/pixel_depth.h"

namespace fxhost {

std::size_t bytesPerChannel(PixelDepth depth) {
  switch (depth) {
    case PixelDepth::Eight:
      return 1;
    case PixelDepth::Sixteen:
      return 2;
    case PixelDepth::Float:
      return 4;
  }
  return 0;
}

std::size_t bytesPerPixel(PixelDepth depth) { return 4 * bytesPerChannel(depth); }

PF_PixelFormat pixelFormatOf(PixelDepth depth) {
  switch (depth) {
    case PixelDepth::Eight:
      return PF_PixelFormat_ARGB32;
    case PixelDepth::Sixteen:
      return PF_PixelFormat_ARGB64;
    case PixelDepth::Float:
      return PF_PixelFormat_ARGB128;
  }
  return PF_PixelFormat_INVALID;
}

std::optional<PixelDepth> depthFromBits(std::uint32_t bits) {
  if (bits == 8) return PixelDepth::Eight;
  if (bits == 16) return PixelDepth::Sixteen;
  if (bits == 32) return PixelDepth::Float;
  return std::nullopt;
}

}  // namespace fxhost
