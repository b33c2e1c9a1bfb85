// The analysis of one edge pixel: find the one-pixel stair steps at it, measure the treads on both
// sides, and blend the colour from across each step into its tread along a ramp.
#pragma once

#include "engine_path.h"

#include <cstdint>

#include "diagonal_smoothing.h"
#include "edge_runs.h"
#include "frame.h"
#include "local_corrections.h"

namespace tessaline {
TESSALINE_PATH_BEGIN

// Sides of a step, numbered as IsolatedBlockTest takes them.
enum Side : int { SideLeft = 0, SideRight = 1, SideAbove = 2, SideBelow = 3 };

// Spreads blend one source pixel into a row or column, one ramp weight per pixel, until the ramp is
// done or the image ends.
template <class D, SourceMode M, class Ramp>
void SpreadLeft(const Frame<D, M>& f, int x, int y, Ramp ramp) {
  const auto src = f.Source(x + 1, y);
  for (int i = x; i >= 0 && !ramp.done; --i) f.Blend(i, y, src, ramp.Next());
}
template <class D, SourceMode M, class Ramp>
void SpreadRight(const Frame<D, M>& f, int x, int y, Ramp ramp) {
  const auto src = f.Source(x, y);
  for (int i = x + 1; i < f.w && !ramp.done; ++i) f.Blend(i, y, src, ramp.Next());
}
template <class D, SourceMode M, class Ramp>
void SpreadUp(const Frame<D, M>& f, int x, int y, Ramp ramp) {
  const auto src = f.Source(x, y + 1);
  for (int j = y; j >= 0 && !ramp.done; --j) f.Blend(x, j, src, ramp.Next());
}
template <class D, SourceMode M, class Ramp>
void SpreadDown(const Frame<D, M>& f, int x, int y, Ramp ramp) {
  const auto src = f.Source(x, y);
  for (int j = y + 1; j < f.h && !ramp.done; ++j) f.Blend(x, j, src, ramp.Next());
}

// The softness for a tread of n > 0 pixels on one side of the step at (x, y). A tread bounded by two
// steps in the same row or column (a plateau or notch) is smoothed from both ends, so each spread is
// shortened to keep them from overlapping; a 2-pixel plateau that belongs to a 2 x 2 dot much more.
inline std::int32_t RunSoftness(Side side, int x, int y, std::int32_t n, std::int32_t s, int w, int h,
                                const EdgeMapView& m) {
  std::int32_t far = 0;
  switch (side) {
    case SideLeft:
      if (x - n - 1 >= 0) far = RunRight(x - n - 1, y, m);
      break;
    case SideRight:
      if (x + 1 + n < w) far = RunLeft(x + 1 + n, y, m);
      break;
    case SideAbove:
      if (y - n - 1 >= 0) far = RunDown(x, y - n - 1, m);
      break;
    case SideBelow:
      if (y + 1 + n < h) far = RunUp(x, y + 1 + n, m);
      break;
  }
  if (far == 0) return s;
  if (n == 1 && far == 1) {
    if (IsolatedBlockTest(side, x, y, w, h, m)) return s * 10 / 100;
    const bool across = side == SideLeft || side == SideRight;
    const int ax = across ? x : x + 1, ay = across ? y + 1 : y;
    const int bx = across ? x : x - 1, by = across ? y - 1 : y;
    if (IsolatedBlockTest(side, ax, ay, w, h, m) || IsolatedBlockTest(side, bx, by, w, h, m)) {
      return s * 36 / 100;
    }
  }
  return ((2 * n - far) * s * 100) / (140 * n);
}

// Whether the analysis of (x, y) provably changes nothing: the pixel lies inside a straight
// horizontal or vertical edge. Most edge pixels of cel frames do, and this test is far cheaper than
// the analysis. Each clause fixes map bits that the analysis reads on its way to doing nothing:
//  - along a horizontal edge (D, G and A, no R): the runs and line ends up and down stop at once at
//    the diagonal bits of this entry and of the left one (G and A, no R); no diagonal sub-kernel
//    across a vertical step can start (no R two to the left, there or below, nor below this
//    pixel); the notch restores and the corner touch-up then find no pattern, as they need R on
//    the left or a step on the right;
//  - along a vertical edge (R, G and A, no D): the mirror image, with the entry above carrying G and
//    A and no D, and no D below or on the right to start a sub-kernel; the corner touch-up's restore
//    up and to the right needs, where those rows exist, no G two rows up, D at the two entries right
//    of that, R above and no R up and to the right, and one of these failing excludes it.
inline bool InsideStraightEdge(const EdgeMapView& m, int x, int y, int w) {
  constexpr std::uint8_t kGA = EdgeDiagonal | EdgeAntiDiagonal;
  static_assert((EdgeRight | EdgeBelow | kGA) == 0x0F, "the map's entries hold these four bits only");
  const std::uint8_t e = m.E(x, y);
  if (e == (EdgeBelow | kGA)) {
    return (m.E(x - 1, y) & (EdgeRight | kGA)) == kGA &&
           ((m.E(x - 2, y) | m.E(x - 2, y + 1) | m.E(x, y + 1)) & EdgeRight) == 0;
  }
  if (e == (EdgeRight | kGA)) {
    return (m.E(x, y - 1) & (EdgeBelow | kGA)) == kGA &&
           ((m.E(x, y + 1) | m.E(x + 1, y - 1) | m.E(x + 1, y) | m.E(x + 1, y + 1)) & EdgeBelow) == 0 &&
           (x >= w - 3 || y < 3 || m.G(x, y - 2) || !m.D(x + 1, y - 2) || !m.D(x + 2, y - 2) ||
            !m.R(x, y - 1) || m.R(x + 1, y - 1));
  }
  return false;
}

template <class D, SourceMode M>
[[gnu::flatten]] void ScanPixel(const Frame<D, M>& f, int x, int y) {
  const EdgeMapView& m = f.map;
  const std::int32_t s = f.v.softness;
  bool lineEndDone = false;

  if (m.R(x, y)) {
    bool leftDone = false, rightDone = false;
    if (const std::int32_t a = RunLeft(x, y, m); a > 0) {
      SpreadLeft(f, x, y, D::RunRamp(RunSoftness(SideLeft, x, y, a, s, f.w, f.h, m), a, f.v.bias));
      leftDone = true;
    } else if (const std::int32_t e = LineEndRunLeft(x, y, m); e > 0) {
      SpreadLeft(f, x, y, D::LineEndRamp(s, e, f.v.biasThird));
      leftDone = lineEndDone = true;
    }
    if (const std::int32_t c = RunRight(x, y, m); c > 0) {
      SpreadRight(f, x, y, D::RunRamp(RunSoftness(SideRight, x, y, c, s, f.w, f.h, m), c, f.v.bias));
      rightDone = true;
    } else if (const std::int32_t e = LineEndRunRight(x, y, m); e > 0) {
      SpreadRight(f, x, y, D::LineEndRamp(s, e, f.v.biasThird));
      rightDone = lineEndDone = true;
    }
    bool diagonalHit = false;
    if (m.R(x, y + 1) && !m.D(x, y) && !m.D(x + 1, y)) {
      // All four run, whatever each returns.
      diagonalHit |= DiagonalBelowUpRight(f, x, y);
      diagonalHit |= DiagonalBelowDownLeft(f, x, y);
      diagonalHit |= DiagonalBelowUpLeft(f, x, y);
      diagonalHit |= DiagonalBelowDownRight(f, x, y);
    }
    const bool crossed = (m.A(x, y) || m.A(x, y - 1)) && (m.G(x, y) || m.G(x, y - 1));
    if (!diagonalHit && !crossed) {
      // A vertical step with no tread on a side still gets a faint blend across it.
      if (!rightDone) f.Blend(x + 1, y, f.Source(x, y), f.v.cornerWeight);
      if (!leftDone) f.Blend(x, y, f.Source(x + 1, y), f.v.cornerWeight);
    }
    NotchRestoreAfterRight(f, x, y);
  }

  if (m.D(x, y)) {
    if (const std::int32_t a = RunUp(x, y, m); a > 0) {
      SpreadUp(f, x, y, D::RunRamp(RunSoftness(SideAbove, x, y, a, s, f.w, f.h, m), a, f.v.bias));
    } else if (const std::int32_t e = LineEndRunUp(x, y, m); e > 0) {
      SpreadUp(f, x, y, D::LineEndRamp(s, e, f.v.biasThird));
      lineEndDone = true;
    }
    if (const std::int32_t c = RunDown(x, y, m); c > 0) {
      SpreadDown(f, x, y, D::RunRamp(RunSoftness(SideBelow, x, y, c, s, f.w, f.h, m), c, f.v.bias));
    } else if (const std::int32_t e = LineEndRunDown(x, y, m); e > 0) {
      SpreadDown(f, x, y, D::LineEndRamp(s, e, f.v.biasThird));
      lineEndDone = true;
    }
    if (m.D(x - 1, y) && !m.R(x - 1, y) && !m.R(x - 1, y + 1)) {
      DiagonalRightUpRight(f, x, y);
      DiagonalRightDownLeft(f, x, y);
      DiagonalRightUpLeft(f, x, y);
      DiagonalRightDownRight(f, x, y);
    }
    NotchRestoreAfterBelow(f, x, y);
    if (m.R(x, y)) NotchRestoreCross(f, x, y);
  }

  CornerTouchUp(f, x, y, lineEndDone);
}

TESSALINE_PATH_END
}  // namespace tessaline
