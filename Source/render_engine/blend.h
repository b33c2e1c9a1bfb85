// Moving an output pixel towards a source pixel by a weight, in proportion to each pixel's share of
// alpha, so that a transparent or half-transparent source neither darkens nor tints the result.
#pragma once

#include "engine_path.h"

#include <cstdint>

#include "pixel.h"

namespace tessaline {
TESSALINE_PATH_BEGIN

// Integer depths; weight 0..65535, where 65535 takes the source fully. Everything is unsigned 32-bit:
// channel values up to 65535 keep every product and sum below 2^32.
template <class P>
inline void BlendPixelInteger(P& out, const P& src, std::uint32_t w) {
  using C = decltype(out.red);
  const std::uint32_t wInv = 65535u - w;
  if (out.alpha == src.alpha) {
    out.red = static_cast<C>((out.red * wInv + src.red * w + 32768u) >> 16);
    out.green = static_cast<C>((out.green * wInv + src.green * w + 32768u) >> 16);
    out.blue = static_cast<C>((out.blue * wInv + src.blue * w + 32768u) >> 16);
    return;
  }
  if (src.alpha == 0) {
    out.alpha = static_cast<C>((wInv * out.alpha + 32768u) >> 16);
    return;
  }
  if (out.alpha != 0) {
    const std::uint32_t aOut = wInv * out.alpha;
    const std::uint32_t aSrc = src.alpha * w;
    // k = 65535 * aSrc / (aOut + aSrc), to the nearest integer, in single precision. At weight 0
    // aSrc is 0 and the quotient would be infinite: k is then 0, which is taken without dividing.
    std::uint32_t k = 0;
    if (aSrc != 0) {
      const float q = static_cast<float>(aOut) / static_cast<float>(aSrc);
      k = static_cast<std::uint32_t>(65535.0f / (q + 1.0f) + 0.5f);
    }
    const std::uint32_t kInv = 65535u - k;
    out.red = static_cast<C>((out.red * kInv + src.red * k + 32768u) >> 16);
    out.green = static_cast<C>((out.green * kInv + src.green * k + 32768u) >> 16);
    out.blue = static_cast<C>((out.blue * kInv + src.blue * k + 32768u) >> 16);
    out.alpha = static_cast<C>((aSrc + 32768u + aOut) >> 16);
    return;
  }
  out = src;
  out.alpha = static_cast<C>((src.alpha * w + 32768u) >> 16);
}

inline void BlendPixel8(Pixel8& out, const Pixel8& src, std::uint32_t w) {
  BlendPixelInteger(out, src, w);
}
inline void BlendPixel16(Pixel16& out, const Pixel16& src, std::uint32_t w) {
  BlendPixelInteger(out, src, w);
}

// Float; weight 0..1. A transparent output needs no case of its own: the last step gives k = 1.
inline void BlendPixelFloat(PixelF& out, const PixelF& src, float w) {
  const float wInv = 1.0f - w;
  if (out.alpha == src.alpha) {
    out.red = w * src.red + wInv * out.red;
    out.green = w * src.green + wInv * out.green;
    out.blue = w * src.blue + wInv * out.blue;
    return;
  }
  if (src.alpha == 0.0f) {
    out.alpha = wInv * out.alpha;
    return;
  }
  const float aOut = wInv * out.alpha;
  const float k = 1.0f / (aOut / (src.alpha * w) + 1.0f);
  const float kInv = 1.0f - k;
  out.red = k * src.red + kInv * out.red;
  out.green = k * src.green + kInv * out.green;
  out.blue = k * src.blue + kInv * out.blue;
  out.alpha = w * src.alpha + aOut;
}

TESSALINE_PATH_END
}  // namespace tessaline
