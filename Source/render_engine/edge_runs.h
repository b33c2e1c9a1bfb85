// How long the stair treads next to a step are, measured on the edge map alone (never on pixels), so
// one set of functions serves every depth and mode.
//
// Every walk stops at the map's zero frame at the latest: a zero entry clears every bit a walk needs
// in order to go on.
#pragma once

#include "engine_path.h"

#include <algorithm>
#include <cstdint>

#include "edge_map.h"

namespace tessaline {
TESSALINE_PATH_BEGIN

// The map seen with x and y exchanged.
struct TransposedMap {
  const EdgeMapView& map;
  bool R(int x, int y) const { return map.D(y, x); }
  bool D(int x, int y) const { return map.R(y, x); }
  bool G(int x, int y) const { return map.G(y, x); }
  bool A(int x, int y) const { return map.A(y, x); }
};

// The tread left of the vertical step between (x, y) and (x + 1, y), along the top of row y (upper
// phase) or along its bottom (lower phase). An upper run that ends at another step of row y wins
// outright; otherwise the longer of the two counts. A run of 3 or more only counts when the pixel on
// the other side of the step shows an edge on the opposite level.
template <class Map>
inline std::int32_t RunLeft(int x, int y, const Map& m) {
  std::int32_t n = 0;
  if (!m.G(x, y - 1)) {
    bool closed = false;
    if (m.R(x - 1, y)) {
      closed = true;
    } else {
      for (int i = x - 1;;) {
        if (m.R(i, y - 1) || !m.D(i, y - 1)) break;
        ++n;
        --i;
        if (m.R(i, y)) {
          closed = true;
          break;
        }
      }
    }
    if (n >= 3 && !m.D(x + 1, y)) {
      n = 0;
    } else if (closed && n > 0) {
      return n;
    }
  }
  if (m.A(x, y) || m.R(x - 1, y)) return n;
  std::int32_t k = 0;
  for (int i = x - 1;;) {
    if (m.R(i, y + 1) || !m.D(i, y)) break;
    ++k;
    --i;
    if (m.R(i, y)) break;
  }
  if (k >= 3 && !m.D(x + 1, y - 1)) k = 0;
  return std::max(n, k);
}

// The mirror of RunLeft: the tread right of the step, measured rightwards from x + 1.
template <class Map>
inline std::int32_t RunRight(int x, int y, const Map& m) {
  std::int32_t n = 0;
  if (!m.A(x, y - 1)) {
    bool closed = false;
    if (m.R(x + 1, y)) {
      closed = true;
    } else {
      for (int i = x + 1;;) {
        if (m.R(i, y - 1) || !m.D(i, y - 1)) break;
        ++n;
        ++i;
        if (m.R(i, y)) {
          closed = true;
          break;
        }
      }
    }
    if (n >= 3 && !m.D(x, y)) {
      n = 0;
    } else if (closed && n > 0) {
      return n;
    }
  }
  if (m.G(x, y) || m.R(x + 1, y)) return n;
  std::int32_t k = 0;
  for (int i = x + 1;;) {
    if (m.R(i, y + 1) || !m.D(i, y)) break;
    ++k;
    ++i;
    if (m.R(i, y)) break;
  }
  if (k >= 3 && !m.D(x, y - 1)) k = 0;
  return std::max(n, k);
}

// Vertical runs are the horizontal ones on the map with x and y exchanged: EdgeRight and EdgeBelow
// swap, and the two diagonal bits keep their meaning.
inline std::int32_t RunUp(int x, int y, const EdgeMapView& m) { return RunLeft(y, x, TransposedMap{m}); }
inline std::int32_t RunDown(int x, int y, const EdgeMapView& m) { return RunRight(y, x, TransposedMap{m}); }

// Long line ends count for less: n up to 5 as it is, beyond that half of the rest.
inline std::int32_t CompressRun(std::int32_t n) { return n <= 5 ? n : 5 + (n - 5) / 2; }

// Line-end runs measure a line exactly one pixel thick that ends at the step: every counted cell
// differs from both its neighbours across the line. Each is 0 unless the step looks like the end of
// such a line; a line of L pixels gives CompressRun(L - 1).
template <class Map>
inline std::int32_t LineEndRunLeft(int x, int y, const Map& m) {
  if (m.G(x, y - 1) || m.D(x + 1, y - 1) || m.R(x + 1, y) || m.A(x, y) || m.D(x + 1, y) ||
      m.R(x - 1, y)) {
    return 0;
  }
  std::int32_t n = 0;
  for (int i = x - 1;; --i) {
    if (m.R(i, y - 1) || !m.D(i, y - 1) || m.R(i, y + 1) || !m.D(i, y)) break;
    ++n;
    if (m.R(i - 1, y)) break;
  }
  return CompressRun(n);
}

template <class Map>
inline std::int32_t LineEndRunRight(int x, int y, const Map& m) {
  if (m.D(x, y - 1) || m.A(x, y - 1) || m.R(x - 1, y) || m.D(x, y) || m.G(x, y) || m.R(x + 1, y)) {
    return 0;
  }
  std::int32_t n = 0;
  for (int i = x + 1;; ++i) {
    if (m.R(i, y - 1) || !m.D(i, y - 1) || m.R(i, y + 1) || !m.D(i, y)) break;
    ++n;
    if (m.R(i + 1, y)) break;
  }
  return CompressRun(n);
}

inline std::int32_t LineEndRunUp(int x, int y, const EdgeMapView& m) {
  return LineEndRunLeft(y, x, TransposedMap{m});
}
inline std::int32_t LineEndRunDown(int x, int y, const EdgeMapView& m) {
  return LineEndRunRight(y, x, TransposedMap{m});
}

// Whether the one-pixel step at (x, y) is the corner of a 2 x 2 dot: the four pixels of the block
// agree with each other and each differs from its outside neighbours on all eight sides. direction:
// 0 left of a vertical step, 1 right of it, 2 above a horizontal step, 3 below it. Out of line, as
// only one-pixel treads with one-pixel neighbours ask.
[[gnu::noinline]] inline bool IsolatedBlockTest(int direction, int x, int y, int w, int h, const EdgeMapView& m) {
  bool u = false, v = false;
  int bx = 0, by = 0;
  switch (direction) {
    case 0:
      u = m.D(x, y);
      v = y > 0 && m.D(x, y - 1);
      bx = x - 1;
      by = u ? y - 1 : y;
      break;
    case 1:
      if (x >= w - 1) return false;
      u = m.D(x + 1, y);
      v = y > 0 && m.D(x + 1, y - 1);
      bx = x + 1;
      by = u ? y - 1 : y;
      break;
    case 2:
      u = m.R(x, y);
      v = x > 0 && m.R(x - 1, y);
      bx = u ? x - 1 : x;
      by = y - 1;
      break;
    default:
      if (y >= h - 1) return false;
      u = m.R(x, y + 1);
      v = x > 0 && m.R(x - 1, y + 1);
      bx = u ? x - 1 : x;
      by = y + 1;
      break;
  }
  if (u == v) return false;
  return m.R(bx - 1, by) && m.R(bx - 1, by + 1) && m.R(bx + 1, by) && m.R(bx + 1, by + 1) &&
         m.D(bx, by - 1) && m.D(bx, by + 1) && m.D(bx + 1, by - 1) && m.D(bx + 1, by + 1) &&
         !m.R(bx, by) && !m.R(bx, by + 1) && !m.D(bx, by) && !m.D(bx + 1, by);
}

TESSALINE_PATH_END
}  // namespace tessaline
