#include "output_window.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "suite_registry.h"

namespace {

std::size_t bytesPerPixel(PF_PixelFormat format) {
  if (format == PF_PixelFormat_ARGB32) return 4;
  if (format == PF_PixelFormat_ARGB64) return 8;
  if (format == PF_PixelFormat_ARGB128) return 16;
  return 0;
}

// A world made by the host for one render, given back when the render leaves by any path; a failed
// dispose is ignored.
class ScratchImage {
 public:
  explicit ScratchImage(const PF_InData& in_data)
      : suite_(in_data.pica_basicP, kPFWorldSuite, kPFWorldSuiteVersion2), effect_(in_data.effect_ref) {}
  ~ScratchImage() {
    if (world.data != nullptr) suite_.as<PF_WorldSuite2>()->PF_DisposeWorld(effect_, &world);
  }
  ScratchImage(const ScratchImage&) = delete;
  ScratchImage& operator=(const ScratchImage&) = delete;

  PF_Err make(A_long width, A_long height, PF_PixelFormat format) {
    const auto* worlds = suite_.as<PF_WorldSuite2>();
    if (worlds == nullptr) throw PF_Err{AEUtil::kSuiteUnavailable};
    if (const PF_Err err = worlds->PF_NewWorld(effect_, width, height, 0, format, &world); err != PF_Err_NONE) {
      world = PF_EffectWorld{};
      return err;
    }
    // A host that reports success without memory gets no write through a null pointer.
    return world.data != nullptr ? PF_Err_NONE : PF_Err_OUT_OF_MEMORY;
  }

  PF_EffectWorld world{};

 private:
  AEUtil::ScopedSuite suite_;
  PF_ProgPtr effect_;
};

char* pixelAt(const PF_EffectWorld& w, A_long x, A_long y, std::size_t pixel) {
  return reinterpret_cast<char*>(w.data) + static_cast<std::ptrdiff_t>(y) * w.rowbytes +
         static_cast<std::ptrdiff_t>(x) * static_cast<std::ptrdiff_t>(pixel);
}

// Fills every row of `to` from `from`, where `from` (whose top-left pixel lies at fromX, fromY in the
// layer) reaches; with zeros elsewhere.
void copyWindow(const PF_EffectWorld& from, A_long fromX, A_long fromY, PF_EffectWorld& to, std::size_t pixel) {
  // The columns of `to` that `from` covers, in `to`'s own coordinates.
  const A_long left = std::clamp<A_long>(fromX - to.origin_x, 0, to.width);
  const A_long right = std::clamp<A_long>(fromX + from.width - to.origin_x, left, to.width);
  for (A_long y = 0; y < to.height; ++y) {
    char* row = pixelAt(to, 0, y, pixel);
    const A_long sourceY = y + to.origin_y - fromY;
    if (sourceY < 0 || sourceY >= from.height || left == right) {
      std::memset(row, 0, static_cast<std::size_t>(to.width) * pixel);
      continue;
    }
    std::memset(row, 0, static_cast<std::size_t>(left) * pixel);
    std::memcpy(row + static_cast<std::size_t>(left) * pixel,
                pixelAt(from, left + to.origin_x - fromX, sourceY, pixel),
                static_cast<std::size_t>(right - left) * pixel);
    std::memset(row + static_cast<std::size_t>(right) * pixel, 0, static_cast<std::size_t>(to.width - right) * pixel);
  }
}

}  // namespace

bool outputCoversInput(const PF_EffectWorld& input, const PF_EffectWorld& output) {
  return input.width == output.width && input.height == output.height && input.origin_x == output.origin_x &&
         input.origin_y == output.origin_y;
}

PF_Err renderOutputWindow(const RenderJob& job, const std::function<PF_Err(const RenderJob&)>& render) {
  const std::size_t pixel = bytesPerPixel(job.pixelFormat);
  if (pixel == 0) return PF_Err_UNRECOGNIZED_PARAM_TYPE;
  const PF_EffectWorld& in = *job.inputWorld;
  PF_EffectWorld& out = *job.outputWorld;
  if (out.width <= 0 || out.height <= 0) return PF_Err_NONE;
  const bool overlap = in.width > 0 && in.height > 0 && in.origin_x < out.origin_x + out.width &&
                       out.origin_x < in.origin_x + in.width && in.origin_y < out.origin_y + out.height &&
                       out.origin_y < in.origin_y + in.height;
  if (!overlap) {
    // Nothing of the input shows: no smoothing, only transparency.
    copyWindow(in, in.origin_x, in.origin_y, out, pixel);
    return PF_Err_NONE;
  }
  ScratchImage scratch(*job.inData);
  if (const PF_Err err = scratch.make(in.width, in.height, job.pixelFormat); err != PF_Err_NONE) return err;
  RenderJob whole = job;
  whole.outputWorld = &scratch.world;
  if (const PF_Err err = render(whole); err != PF_Err_NONE) return err;
  copyWindow(scratch.world, in.origin_x, in.origin_y, out, pixel);
  return PF_Err_NONE;
}
