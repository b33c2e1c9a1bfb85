// Whether two neighbouring pixels differ by more than the colour threshold.
//
// A transparent pixel (alpha 0) counts as (0, 0, 0, 0) whatever colour it stores; two pixels differ
// when the sum of their four absolute channel differences is greater than the threshold.
#pragma once

#include "engine_path.h"

#include <cstdint>
#include <cstring>

#include "pixel.h"

namespace tessaline {
TESSALINE_PATH_BEGIN

namespace distance {

template <class P>
inline std::int32_t IntegerDistance(P p, P q) {
  if (p.alpha == 0) p = P{};
  if (q.alpha == 0) q = P{};
  auto absDiff = [](std::int32_t a, std::int32_t b) { return a > b ? a - b : b - a; };
  return absDiff(p.alpha, q.alpha) + absDiff(p.red, q.red) + absDiff(p.green, q.green) +
         absDiff(p.blue, q.blue);
}

}  // namespace distance

// Integer depths: identical pixels never differ (even at a negative threshold), otherwise the
// zero-for-transparent distance is compared with t. Identical memory is the common case in flat
// areas, so it is tested first as one word.
inline bool PixelsDiffer8(const Pixel8& p, const Pixel8& q, std::int32_t t) {
  std::uint32_t a, b;
  std::memcpy(&a, &p, 4);
  std::memcpy(&b, &q, 4);
  if (a == b) return false;
  const std::int32_t d = distance::IntegerDistance(p, q);
  return d > t && d != 0;
}

inline bool PixelsDiffer16(const Pixel16& p, const Pixel16& q, std::int32_t t) {
  std::uint64_t a, b;
  std::memcpy(&a, &p, 8);
  std::memcpy(&b, &q, 8);
  if (a == b) return false;
  const std::int32_t d = distance::IntegerDistance(p, q);
  return d > t && d != 0;
}

// Float: the steps are taken literally, in single precision and in this order, so that NaN,
// infinities and signed zeros give one fixed answer. Transparent means alpha == 0.0 (so -0.0 counts
// and NaN does not).
inline bool PixelsDifferF(const PixelF& p, const PixelF& q, float t) {
  const bool pClear = p.alpha == 0.0f;
  const bool qClear = q.alpha == 0.0f;
  if (pClear && qClear) return false;
  if (pClear) return t - (((q.green + q.red) + q.blue) + q.alpha) < 0.0f;
  if (qClear) return t - (((p.green + p.red) + p.blue) + p.alpha) < 0.0f;
  if (SameBits(p, q)) return false;
  float r = t - __builtin_fabsf(p.red - q.red);
  r = r - __builtin_fabsf(p.green - q.green);
  r = r - __builtin_fabsf(p.blue - q.blue);
  r = r - __builtin_fabsf(p.alpha - q.alpha);
  return r < 0.0f;
}

TESSALINE_PATH_END
}  // namespace tessaline
