// ARGB pixel records at the three depths, in the host's memory order.
#pragma once

#include "engine_path.h"

#include <cstdint>
#include <cstring>

namespace tessaline {
TESSALINE_PATH_BEGIN

struct Pixel8 {
  std::uint8_t alpha, red, green, blue;
};
struct Pixel16 {
  std::uint16_t alpha, red, green, blue;
};
struct PixelF {
  float alpha, red, green, blue;
};
static_assert(sizeof(Pixel8) == 4 && sizeof(Pixel16) == 8 && sizeof(PixelF) == 16);

// Equal memory, channel for channel (bit-identical floats, so NaN equals the same NaN and 0.0 does not
// equal -0.0).
template <class P>
inline bool SameBits(const P& p, const P& q) {
  return std::memcmp(&p, &q, sizeof(P)) == 0;
}

TESSALINE_PATH_END
}  // namespace tessaline
