// Small fixed corrections around the stair steps: notch restores that take back half of a blend in
// fixed patterns, and the closing touch-up of every edge pixel (isolated-pixel average, three-quarter
// restores, one-sixth corner blends).
//
// The conditions are tested left to right and stop at the first that fails; that order also keeps
// every map read inside the map's zero frame (a read two or three rows up only happens once a bit in
// the row between has shown that those rows exist).
#pragma once

#include "engine_path.h"

#include <cstdint>
#include <type_traits>

#include "frame.h"

namespace tessaline {
TESSALINE_PATH_BEGIN

constexpr std::uint8_t kRD = EdgeRight | EdgeBelow;

template <class D, SourceMode M>
void NotchRestoreAfterRight(const Frame<D, M>& f, int x, int y) {
  const EdgeMapView& m = f.map;
  if (m.D(x, y - 1) && !m.G(x, y) && m.D(x - 1, y - 1) && !m.R(x - 1, y) && m.D(x - 1, y) &&
      m.R(x - 2, y) && m.Has(x - 2, y - 1, kRD, EdgeDiagonal) && m.D(x - 2, y - 2)) {
    f.Restore(x - 1, y, D::kHalf);
    return;
  }
  if (!m.R(x - 1, y)) return;
  if (m.Has(x, y - 1, kRD, EdgeAntiDiagonal) && m.Has(x + 1, y - 1, kRD) && m.R(x, y - 2) &&
      !m.D(x + 1, y - 2) && !m.R(x + 1, y - 3) && !m.A(x + 1, y - 3)) {
    f.Restore(x + 1, y - 1, D::kHalf);
    return;
  }
  if (m.D(x, y - 1) && m.Has(x - 1, y - 1, kRD, EdgeDiagonal) && m.R(x - 2, y - 1) &&
      m.Has(x - 1, y - 2, EdgeRight, EdgeBelow) && m.D(x - 1, y - 3) && !m.G(x - 2, y - 3)) {
    f.Restore(x - 1, y - 1, D::kHalf);
  }
}

template <class D, SourceMode M>
void NotchRestoreAfterBelow(const Frame<D, M>& f, int x, int y) {
  const EdgeMapView& m = f.map;
  if (m.D(x, y - 1) && !m.A(x, y - 1) && m.R(x, y - 1) && m.D(x + 1, y - 1) && m.D(x + 1, y - 2) &&
      m.D(x - 1, y - 1) && m.R(x - 2, y) && !m.R(x - 1, y) && !m.A(x - 2, y)) {
    f.Restore(x, y, D::kHalf);
    return;
  }
  if (!m.R(x - 1, y)) return;
  if (m.D(x, y - 1) && m.Has(x - 1, y - 1, kRD, EdgeDiagonal) && m.D(x - 1, y - 2) &&
      m.Has(x - 2, y - 1, EdgeBelow, EdgeRight) && m.R(x - 3, y - 1) && !m.G(x - 3, y - 2)) {
    f.Restore(x - 1, y - 1, D::kHalf);
    return;
  }
  if (m.R(x - 1, y - 1) && !m.D(x, y - 1) && m.R(x, y - 1) && m.D(x, y - 2) &&
      m.Has(x - 1, y - 2, kRD, EdgeDiagonal) && m.R(x - 2, y - 2) && !m.G(x, y)) {
    f.Restore(x, y - 1, D::kHalf);
  }
}

// Only for pixels with both a vertical and a horizontal step.
template <class D, SourceMode M>
void NotchRestoreCross(const Frame<D, M>& f, int x, int y) {
  const EdgeMapView& m = f.map;
  if (m.Has(x, y - 1, kRD, EdgeAntiDiagonal) && m.D(x + 1, y - 1) && !m.R(x + 1, y - 1) &&
      m.D(x + 1, y - 2) && m.Has(x + 2, y - 1, kRD) && !m.A(x + 2, y - 2)) {
    f.Restore(x + 1, y - 1, D::kHalf);
    return;
  }
  if (m.R(x, y - 1) && m.R(x, y - 2) && m.R(x - 1, y - 1) && m.D(x, y - 2) && m.Has(x + 1, y - 2, kRD) &&
      !m.D(x, y - 1) && !m.A(x, y - 2) && !m.A(x - 1, y)) {
    f.Restore(x, y - 1, D::kHalf);
  }
}

// Averages an isolated (or peninsula) output pixel with its 4-neighbours' source colours, each
// neighbour weighted by SoftnessScale against the full weight of the pixel itself, in proportion to
// alpha. Out of line: few pixels take it, and inlined into the scan it only made the code that every
// edge pixel runs through larger.
template <class D, SourceMode M>
[[gnu::noinline]] void IsolatedPixelAverage(const Frame<D, M>& f, int x, int y) {
  using Pixel = typename D::Pixel;
  Pixel neighbours[4];
  int count = 0;
  if (x > 0) neighbours[count++] = f.Source(x - 1, y);
  if (x < f.w - 1) neighbours[count++] = f.Source(x + 1, y);
  if (y > 0) neighbours[count++] = f.Source(x, y - 1);
  if (y < f.h - 1) neighbours[count++] = f.Source(x, y + 1);
  Pixel& p = f.Out(x, y);

  if constexpr (std::is_same_v<D, Depth8>) {
    const std::uint32_t wn = f.v.softnessScale;
    std::uint32_t sumW = 0, sumA = 0, sumR = 0, sumG = 0, sumB = 0;
    for (int i = 0; i < count; ++i) {
      const Pixel& q = neighbours[i];
      sumW += wn;
      sumA += q.alpha * wn;
      const std::uint32_t k = (q.alpha * wn) >> 16;
      sumR += q.red * k;
      sumG += q.green * k;
      sumB += q.blue * k;
    }
    if (sumW == 0) return;
    const std::uint32_t t = sumW + 65535u;
    const std::uint32_t a = p.alpha * 65535u + sumA;
    const std::uint32_t kp = (p.alpha * 65535u) >> 16;
    const std::uint32_t kk = a >> 16;
    p.alpha = static_cast<std::uint8_t>((a + (t >> 1)) / t);
    if (kk == 0) return;
    p.red = static_cast<std::uint8_t>((p.red * kp + sumR + (kk >> 1)) / kk);
    p.green = static_cast<std::uint8_t>((p.green * kp + sumG + (kk >> 1)) / kk);
    p.blue = static_cast<std::uint8_t>((p.blue * kp + sumB + (kk >> 1)) / kk);
  } else {
    // 16-bit and float in single precision; 16-bit rounds by adding halves and truncating.
    constexpr bool kInteger = std::is_same_v<D, Depth16>;
    const float wn = kInteger ? static_cast<float>(f.v.softnessScale) / 65535.0f
                              : static_cast<float>(f.v.softnessScale);
    float sumW = 0.0f, sumA = 0.0f, sumR = 0.0f, sumG = 0.0f, sumB = 0.0f;
    for (int i = 0; i < count; ++i) {
      const Pixel& q = neighbours[i];
      sumW += wn;
      const float a = static_cast<float>(q.alpha) * wn;
      sumA += a;
      sumR += static_cast<float>(q.red) * a;
      sumG += static_cast<float>(q.green) * a;
      sumB += static_cast<float>(q.blue) * a;
    }
    if (!(sumW > 0.0f)) return;
    const float t = sumW + 1.0f;
    const float pa = static_cast<float>(p.alpha);
    const float a = pa + sumA;
    // The weighted sum of one channel over the total weight; 16-bit adds half the divisor first.
    auto channel = [&](float centre, float sum) {
      float numerator = centre * pa + sum;
      if constexpr (kInteger) numerator = numerator + a / 2.0f;
      return numerator / a;
    };
    auto store = [](float value) {
      if constexpr (kInteger) {
        return static_cast<std::uint16_t>(static_cast<std::int32_t>(value));
      } else {
        return value;
      }
    };
    const float newAlpha = kInteger ? (a + t / 2.0f) / t : a / t;
    if (a != 0.0f) {
      p.red = store(channel(static_cast<float>(p.red), sumR));
      p.green = store(channel(static_cast<float>(p.green), sumG));
      p.blue = store(channel(static_cast<float>(p.blue), sumB));
    }
    p.alpha = store(newAlpha);
  }
}

// The closing touch-up of an edge pixel. The average and the three-quarter restores are skipped when
// a line-end spread was made at this pixel; the one-sixth corner blends are always made.
template <class D, SourceMode M>
void CornerTouchUp(const Frame<D, M>& f, int x, int y, bool lineEndDone) {
  const EdgeMapView& m = f.map;
  const bool nR = m.R(x, y), nL = m.R(x - 1, y), nU = m.D(x, y - 1), nD = m.D(x, y);
  const bool dUL = m.G(x - 1, y - 1), dUR = m.A(x, y - 1), dDL = m.A(x - 1, y), dDR = m.G(x, y);

  if (!lineEndDone) {
    const int count = nR + nL + nU + nD;
    bool average = false;
    if (count == 4) {
      average = (dDR || dUL) && (dUR || dDL);
    } else if (count == 3 && !(dUL && dUR && dDL && dDR)) {
      average = (!nL && dUR && dDR) || (!nR && dDL && dUL) || (!nU && dDL && dDR) ||
                (!nD && dUR && dUL);
    }
    if (average) {
      IsolatedPixelAverage(f, x, y);
    } else if (x == 0) {
      // The three-quarter restores are made only from pixels past column 0. The guard is on the
      // scanned pixel, like the other coordinate guards here: restore (a) would otherwise reach
      // (1, y - 1) from column 0, while (b), (c) and the restore without a right step never can,
      // as each needs an edge bit left of the pixel.
    } else if (!nR) {
      if (nD && m.R(x - 1, y - 1) && !nU && nL && !dDL && m.D(x + 1, y)) {
        f.Restore(x, y, D::kThreeQuarters);
      }
    } else if (x < f.w - 3 && y >= 3 && !m.G(x, y - 2) && m.D(x + 1, y - 2) && m.D(x + 2, y - 2) &&
               m.R(x, y - 1) && m.Has(x + 1, y - 1, 0, kRD)) {
      f.Restore(x + 1, y - 1, D::kThreeQuarters);
    } else if (m.D(x - 1, y - 1) && nU && !dUR && !nL && !nD && m.R(x, y + 1)) {
      f.Restore(x, y, D::kThreeQuarters);
    } else if (m.R(x, y - 1) && !nU && !nL && m.D(x - 1, y) && nD && !dDR) {
      f.Restore(x, y, D::kThreeQuarters);
    }
  }

  if (nR) {
    if (nU && m.D(x + 1, y - 1) && !m.R(x, y - 1)) {
      if (!dUL) f.Blend(x, y - 1, f.Source(x, y), D::kSixth);
      if (!m.A(x + 1, y - 1)) f.Blend(x + 1, y - 1, f.Source(x + 1, y), D::kSixth);
    }
    if (nD && m.D(x + 1, y) && !m.R(x, y + 1)) {
      if (!dDL) f.Blend(x, y + 1, f.Source(x, y), D::kSixth);
      if (!m.G(x + 1, y)) f.Blend(x + 1, y + 1, f.Source(x + 1, y), D::kSixth);
    }
  }
  if (nD) {
    if (nL && m.R(x - 1, y + 1) && !m.D(x - 1, y)) {
      if (!dUL) f.Blend(x - 1, y, f.Source(x, y), D::kSixth);
      if (!m.A(x - 1, y + 1)) f.Blend(x - 1, y + 1, f.Source(x, y + 1), D::kSixth);
    }
    if (nR && m.R(x, y + 1) && !m.D(x + 1, y)) {
      if (!dUR) f.Blend(x + 1, y, f.Source(x, y), D::kSixth);
      if (!m.G(x, y + 1)) f.Blend(x + 1, y + 1, f.Source(x, y + 1), D::kSixth);
    }
  }
}

TESSALINE_PATH_END
}  // namespace tessaline
