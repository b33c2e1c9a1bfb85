// The nine kernels: one copy stage, map builder and scan, instantiated over the three depths and the
// three source modes, and the entry points that pick one. Compiled once per instruction-set path
// (kernels_<path>.cpp), each into its own namespace; engine.cpp chooses the path.
#include <algorithm>
#include <cstring>

#include "depth_traits.h"
#include "edge_map.h"
#include "engine.h"
#include "kernel_set.h"
#include "frame.h"
#include "step_analysis.h"

namespace tessaline {
TESSALINE_PATH_BEGIN

namespace {

template <class D, SourceMode M>
void CopyRows(const ImageView& in, const MutableImageView& out, const DerivedValues<D>& v) {
  using P = typename D::Pixel;
  const auto* src = static_cast<const unsigned char*>(in.data);
  auto* dst = static_cast<unsigned char*>(out.data);
  if (in.width == 0) return;
  for (int y = 0; y < in.height; ++y) {
    const P* s = reinterpret_cast<const P*>(src + in.rowbytes * y);
    P* d = reinterpret_cast<P*>(dst + out.rowbytes * y);
    if constexpr (M == SourceMode::Plain) {
      std::memcpy(d, s, sizeof(P) * static_cast<std::size_t>(in.width));
    } else {
      KeyCopyRow<M == SourceMode::KeyInvert>(s, d, in.width, v.key);
    }
  }
}

// The one place the render's map is built, so that EdgeMapStage shows exactly what Smooth scans:
// the map of the copy at `pixels`. With kMakeCopy, `pixels` is the render's input and the builder
// also makes the copy into `copy` as it reads: in the plain mode the input is the copy's very pixels;
// in the key modes each row is copied through the key just before the builder first reads it (from
// the copy). Returns false (and copies nothing) where there is nothing to build.
template <class D, SourceMode M = SourceMode::Plain, bool kMakeCopy = false>
bool BuildMapOfCopy(const void* pixels, std::ptrdiff_t rowbytes, int w, int h, const DerivedValues<D>& v,
                    std::uint8_t* zeroedMap, void* copy = nullptr, std::ptrdiff_t copyRowbytes = 0) {
  using P = typename D::Pixel;
  if (v.softness == 0 || w == 0 || h == 0) return false;
  const auto* in = static_cast<const unsigned char*>(pixels);
  auto* out = static_cast<unsigned char*>(copy);
  if constexpr (!kMakeCopy || M == SourceMode::Plain) {
    BuildEdgeMap<D, kMakeCopy>(in, rowbytes, w, h, v.depthThreshold, zeroedMap, MapStride(w), out, copyRowbytes);
  } else {
    auto keyRow = [&](int y) {
      KeyCopyRow<M == SourceMode::KeyInvert>(reinterpret_cast<const P*>(in + rowbytes * y),
                                             reinterpret_cast<P*>(out + copyRowbytes * y), w, v.key);
    };
    BuildEdgeMap<D>(out, copyRowbytes, w, h, v.depthThreshold, zeroedMap, MapStride(w), nullptr, 0, keyRow);
  }
  return true;
}

// Flattened: the map builder and the analysis of each edge pixel are inlined into the loops that
// call them, which saves a call and its register saves per edge pixel.
// With kMakeCopy, `out` does not hold the copy yet and the map builder makes it.
template <class D, SourceMode M, bool kMakeCopy = false>
[[gnu::flatten]] void SmoothWith(const ImageView& in, const MutableImageView& out, const DerivedValues<D>& v,
                                 std::uint8_t* zeroedMap) {
  const int w = in.width, h = in.height;
  const bool built = kMakeCopy ? BuildMapOfCopy<D, M, true>(in.data, in.rowbytes, w, h, v, zeroedMap, out.data, out.rowbytes)
                               : BuildMapOfCopy<D>(out.data, out.rowbytes, w, h, v, zeroedMap);
  if (!built) return;
  const std::int32_t stride = MapStride(w);
  const Frame<D, M> f{static_cast<const unsigned char*>(in.data),
                      in.rowbytes,
                      static_cast<unsigned char*>(out.data),
                      out.rowbytes,
                      w,
                      h,
                      EdgeMapView{MapOrigin(zeroedMap, stride), stride},
                      v};
  // The scan reaches the pixels around each edge entry, scattered over both images; it waits far
  // less for memory when the rows a few rows ahead are already on their way into the cache. The
  // entries of the row kAhead rows down say where (the rows past the image say nowhere).
  constexpr int kAhead = 4;
  auto prefetchAhead = [&](int x0, int y) {
    for (int j = y + kAhead; j < std::min(h, y + kAhead + 2); ++j) {
      const auto* a = reinterpret_cast<const char*>(&f.In(x0, j));
      const auto* b = reinterpret_cast<const char*>(&f.Out(x0, j));
      for (std::size_t k = 0; k <= 8 * sizeof(typename D::Pixel); k += 64) {
        __builtin_prefetch(a + k);
        __builtin_prefetch(b + k, 1);
      }
    }
  };
  auto visit = [&](int x, int y) {
    if (!InsideStraightEdge(f.map, x, y, w)) ScanPixel(f, x, y);
  };
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = f.map.origin + static_cast<std::ptrdiff_t>(y) * stride;
    const std::uint8_t* ahead = y + kAhead < h ? row + kAhead * static_cast<std::ptrdiff_t>(stride) : nullptr;
    // Only entries with a step (EdgeRight or EdgeBelow) are visited, left to right: an entry with
    // diagonal bits alone starts no analysis, and its pixel's closing touch-up needs a step at the
    // pixel itself. The scan never writes the map.
    int x0 = 0;
#ifdef TESSALINE_SSE2
    // Sixteen entries at a time while they lie inside the row: most of a map is zeros.
    const __m128i zero = _mm_setzero_si128();
    const __m128i steps = _mm_set1_epi8(EdgeRight | EdgeBelow);
    auto occupied = [&](const std::uint8_t* at, __m128i bits) {
      const __m128i v = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), bits);
      return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero))) ^ 0xFFFFu;
    };
    for (; x0 + 16 <= w; x0 += 16) {
      if (ahead != nullptr) {
        const unsigned later = occupied(ahead + x0, _mm_set1_epi8(-1));
        if ((later & 0xFF) != 0) prefetchAhead(x0, y);
        if ((later >> 8) != 0) prefetchAhead(x0 + 8, y);
      }
      for (unsigned entries = occupied(row + x0, steps); entries != 0; entries &= entries - 1) {
        visit(x0 + __builtin_ctz(entries), y);
      }
    }
#endif
    // Eight entries at a time: a row is followed by at least seven zero entries (its own padding and
    // the next row's left border), so the last read stays in zeros.
    constexpr std::uint64_t kSteps = 0x0101010101010101ull * (EdgeRight | EdgeBelow);
    for (; x0 < w; x0 += 8) {
      std::uint64_t later = 0;
      if (ahead != nullptr) std::memcpy(&later, ahead + x0, 8);
      if (later != 0) prefetchAhead(x0, y);
      std::uint64_t entries;
      std::memcpy(&entries, row + x0, 8);
      entries &= kSteps;
      while (entries != 0) {
        const int x = x0 + __builtin_ctzll(entries) / 8;
        visit(x, y);
        entries &= entries - 1;                              // clears the lowest set bit ...
        entries &= ~(std::uint64_t{0xFF} << (x - x0) * 8);  // ... and the rest of its entry
      }
    }
  }
}

// Calls fn with the depth traits and the mode as types, so that everything below is compiled once
// per kernel and nothing inside a kernel branches on depth or mode.
template <class Fn>
void Dispatch(Depth depth, SourceMode mode, Fn&& fn) {
  auto withMode = [&](auto traits) {
    using D = decltype(traits);
    switch (mode) {
      case SourceMode::Plain:
        return fn.template operator()<D, SourceMode::Plain>();
      case SourceMode::Key:
        return fn.template operator()<D, SourceMode::Key>();
      case SourceMode::KeyInvert:
        return fn.template operator()<D, SourceMode::KeyInvert>();
    }
  };
  switch (depth) {
    case Depth::U8:
      return withMode(Depth8{});
    case Depth::U16:
      return withMode(Depth16{});
    case Depth::F32:
      return withMode(DepthF{});
  }
}

}  // namespace

void CopyKernel(Depth depth, SourceMode mode, const ImageView& in, const MutableImageView& out, const Params& params) {
  Dispatch(depth, mode, [&]<class D, SourceMode M>() { CopyRows<D, M>(in, out, DerivedValues<D>(params)); });
}

void SmoothKernel(Depth depth, SourceMode mode, const ImageView& in, const MutableImageView& out, const Params& params,
            std::uint8_t* zeroedMap) {
  Dispatch(depth, mode,
           [&]<class D, SourceMode M>() { SmoothWith<D, M>(in, out, DerivedValues<D>(params), zeroedMap); });
}

void EdgeMapKernel(Depth depth, const ImageView& copy, const Params& params, std::uint8_t* zeroedMap) {
  // The map depends on the depth alone; the mode only shaped the copy.
  Dispatch(depth, SourceMode::Plain, [&]<class D, SourceMode>() {
    BuildMapOfCopy<D>(copy.data, copy.rowbytes, copy.width, copy.height, DerivedValues<D>(params), zeroedMap);
  });
}

// Render after the checks: views of equal, valid, non-empty size and parameters in range.
void RenderKernel(Depth depth, SourceMode mode, const ImageView& in, const MutableImageView& out, const Params& params,
                   std::uint8_t* zeroedMap) {
  if (params.softness != 0) {
    // One pass over the input instead of two: the map builder makes the copy as it reads.
    Dispatch(depth, mode, [&]<class D, SourceMode M>() {
      SmoothWith<D, M, true>(in, out, DerivedValues<D>(params), zeroedMap);
    });
  } else {
    CopyKernel(depth, mode, in, out, params);
  }
}

TESSALINE_PATH_END

namespace detail {
extern const KernelSet TESSALINE_PATH_KERNELS{&TESSALINE_PATH_NS::CopyKernel,
                                              &TESSALINE_PATH_NS::SmoothKernel, &TESSALINE_PATH_NS::EdgeMapKernel,
                                              &TESSALINE_PATH_NS::RenderKernel};
}  // namespace detail

}  // namespace tessaline
