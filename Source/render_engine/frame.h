// What one render's scan works on: the input and output pixels, the edge map and the derived values,
// with pixel access and the two ways every blend reaches the output.
#pragma once

#include "engine_path.h"

#include <cstddef>

#include "depth_traits.h"
#include "edge_map.h"
#include "engine.h"

namespace tessaline {
TESSALINE_PATH_BEGIN

template <class D, SourceMode M>
struct Frame {
  using Pixel = typename D::Pixel;
  using Weight = typename D::Weight;

  const unsigned char* in;
  std::ptrdiff_t inRowbytes;
  unsigned char* out;
  std::ptrdiff_t outRowbytes;
  int w;
  int h;
  EdgeMapView map;
  DerivedValues<D> v;

  const Pixel& In(int x, int y) const {
    return reinterpret_cast<const Pixel*>(in + inRowbytes * y)[x];
  }
  Pixel& Out(int x, int y) const { return reinterpret_cast<Pixel*>(out + outRowbytes * y)[x]; }

  // A source colour: the input pixel, made transparent where the colour key removes it.
  Pixel Source(int x, int y) const {
    Pixel p = In(x, y);
    if constexpr (M != SourceMode::Plain) {
      if (KeyRemoves<M == SourceMode::KeyInvert>(p, v.key)) p.alpha = 0;
    }
    return p;
  }
  void Blend(int x, int y, const Pixel& src, Weight weight) const { D::Blend(Out(x, y), src, weight); }
  // Pulls an output pixel back towards its own source colour.
  void Restore(int x, int y, Weight weight) const { Blend(x, y, Source(x, y), weight); }
};

TESSALINE_PATH_END
}  // namespace tessaline
