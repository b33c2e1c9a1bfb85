// The colour key: which pixels belong to the key colour, and the source pixels as the key sees them.
#pragma once

#include <cstdint>

#include "pixel.h"

namespace tessaline {

// The key colour and threshold converted to one depth.
template <class V>
struct KeyValues {
  V red{}, green{}, blue{};
  V threshold{};
};

// A pixel matches when |dR| + |dG| + |dB| is not greater than the key threshold; alpha plays no
// part, so a transparent pixel of the key colour matches too.
template <class P>
inline bool KeyMatchesInteger(const P& p, const KeyValues<std::int32_t>& key) {
  auto absDiff = [](std::int32_t a, std::int32_t b) { return a > b ? a - b : b - a; };
  return key.threshold - absDiff(p.red, key.red) - absDiff(p.green, key.green) -
             absDiff(p.blue, key.blue) >=
         0;
}

inline bool KeyMatches(const Pixel8& p, const KeyValues<std::int32_t>& key) {
  return KeyMatchesInteger(p, key);
}
inline bool KeyMatches(const Pixel16& p, const KeyValues<std::int32_t>& key) {
  return KeyMatchesInteger(p, key);
}
// Float: only a result below 0 fails to match, in single precision and in this order.
inline bool KeyMatches(const PixelF& p, const KeyValues<float>& key) {
  float r = key.threshold - __builtin_fabsf(p.red - key.red);
  r = r - __builtin_fabsf(p.green - key.green);
  r = r - __builtin_fabsf(p.blue - key.blue);
  return !(r < 0.0f);
}

// Whether the mode makes this pixel transparent: the key removes matching pixels, the inverted key
// removes all others.
template <bool Inverted, class P, class V>
inline bool KeyRemoves(const P& p, const KeyValues<V>& key) {
  return KeyMatches(p, key) != Inverted;
}

}  // namespace tessaline
