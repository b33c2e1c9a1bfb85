// The colour key: which pixels belong to the key colour, and the source pixels as the key sees them.
#pragma once

#include "engine_path.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "pixel.h"

namespace tessaline {
TESSALINE_PATH_BEGIN

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

// Copies a row of w pixels from s to d, with alpha set to 0 where the mode's key removes the pixel:
// the key modes' copy of their input. Four pixels at a time where SSE2 is there, each tested exactly
// as KeyMatches tests it (the float steps in the same single-precision order).
template <bool Inverted, class P, class V>
TESSALINE_WIDE inline void KeyCopyRow(const P* s, P* d, int w, const KeyValues<V>& key) {
  int x = 0;
#ifdef TESSALINE_SSE2
  auto load = [](const void* at) { return _mm_loadu_si128(static_cast<const __m128i*>(at)); };
  auto store = [](void* at, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(at), v); };
  if constexpr (std::is_same_v<P, Pixel8>) {
    // Alpha is the low byte of each 32-bit lane; it is cleared in the pixel and the key alike.
    const __m128i zero = _mm_setzero_si128();
    const __m128i colour = _mm_set1_epi32(static_cast<int>(0xFFFFFF00u));
    const __m128i k = _mm_set1_epi32(static_cast<int>(std::uint32_t(key.red) << 8 | std::uint32_t(key.green) << 16 |
                                                       std::uint32_t(key.blue) << 24));
    const __m128i t = _mm_set1_epi32(key.threshold);
    const __m128i alphaByte = _mm_set1_epi32(0xFF);
    const __m128i ones = _mm_set1_epi16(1);
    for (; x + 4 <= w; x += 4) {
      const __m128i v = load(s + x);
      const __m128i c = _mm_and_si128(v, colour);
      const __m128i diff = _mm_sub_epi8(_mm_max_epu8(c, k), _mm_min_epu8(c, k));
      const __m128i pairs01 = _mm_madd_epi16(_mm_unpacklo_epi8(diff, zero), ones);
      const __m128i pairs23 = _mm_madd_epi16(_mm_unpackhi_epi8(diff, zero), ones);
      const __m128 lo = _mm_castsi128_ps(pairs01), hi = _mm_castsi128_ps(pairs23);
      const __m128i sum = _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0))),
                                        _mm_castps_si128(_mm_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1))));
      const __m128i outside = _mm_cmpgt_epi32(sum, t);  // does not match
      const __m128i removes = Inverted ? outside : _mm_andnot_si128(outside, _mm_set1_epi32(-1));
      store(d + x, _mm_andnot_si128(_mm_and_si128(removes, alphaByte), v));
    }
  } else if constexpr (std::is_same_v<P, Pixel16>) {
    // Channel differences up to 65535 leave 16 bits for the sums: each pixel's three are added in
    // 32-bit lanes after a transpose.
    const __m128i zero = _mm_setzero_si128();
    const __m128i colour = _mm_set1_epi64x(static_cast<long long>(0xFFFFFFFFFFFF0000ull));
    const __m128i k = _mm_set1_epi64x(static_cast<long long>(std::uint64_t(std::uint16_t(key.red)) << 16 |
                                                             std::uint64_t(std::uint16_t(key.green)) << 32 |
                                                             std::uint64_t(std::uint16_t(key.blue)) << 48));
    const __m128i t = _mm_set1_epi32(key.threshold);
    const __m128i alphaLane = _mm_set1_epi64x(0xFFFF);
    auto absDiff = [&](__m128i v) {
      const __m128i c = _mm_and_si128(v, colour);
      return _mm_or_si128(_mm_subs_epu16(c, k), _mm_subs_epu16(k, c));
    };
    for (; x + 4 <= w; x += 4) {
      const __m128i v01 = load(s + x), v23 = load(s + x + 2);
      const __m128i d01 = absDiff(v01), d23 = absDiff(v23);
      __m128 p0 = _mm_castsi128_ps(_mm_unpacklo_epi16(d01, zero)), p1 = _mm_castsi128_ps(_mm_unpackhi_epi16(d01, zero));
      __m128 p2 = _mm_castsi128_ps(_mm_unpacklo_epi16(d23, zero)), p3 = _mm_castsi128_ps(_mm_unpackhi_epi16(d23, zero));
      _MM_TRANSPOSE4_PS(p0, p1, p2, p3);
      const __m128i sum = _mm_add_epi32(_mm_add_epi32(_mm_castps_si128(p0), _mm_castps_si128(p1)),
                                        _mm_add_epi32(_mm_castps_si128(p2), _mm_castps_si128(p3)));
      const __m128i outside = _mm_cmpgt_epi32(sum, t);
      const __m128i removes = Inverted ? outside : _mm_andnot_si128(outside, _mm_set1_epi32(-1));
      store(d + x, _mm_andnot_si128(_mm_and_si128(_mm_unpacklo_epi32(removes, zero), alphaLane), v01));
      store(d + x + 2, _mm_andnot_si128(_mm_and_si128(_mm_unpackhi_epi32(removes, zero), alphaLane), v23));
    }
  } else {
    const __m128 zero = _mm_setzero_ps();
    const __m128 signless = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    const __m128 kr = _mm_set1_ps(key.red), kg = _mm_set1_ps(key.green), kb = _mm_set1_ps(key.blue);
    const __m128 t = _mm_set1_ps(key.threshold);
    // The removed pixels' alpha is cleared in the registers, before the store: a store of alpha
    // alone into a pixel just stored would stall the map builder's reading of the row.
    const __m128i alphaLane = _mm_set_epi32(0, 0, 0, -1);
    for (; x + 4 <= w; x += 4) {
      const __m128i p0 = load(s + x), p1 = load(s + x + 1), p2 = load(s + x + 2), p3 = load(s + x + 3);
      __m128 a = _mm_castsi128_ps(p0), r = _mm_castsi128_ps(p1), g = _mm_castsi128_ps(p2), b = _mm_castsi128_ps(p3);
      _MM_TRANSPOSE4_PS(a, r, g, b);
      __m128 rest = _mm_sub_ps(t, _mm_and_ps(_mm_sub_ps(r, kr), signless));
      rest = _mm_sub_ps(rest, _mm_and_ps(_mm_sub_ps(g, kg), signless));
      rest = _mm_sub_ps(rest, _mm_and_ps(_mm_sub_ps(b, kb), signless));
      const __m128i outside = _mm_castps_si128(_mm_cmplt_ps(rest, zero));  // does not match
      const __m128i removes = Inverted ? outside : _mm_andnot_si128(outside, _mm_set1_epi32(-1));
      auto cleared = [&](__m128i pixel, __m128i lane) { return _mm_andnot_si128(_mm_and_si128(lane, alphaLane), pixel); };
      store(d + x, cleared(p0, _mm_shuffle_epi32(removes, _MM_SHUFFLE(0, 0, 0, 0))));
      store(d + x + 1, cleared(p1, _mm_shuffle_epi32(removes, _MM_SHUFFLE(1, 1, 1, 1))));
      store(d + x + 2, cleared(p2, _mm_shuffle_epi32(removes, _MM_SHUFFLE(2, 2, 2, 2))));
      store(d + x + 3, cleared(p3, _mm_shuffle_epi32(removes, _MM_SHUFFLE(3, 3, 3, 3))));
    }
  }
#endif
  // The rest of the row (all of it without SIMD). The key test is repeated only where a pixel
  // differs from the one before it.
  if (x >= w) return;
  P remembered = s[x];
  bool removes = KeyRemoves<Inverted>(remembered, key);
  for (; x < w; ++x) {
    d[x] = s[x];
    if (!SameBits(s[x], remembered)) {
      remembered = s[x];
      removes = KeyRemoves<Inverted>(remembered, key);
    }
    if (removes) d[x].alpha = 0;
  }
}

TESSALINE_PATH_END
}  // namespace tessaline
