// The 45-degree sub-kernels: each walks a diagonal line of map cells that carry its family's edge bit,
// counts it, and spreads colour along it with a ramp that uses the full softness and bias.
#pragma once

#include "engine_path.h"

#include <cstdint>

#include "frame.h"

namespace tessaline {
TESSALINE_PATH_BEGIN

// Family: cells across a horizontal edge (EdgeBelow, pixel pair (i, j) / (i, j + 1)) or across a
// vertical one (EdgeRight, pair (i, j) / (i + 1, j)).
enum class DiagonalFamily { Below, Right };

// The blends of a sub-kernel whose walk counted n >= 1 cells. Out of line: most walks stop before
// that, and the scan's code for every edge pixel stays smaller without eight copies of these loops.
template <DiagonalFamily F, int DX, int DY, bool TwoRamps, bool SourceIsPartner, class D, SourceMode M>
[[gnu::noinline]] void DiagonalBlends(const Frame<D, M>& f, int startX, int startY, int n) {
  auto ramp1 = D::DiagonalRamp(D::kThird, f.v.softness, n, f.v.bias);
  auto ramp2 = D::DiagonalRamp(D::kHalf, f.v.softness, n, f.v.bias);
  // The cells 0..n of the walk all carry the family bit, so both pixels of each pair lie inside the
  // image. Ramp 1 ends well before cell n at any real size; the bound only matters for lines so long
  // (tens of thousands of cells) that the integer step truncates to almost nothing.
  for (int k = 0;; ++k) {
    const int i = startX + DX * k;
    const int j = startY + DY * k;
    const int pi = F == DiagonalFamily::Right ? i + 1 : i;
    const int pj = F == DiagonalFamily::Below ? j + 1 : j;
    const int sx = SourceIsPartner ? pi : i, sy = SourceIsPartner ? pj : j;
    const int ox = SourceIsPartner ? i : pi, oy = SourceIsPartner ? j : pj;
    f.Blend(ox, oy, f.Source(sx, sy), ramp1.Next());
    if constexpr (TwoRamps) f.Restore(sx, sy, ramp2.Next());
    if (ramp1.done || k >= n) break;
  }
}

// One sub-kernel, told by its family, walking direction (DX, DY), the bit whose presence stops the
// walk, whether it restores (two ramps) or only blends (one ramp), and which pixel of each cell's pair
// is the source: the cell's own pixel (i, j) or its partner across the edge.
template <DiagonalFamily F, int DX, int DY, std::uint8_t StopBit, bool TwoRamps, bool SourceIsPartner,
          class D, SourceMode M>
bool DiagonalSubKernel(const Frame<D, M>& f, int startX, int startY) {
  constexpr std::uint8_t kFamilyBit = F == DiagonalFamily::Below ? EdgeBelow : EdgeRight;
  const EdgeMapView& m = f.map;
  auto family = [&](int i, int j) { return (m.E(i, j) & kFamilyBit) != 0; };
  auto stops = [&](int i, int j) {
    if constexpr (F == DiagonalFamily::Below) {
      return ((m.E(i - 1, j) | m.E(i, j)) & StopBit) != 0;
    } else {
      return ((m.E(i, j) | m.E(i, j - 1)) & StopBit) != 0;
    }
  };

  if (!family(startX, startY)) return false;
  int n = -1;
  for (int i = startX, j = startY;;) {
    if (stops(i, j)) break;
    i += DX;
    j += DY;
    ++n;
    if (!family(i, j)) break;
  }
  if (n < 1) return false;
  DiagonalBlends<F, DX, DY, TwoRamps, SourceIsPartner>(f, startX, startY, n);
  return true;
}

// Across a horizontal step: the four directions away from the vertical step at (x, y).
template <class D, SourceMode M>
bool DiagonalBelowUpRight(const Frame<D, M>& f, int x, int y) {
  return DiagonalSubKernel<DiagonalFamily::Below, +1, -1, EdgeAntiDiagonal, true, false>(f, x + 1, y - 1);
}
template <class D, SourceMode M>
bool DiagonalBelowDownLeft(const Frame<D, M>& f, int x, int y) {
  return DiagonalSubKernel<DiagonalFamily::Below, -1, +1, EdgeAntiDiagonal, false, true>(f, x, y + 1);
}
template <class D, SourceMode M>
bool DiagonalBelowUpLeft(const Frame<D, M>& f, int x, int y) {
  return DiagonalSubKernel<DiagonalFamily::Below, -1, -1, EdgeDiagonal, true, false>(f, x, y - 1);
}
template <class D, SourceMode M>
bool DiagonalBelowDownRight(const Frame<D, M>& f, int x, int y) {
  return DiagonalSubKernel<DiagonalFamily::Below, +1, +1, EdgeDiagonal, false, true>(f, x + 1, y + 1);
}

// Across a vertical step: the four directions away from the horizontal step at (x, y).
template <class D, SourceMode M>
bool DiagonalRightUpRight(const Frame<D, M>& f, int x, int y) {
  return DiagonalSubKernel<DiagonalFamily::Right, +1, -1, EdgeAntiDiagonal, true, true>(f, x, y);
}
template <class D, SourceMode M>
bool DiagonalRightDownLeft(const Frame<D, M>& f, int x, int y) {
  return DiagonalSubKernel<DiagonalFamily::Right, -1, +1, EdgeAntiDiagonal, false, false>(f, x - 2, y + 1);
}
template <class D, SourceMode M>
bool DiagonalRightUpLeft(const Frame<D, M>& f, int x, int y) {
  return DiagonalSubKernel<DiagonalFamily::Right, -1, -1, EdgeDiagonal, true, false>(f, x - 2, y);
}
template <class D, SourceMode M>
bool DiagonalRightDownRight(const Frame<D, M>& f, int x, int y) {
  return DiagonalSubKernel<DiagonalFamily::Right, +1, +1, EdgeDiagonal, false, true>(f, x, y + 1);
}

TESSALINE_PATH_END
}  // namespace tessaline
