// The edge map: one byte per pixel saying which of the pixel's neighbour pairs differ.
//
// The entry of (x, y) describes the 2 x 2 block whose top-left pixel is (x, y). Rows are MapStride
// bytes long with four zero entries left of column 0 and at least one right of the last column, and
// there is a zero row above the image and one below it, so readers may step one entry past any
// border (four to the left) without a bounds check.
#pragma once

#include "engine_path.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "engine.h"
#include "pixel.h"

namespace tessaline {
TESSALINE_PATH_BEGIN

struct EdgeMapView {
  const std::uint8_t* origin = nullptr;  // entry of pixel (0, 0)
  std::int32_t stride = 0;

  std::uint8_t E(int x, int y) const { return origin[static_cast<std::ptrdiff_t>(y) * stride + x]; }
  bool R(int x, int y) const { return (E(x, y) & EdgeRight) != 0; }
  bool D(int x, int y) const { return (E(x, y) & EdgeBelow) != 0; }
  bool G(int x, int y) const { return (E(x, y) & EdgeDiagonal) != 0; }
  bool A(int x, int y) const { return (E(x, y) & EdgeAntiDiagonal) != 0; }
  // All of `set` and none of `clear` in the entry of (x, y).
  bool Has(int x, int y, std::uint8_t set, std::uint8_t clear = 0) const {
    return (E(x, y) & (set | clear)) == set;
  }
};

// The entry of (0, 0) inside a map buffer laid out for the given stride.
inline std::uint8_t* MapOrigin(std::uint8_t* buffer, std::int32_t stride) { return buffer + stride + 4; }

#ifdef TESSALINE_SSE2
// For four pairs of 8-bit pixels (a[i], b[i]): bit i set when they differ, exactly as
// PixelsDiffer8: transparent pixels count as (0, 0, 0, 0), and the sum of the four absolute channel
// differences must be non-zero and greater than t.
inline int Differ8x4(__m128i a, __m128i b, __m128i t) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaByte = _mm_set1_epi32(0xFF);
  a = _mm_andnot_si128(_mm_cmpeq_epi32(_mm_and_si128(a, alphaByte), zero), a);
  b = _mm_andnot_si128(_mm_cmpeq_epi32(_mm_and_si128(b, alphaByte), zero), b);
  const __m128i d = _mm_sub_epi8(_mm_max_epu8(a, b), _mm_min_epu8(a, b));
  const __m128i ones = _mm_set1_epi16(1);
  const __m128i pairs01 = _mm_madd_epi16(_mm_unpacklo_epi8(d, zero), ones);  // two sums per pixel
  const __m128i pairs23 = _mm_madd_epi16(_mm_unpackhi_epi8(d, zero), ones);
  const __m128 lo = _mm_castsi128_ps(pairs01), hi = _mm_castsi128_ps(pairs23);
  const __m128i sum = _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0))),
                                    _mm_castps_si128(_mm_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1))));
  const __m128i differs = _mm_andnot_si128(_mm_cmpeq_epi32(sum, zero), _mm_cmpgt_epi32(sum, t));
  return _mm_movemask_ps(_mm_castsi128_ps(differs));
}

// The four entries of a group from its four pair masks (bit i for pixel i), by the rule of
// BuildEdgeMapRow: pixel i keeps its diagonal bits when a step of pixels 0 .. i + 1 was found
// (pixel 3 always), so the diagonal bits the scalar code would not have tested are dropped.
inline std::uint32_t GroupEntries(int right, int below, int diagonal, int anti) {
  // spread[m] moves bit i of m to bit 8 * i; keep[steps] is the mask of pixels that keep theirs.
  static constexpr struct Tables {
    std::uint32_t spread[16]{};
    std::uint8_t keep[16]{};
    constexpr Tables() {
      for (int m = 0; m < 16; ++m) {
        for (int i = 0; i < 4; ++i) spread[m] |= static_cast<std::uint32_t>((m >> i) & 1) << (8 * i);
        keep[m] = static_cast<std::uint8_t>(((m & 0x3) ? 0x1 : 0) | ((m & 0x7) ? 0x2 : 0) | (m ? 0x4 : 0) | 0x8);
      }
    }
  } kTables;
  const int keep = kTables.keep[right | below];
  return kTables.spread[right] * EdgeRight | kTables.spread[below] * EdgeBelow |
         kTables.spread[diagonal & keep] * EdgeDiagonal | kTables.spread[anti & keep] * EdgeAntiDiagonal;
}

// The four entries of the group of 8-bit pixels at p0 (row y) over q0 (row y + 1): all sixteen
// pairs are compared at once.
inline std::uint32_t GroupEntries8(const Pixel8* p0, const Pixel8* q0, std::int32_t threshold) {
  auto load = [](const Pixel8* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
  const __m128i t = _mm_set1_epi32(threshold);
  const __m128i p = load(p0), pRight = load(p0 + 1), q = load(q0), qRight = load(q0 + 1);
  return GroupEntries(Differ8x4(p, pRight, t), Differ8x4(p, q, t), Differ8x4(p, qRight, t),
                      Differ8x4(q, pRight, t));
}

// Four float pixels, one register per channel.
struct PixelsF4 {
  __m128 alpha, red, green, blue;
};
inline PixelsF4 LoadPixelsF4(const PixelF* at) {
  __m128 a = _mm_loadu_ps(&at[0].alpha), r = _mm_loadu_ps(&at[1].alpha);
  __m128 g = _mm_loadu_ps(&at[2].alpha), b = _mm_loadu_ps(&at[3].alpha);
  _MM_TRANSPOSE4_PS(a, r, g, b);
  return {a, r, g, b};
}

// For four pairs of float pixels (a[i], b[i]): bit i set when they differ, exactly as PixelsDifferF,
// with the same single-precision operations in the same order in each lane.
inline int DifferFx4(const PixelsF4& p, const PixelsF4& q, __m128 t) {
  const __m128 zero = _mm_setzero_ps();
  const __m128 signless = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
  auto less0 = [&](__m128 v) { return _mm_cmplt_ps(v, zero); };
  auto absDiff = [&](__m128 a, __m128 b) { return _mm_and_ps(_mm_sub_ps(a, b), signless); };
  auto bitsEqual = [](__m128 a, __m128 b) { return _mm_castsi128_ps(_mm_cmpeq_epi32(_mm_castps_si128(a), _mm_castps_si128(b))); };
  const __m128 pClear = _mm_cmpeq_ps(p.alpha, zero), qClear = _mm_cmpeq_ps(q.alpha, zero);
  // One side transparent: the other's channel sum against t.
  const __m128 onlyP = less0(_mm_sub_ps(t, _mm_add_ps(_mm_add_ps(_mm_add_ps(q.green, q.red), q.blue), q.alpha)));
  const __m128 onlyQ = less0(_mm_sub_ps(t, _mm_add_ps(_mm_add_ps(_mm_add_ps(p.green, p.red), p.blue), p.alpha)));
  __m128 r = _mm_sub_ps(t, absDiff(p.red, q.red));
  r = _mm_sub_ps(r, absDiff(p.green, q.green));
  r = _mm_sub_ps(r, absDiff(p.blue, q.blue));
  r = _mm_sub_ps(r, absDiff(p.alpha, q.alpha));
  const __m128 same = _mm_and_ps(_mm_and_ps(bitsEqual(p.alpha, q.alpha), bitsEqual(p.red, q.red)),
                                 _mm_and_ps(bitsEqual(p.green, q.green), bitsEqual(p.blue, q.blue)));
  const __m128 opaque = _mm_andnot_ps(same, less0(r));  // neither transparent
  // Lanes by case: both transparent never differ; then either one; then neither.
  const __m128 differs = _mm_or_ps(_mm_and_ps(_mm_andnot_ps(qClear, pClear), onlyP),
                                   _mm_or_ps(_mm_and_ps(_mm_andnot_ps(pClear, qClear), onlyQ),
                                             _mm_andnot_ps(_mm_or_ps(pClear, qClear), opaque)));
  return _mm_movemask_ps(differs);
}

// The four entries of the group of float pixels at p0 over q0, as GroupEntries8.
inline std::uint32_t GroupEntriesF(const PixelF* p0, const PixelF* q0, float threshold) {
  const __m128 t = _mm_set1_ps(threshold);
  const PixelsF4 p = LoadPixelsF4(p0), pRight = LoadPixelsF4(p0 + 1), q = LoadPixelsF4(q0),
                 qRight = LoadPixelsF4(q0 + 1);
  return GroupEntries(DifferFx4(p, pRight, t), DifferFx4(p, q, t), DifferFx4(p, qRight, t),
                      DifferFx4(q, pRight, t));
}
#endif

// Whether a group's five pixels of both rows are bit-identical: then no pair of the group differs.
template <class P>
inline bool FlatGroup(const P* p0, const P* q0) {
#ifdef TESSALINE_SSE2
  // One comparison mask for all of it, and one branch.
  auto load = [](const void* at) { return _mm_loadu_si128(static_cast<const __m128i*>(at)); };
  const auto* here = reinterpret_cast<const unsigned char*>(p0);
  const auto* right = reinterpret_cast<const unsigned char*>(p0 + 1);
  const auto* below = reinterpret_cast<const unsigned char*>(q0);
  __m128i same = _mm_set1_epi8(-1);
  for (std::size_t i = 0; i < 4 * sizeof(P); i += 16) {
    const __m128i v = load(here + i);
    same = _mm_and_si128(same, _mm_and_si128(_mm_cmpeq_epi8(v, load(right + i)), _mm_cmpeq_epi8(v, load(below + i))));
  }
  if constexpr (sizeof(P) == 16) {
    same = _mm_and_si128(same, _mm_cmpeq_epi8(load(p0 + 4), load(q0 + 4)));
    return _mm_movemask_epi8(same) == 0xFFFF;
  } else {
    return _mm_movemask_epi8(same) == 0xFFFF && SameBits(p0[4], q0[4]);
  }
#else
  return std::memcmp(p0, p0 + 1, 4 * sizeof(P)) == 0 && std::memcmp(p0, q0, 4 * sizeof(P)) == 0 &&
         SameBits(p0[4], q0[4]);
#endif
}

#ifdef TESSALINE_AVX2
// Whether the two groups at p0 (row y) over q0 (row y + 1) are both flat: FlatGroup of the eight
// pixels at once.
template <class P>
TESSALINE_WIDE inline bool FlatOctet(const P* p0, const P* q0) {
  // (No lambdas here: they would not share this function's target.)
  const auto* here = reinterpret_cast<const __m256i*>(p0);
  const auto* right = reinterpret_cast<const __m256i*>(p0 + 1);
  const auto* below = reinterpret_cast<const __m256i*>(q0);
  __m256i same = _mm256_set1_epi8(-1);
  for (std::size_t i = 0; i < sizeof(P) / 4; ++i) {
    const __m256i v = _mm256_loadu_si256(here + i);
    same = _mm256_and_si256(same, _mm256_and_si256(_mm256_cmpeq_epi8(v, _mm256_loadu_si256(right + i)),
                                                   _mm256_cmpeq_epi8(v, _mm256_loadu_si256(below + i))));
  }
  return _mm256_movemask_epi8(same) == -1 && SameBits(p0[8], q0[8]);
}
#endif

#ifdef TESSALINE_AVX2
// Eight float pixels, one register per channel (pixel i in lane i).
struct PixelsF8 {
  __m256 alpha, red, green, blue;
};
TESSALINE_WIDE inline PixelsF8 LoadPixelsF8(const PixelF* at) {
  // Pixels i and i + 4 share a register, so that the transpose stays inside each 128-bit half.
  const __m256 a = _mm256_loadu2_m128(&at[4].alpha, &at[0].alpha), r = _mm256_loadu2_m128(&at[5].alpha, &at[1].alpha);
  const __m256 g = _mm256_loadu2_m128(&at[6].alpha, &at[2].alpha), b = _mm256_loadu2_m128(&at[7].alpha, &at[3].alpha);
  const __m256 ar = _mm256_unpacklo_ps(a, r), gb = _mm256_unpacklo_ps(g, b);
  const __m256 arHigh = _mm256_unpackhi_ps(a, r), gbHigh = _mm256_unpackhi_ps(g, b);
  return {_mm256_shuffle_ps(ar, gb, 0x44), _mm256_shuffle_ps(ar, gb, 0xEE), _mm256_shuffle_ps(arHigh, gbHigh, 0x44),
          _mm256_shuffle_ps(arHigh, gbHigh, 0xEE)};
}

// DifferFx4 on eight pairs: the same single-precision operations in the same order in each lane.
TESSALINE_WIDE inline int DifferFx8(const PixelsF8& p, const PixelsF8& q, __m256 t) {
  const __m256 zero = _mm256_setzero_ps();
  const __m256 signless = _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF));
  const __m256 pClear = _mm256_cmp_ps(p.alpha, zero, _CMP_EQ_OQ), qClear = _mm256_cmp_ps(q.alpha, zero, _CMP_EQ_OQ);
  const __m256 onlyP = _mm256_cmp_ps(
      _mm256_sub_ps(t, _mm256_add_ps(_mm256_add_ps(_mm256_add_ps(q.green, q.red), q.blue), q.alpha)), zero, _CMP_LT_OQ);
  const __m256 onlyQ = _mm256_cmp_ps(
      _mm256_sub_ps(t, _mm256_add_ps(_mm256_add_ps(_mm256_add_ps(p.green, p.red), p.blue), p.alpha)), zero, _CMP_LT_OQ);
  __m256 r = _mm256_sub_ps(t, _mm256_and_ps(_mm256_sub_ps(p.red, q.red), signless));
  r = _mm256_sub_ps(r, _mm256_and_ps(_mm256_sub_ps(p.green, q.green), signless));
  r = _mm256_sub_ps(r, _mm256_and_ps(_mm256_sub_ps(p.blue, q.blue), signless));
  r = _mm256_sub_ps(r, _mm256_and_ps(_mm256_sub_ps(p.alpha, q.alpha), signless));
  const __m256i sameAR = _mm256_and_si256(_mm256_cmpeq_epi32(_mm256_castps_si256(p.alpha), _mm256_castps_si256(q.alpha)),
                                          _mm256_cmpeq_epi32(_mm256_castps_si256(p.red), _mm256_castps_si256(q.red)));
  const __m256i sameGB = _mm256_and_si256(_mm256_cmpeq_epi32(_mm256_castps_si256(p.green), _mm256_castps_si256(q.green)),
                                          _mm256_cmpeq_epi32(_mm256_castps_si256(p.blue), _mm256_castps_si256(q.blue)));
  const __m256 same = _mm256_castsi256_ps(_mm256_and_si256(sameAR, sameGB));
  const __m256 opaque = _mm256_andnot_ps(same, _mm256_cmp_ps(r, zero, _CMP_LT_OQ));
  const __m256 differs = _mm256_or_ps(_mm256_and_ps(_mm256_andnot_ps(qClear, pClear), onlyP),
                                      _mm256_or_ps(_mm256_and_ps(_mm256_andnot_ps(pClear, qClear), onlyQ),
                                                   _mm256_andnot_ps(_mm256_or_ps(pClear, qClear), opaque)));
  return _mm256_movemask_ps(differs);
}

// Differ8x4 on eight pairs of 8-bit pixels.
TESSALINE_WIDE inline int Differ8x8(__m256i a, __m256i b, __m256i t) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i alphaByte = _mm256_set1_epi32(0xFF);
  a = _mm256_andnot_si256(_mm256_cmpeq_epi32(_mm256_and_si256(a, alphaByte), zero), a);
  b = _mm256_andnot_si256(_mm256_cmpeq_epi32(_mm256_and_si256(b, alphaByte), zero), b);
  const __m256i d = _mm256_sub_epi8(_mm256_max_epu8(a, b), _mm256_min_epu8(a, b));
  const __m256i ones = _mm256_set1_epi16(1);
  // Within each 128-bit half, as in Differ8x4: two sums per pixel, then one.
  const __m256 lo = _mm256_castsi256_ps(_mm256_madd_epi16(_mm256_unpacklo_epi8(d, zero), ones));
  const __m256 hi = _mm256_castsi256_ps(_mm256_madd_epi16(_mm256_unpackhi_epi8(d, zero), ones));
  const __m256i sum = _mm256_add_epi32(_mm256_castps_si256(_mm256_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0))),
                                       _mm256_castps_si256(_mm256_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1))));
  const __m256i differs = _mm256_andnot_si256(_mm256_cmpeq_epi32(sum, zero), _mm256_cmpgt_epi32(sum, t));
  return _mm256_movemask_ps(_mm256_castsi256_ps(differs));
}

// The eight entries of the two groups of 8-bit pixels at p0 over q0, as GroupEntries8 gives each.
TESSALINE_WIDE inline std::uint64_t OctetEntries(const Pixel8* p0, const Pixel8* q0, std::int32_t threshold) {
  const __m256i t = _mm256_set1_epi32(threshold);
  const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p0));
  const __m256i pRight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p0 + 1));
  const __m256i q = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q0));
  const __m256i qRight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q0 + 1));
  const int right = Differ8x8(p, pRight, t), below = Differ8x8(p, q, t), diagonal = Differ8x8(p, qRight, t),
            anti = Differ8x8(q, pRight, t);
  return GroupEntries(right & 0xF, below & 0xF, diagonal & 0xF, anti & 0xF) |
         std::uint64_t{GroupEntries(right >> 4, below >> 4, diagonal >> 4, anti >> 4)} << 32;
}

// The eight entries of the two groups of float pixels at p0 over q0, as GroupEntriesF gives each.
TESSALINE_WIDE inline std::uint64_t OctetEntries(const PixelF* p0, const PixelF* q0, float threshold) {
  const __m256 t = _mm256_set1_ps(threshold);
  const PixelsF8 p = LoadPixelsF8(p0), pRight = LoadPixelsF8(p0 + 1), q = LoadPixelsF8(q0), qRight = LoadPixelsF8(q0 + 1);
  const int right = DifferFx8(p, pRight, t), below = DifferFx8(p, q, t), diagonal = DifferFx8(p, qRight, t),
            anti = DifferFx8(q, pRight, t);
  return GroupEntries(right & 0xF, below & 0xF, diagonal & 0xF, anti & 0xF) |
         std::uint64_t{GroupEntries(right >> 4, below >> 4, diagonal >> 4, anti >> 4)} << 32;
}
#endif

// Builds the map of a w x h image from its pixels (rows `rowbytes` apart) into a zeroed buffer.
// With a `copy` (rows `copyRowbytes` apart), it also copies the pixels there as it reads them: a
// plain render's copy of its input costs no second pass over it. `arrive(y)` is called before row y
// is first read (row 0 first, then row y + 1 before the map row y), so that a caller can make the
// pixels as the builder goes and find them still in the cache: the keyed copy.
//
// In each group of four entries the diagonal pairs of the first three pixels are tested only once a
// horizontal or vertical pair of the group, tested earlier, has differed; the fourth pixel's
// diagonals are always tested. A group with no difference stays zero. This saves most diagonal tests
// in flat areas and is part of what the map records: the wide paths, which compare every pair of a
// group at once, drop the diagonal bits the rule would not have tested (GroupEntries).
struct NoRowHook {
  void operator()(int) const {}
};

template <class D, bool kCopy = false, class RowHook = NoRowHook>
TESSALINE_WIDE void BuildEdgeMap(const unsigned char* pixels, std::ptrdiff_t rowbytes, int w, int h,
                  typename D::Value t, std::uint8_t* buffer, std::int32_t stride,
                  unsigned char* copy = nullptr, std::ptrdiff_t copyRowbytes = 0, const RowHook& arrive = {}) {
  using P = typename D::Pixel;
  if (w <= 0 || h <= 0) return;
  std::uint8_t* origin = MapOrigin(buffer, stride);
  auto row = [&](int y) { return reinterpret_cast<const P*>(pixels + rowbytes * y); };
  auto differ = [t](const P& a, const P& b) -> std::uint8_t { return D::Differ(a, b, t) ? 1 : 0; };
  auto copyRow = [&](int y) { return reinterpret_cast<P*>(copy + copyRowbytes * y); };
  const int g = ((w - 1) / 4) * 4;

  arrive(0);
  for (int y = 0; y + 1 < h; ++y) {
    arrive(y + 1);
    const P* p = row(y);
    const P* q = row(y + 1);
    std::uint8_t* e = origin + static_cast<std::ptrdiff_t>(y) * stride;
    P* c = kCopy ? copyRow(y) : nullptr;
    for (int x0 = 0; x0 < g; x0 += 4) {
      const P* p0 = p + x0;
      const P* q0 = q + x0;
      // The row below is read here for the first time; asking for it a little ahead keeps the
      // float rows, which no cache holds whole, from stalling each group.
      if ((x0 & (64 / sizeof(P) - 1)) == 0) __builtin_prefetch(reinterpret_cast<const char*>(q0) + 2048);
#ifdef TESSALINE_AVX2
      // Two groups at once where the pair lies inside the grouped columns: when both are flat, and
      // for 8-bit and float pixels also when not, all eight entries from one set of comparisons.
      if ((x0 & 7) == 0 && x0 + 8 <= g) {
        constexpr bool kWholeOctet = std::is_same_v<P, Pixel8> || std::is_same_v<P, PixelF>;
        const bool flat = FlatOctet(p0, q0);
        if (flat || kWholeOctet) {
          if constexpr (sizeof(P) == 16) __builtin_prefetch(reinterpret_cast<const char*>(q0 + 4) + 2048);
          if constexpr (kCopy) std::memcpy(c + x0, p0, 8 * sizeof(P));
          if constexpr (kWholeOctet) {
            if (!flat) {
              const std::uint64_t entries = OctetEntries(p0, q0, t);
              if (entries != 0) std::memcpy(e + x0, &entries, 8);
            }
          }
          x0 += 4;
          continue;
        }
      }
#endif
      // Flat areas first: when the group's five pixels of both rows are bit-identical, no pair
      // differs and the entries stay zero.
      const bool flat = FlatGroup(p0, q0);
      // Stored after the flat test has loaded the pixels, so that the store reuses those loads.
      if constexpr (kCopy) std::memcpy(c + x0, p0, 4 * sizeof(P));
      if (flat) continue;
#ifdef TESSALINE_SSE2
      if constexpr (std::is_same_v<P, Pixel8> || std::is_same_v<P, PixelF>) {
        std::uint32_t entries;
        if constexpr (std::is_same_v<P, Pixel8>) entries = GroupEntries8(p0, q0, t);
        if constexpr (std::is_same_v<P, PixelF>) entries = GroupEntriesF(p0, q0, t);
        if (entries != 0) std::memcpy(e + x0, &entries, 4);
        continue;
      }
#endif
      std::uint8_t e0 = differ(p0[0], p0[1]) | differ(p0[0], q0[0]) << 1;
      std::uint8_t e1 = differ(p0[1], p0[2]) | differ(p0[1], q0[1]) << 1;
      if (e0 | e1) e0 |= differ(p0[0], q0[1]) << 2 | differ(q0[0], p0[1]) << 3;
      std::uint8_t e2 = differ(p0[2], p0[3]) | differ(p0[2], q0[2]) << 1;
      if (e0 | e1 | e2) e1 |= differ(p0[1], q0[2]) << 2 | differ(q0[1], p0[2]) << 3;
      std::uint8_t e3 = differ(p0[3], p0[4]) | differ(p0[3], q0[3]) << 1;
      if (e0 | e1 | e2 | e3) e2 |= differ(p0[2], q0[3]) << 2 | differ(q0[2], p0[3]) << 3;
      e3 |= differ(p0[3], q0[4]) << 2 | differ(q0[3], p0[4]) << 3;
      if (e0 | e1 | e2 | e3) {
        e[x0] = e0;
        e[x0 + 1] = e1;
        e[x0 + 2] = e2;
        e[x0 + 3] = e3;
      }
    }
    if constexpr (kCopy) std::memcpy(c + g, p + g, static_cast<std::size_t>(w - g) * sizeof(P));
    for (int x = g; x + 1 < w; ++x) {
      e[x] = differ(p[x], p[x + 1]) | differ(p[x], q[x]) << 1 | differ(p[x], q[x + 1]) << 2 |
             differ(q[x], p[x + 1]) << 3;
    }
  }
  const P* last = row(h - 1);
  if constexpr (kCopy) std::memcpy(copyRow(h - 1), last, static_cast<std::size_t>(w) * sizeof(P));
  std::uint8_t* eLast = origin + static_cast<std::ptrdiff_t>(h - 1) * stride;
  for (int x = 0; x + 1 < w; ++x) eLast[x] = differ(last[x], last[x + 1]);
  for (int y = 0; y + 1 < h; ++y) {
    origin[static_cast<std::ptrdiff_t>(y) * stride + w - 1] = differ(row(y)[w - 1], row(y + 1)[w - 1]) << 1;
  }
}

TESSALINE_PATH_END
}  // namespace tessaline
