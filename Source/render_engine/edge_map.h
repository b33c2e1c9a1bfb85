// The edge map: one byte per pixel saying which of the pixel's neighbour pairs differ.
//
// The entry of (x, y) describes the 2 x 2 block whose top-left pixel is (x, y). Rows are MapStride
// bytes long with four zero entries left of column 0 and at least one right of the last column, and
// there is a zero row above the image and one below it, so readers may step one entry past any
// border (four to the left) without a bounds check.
#pragma once

#include <cstdint>
#include <cstring>

#include "engine.h"
#include "pixel.h"

namespace tessaline {

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

// Builds the map of a w x h image from its pixels (rows `rowbytes` apart) into a zeroed buffer.
//
// In each group of four entries the diagonal pairs of the first three pixels are tested only once a
// horizontal or vertical pair of the group, tested earlier, has differed; the fourth pixel's
// diagonals are always tested. A group with no difference stays zero. This saves most diagonal tests
// in flat areas and is part of what the map records.
template <class D>
void BuildEdgeMap(const unsigned char* pixels, std::ptrdiff_t rowbytes, int w, int h,
                  typename D::Value t, std::uint8_t* buffer, std::int32_t stride) {
  using P = typename D::Pixel;
  if (w <= 0 || h <= 0) return;
  std::uint8_t* origin = MapOrigin(buffer, stride);
  auto row = [&](int y) { return reinterpret_cast<const P*>(pixels + rowbytes * y); };
  auto differ = [t](const P& a, const P& b) -> std::uint8_t { return D::Differ(a, b, t) ? 1 : 0; };
  const int g = ((w - 1) / 4) * 4;

  for (int y = 0; y + 1 < h; ++y) {
    const P* p = row(y);
    const P* q = row(y + 1);
    std::uint8_t* e = origin + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x0 = 0; x0 < g; x0 += 4) {
      const P* p0 = p + x0;
      const P* q0 = q + x0;
      // Flat areas first: when the group's five pixels of both rows are bit-identical, no pair
      // differs and the entries stay zero.
      if (std::memcmp(p0, p0 + 1, 4 * sizeof(P)) == 0 && std::memcmp(p0, q0, 4 * sizeof(P)) == 0 &&
          SameBits(p0[4], q0[4])) {
        continue;
      }
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
    for (int x = g; x + 1 < w; ++x) {
      e[x] = differ(p[x], p[x + 1]) | differ(p[x], q[x]) << 1 | differ(p[x], q[x + 1]) << 2 |
             differ(q[x], p[x + 1]) << 3;
    }
  }
  const P* last = row(h - 1);
  std::uint8_t* eLast = origin + static_cast<std::ptrdiff_t>(h - 1) * stride;
  for (int x = 0; x + 1 < w; ++x) eLast[x] = differ(last[x], last[x + 1]);
  for (int y = 0; y + 1 < h; ++y) {
    origin[static_cast<std::ptrdiff_t>(y) * stride + w - 1] = differ(row(y)[w - 1], row(y + 1)[w - 1]) << 1;
  }
}

}  // namespace tessaline
