// The kernels of one instruction-set path, as the engine's entry points call them.
#pragma once

#include <cstdint>

#include "engine.h"

namespace tessaline::detail {

struct KernelSet {
  void (*copy)(Depth, SourceMode, const ImageView&, const MutableImageView&, const Params&);
  void (*smooth)(Depth, SourceMode, const ImageView&, const MutableImageView&, const Params&, std::uint8_t*);
  void (*edgeMap)(Depth, const ImageView&, const Params&, std::uint8_t*);
  // Render on views already checked: equal, valid, non-empty sizes and parameters in range.
  void (*render)(Depth, SourceMode, const ImageView&, const MutableImageView&, const Params&, std::uint8_t*);
};

// One per path built (kernels_<path>.cpp). The x86-64 paths exist only in x86-64 builds.
extern const KernelSet kPortableKernels;
#if defined(__x86_64__) || defined(_M_X64)
extern const KernelSet kSse2Kernels;
extern const KernelSet kAvx2Kernels;
#endif

}  // namespace tessaline::detail
