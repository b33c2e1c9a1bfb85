// The engine's entry points: the checks of Render, the sizes callers allocate by, and the choice of
// the instruction-set path every call is passed on to.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "engine.h"
#include "kernel_set.h"

namespace tessaline {

namespace {

const detail::KernelSet* KernelsOf(EnginePath path) {
  switch (path) {
    case EnginePath::Portable:
      return &detail::kPortableKernels;
#if defined(__x86_64__) || defined(_M_X64)
    case EnginePath::Sse2:
      return &detail::kSse2Kernels;
    case EnginePath::Avx2:
      return &detail::kAvx2Kernels;
#else
    default:
      return nullptr;
#endif
  }
  return nullptr;
}

bool ProcessorRuns(EnginePath path) {
#if defined(__x86_64__) || defined(_M_X64)
  switch (path) {
    case EnginePath::Portable:
    case EnginePath::Sse2:
      return true;
    case EnginePath::Avx2:
      // The AVX2 check includes the operating system's saving of the wide registers.
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2");
  }
  return false;
#else
  return path == EnginePath::Portable;
#endif
}

constexpr EnginePath kWidestFirst[] = {EnginePath::Avx2, EnginePath::Sse2, EnginePath::Portable};

EnginePath ChoosePath() {
  if (const char* named = std::getenv("TESSALINE_ENGINE_PATH"); named != nullptr) {
    for (EnginePath p : kWidestFirst) {
      if (std::strcmp(named, EnginePathName(p)) == 0 && EnginePathAvailable(p)) return p;
    }
  }
  for (EnginePath p : kWidestFirst) {
    if (EnginePathAvailable(p)) return p;
  }
  return EnginePath::Portable;
}

// Set once, at the first call (two threads that race to it choose the same), or by UseEnginePath.
std::atomic<const detail::KernelSet*> g_kernels{nullptr};
std::atomic<EnginePath> g_path{EnginePath::Portable};

const detail::KernelSet& Kernels() {
  const detail::KernelSet* k = g_kernels.load(std::memory_order_acquire);
  if (k == nullptr) {
    const EnginePath p = ChoosePath();
    g_path.store(p, std::memory_order_relaxed);
    k = KernelsOf(p);
    g_kernels.store(k, std::memory_order_release);
  }
  return *k;
}

}  // namespace

const char* EnginePathName(EnginePath path) {
  switch (path) {
    case EnginePath::Portable:
      return "portable";
    case EnginePath::Sse2:
      return "sse2";
    case EnginePath::Avx2:
      return "avx2";
  }
  return "?";
}

bool EnginePathAvailable(EnginePath path) { return KernelsOf(path) != nullptr && ProcessorRuns(path); }

EnginePath ActiveEnginePath() {
  Kernels();
  return g_path.load(std::memory_order_relaxed);
}

bool UseEnginePath(EnginePath path) {
  if (!EnginePathAvailable(path)) return false;
  g_path.store(path, std::memory_order_relaxed);
  g_kernels.store(KernelsOf(path), std::memory_order_release);
  return true;
}

std::int32_t MapStride(int width) { return static_cast<std::int32_t>((static_cast<std::int64_t>(width) + 8) / 4 * 4); }

std::size_t EdgeMapBytes(int width, int height) {
  if (width < 0 || height < 0 || width > kMaxWidth) return 0;
  return (static_cast<std::size_t>(height) + 2) * static_cast<std::size_t>(MapStride(width));
}

std::size_t PixelBytes(Depth depth) {
  switch (depth) {
    case Depth::U8:
      return 4;
    case Depth::U16:
      return 8;
    case Depth::F32:
      return 16;
  }
  return 0;
}

void CopyStage(Depth depth, SourceMode mode, const ImageView& in, const MutableImageView& out,
               const Params& params) {
  Kernels().copy(depth, mode, in, out, params);
}

void Smooth(Depth depth, SourceMode mode, const ImageView& in, const MutableImageView& out,
            const Params& params, std::uint8_t* zeroedMap) {
  Kernels().smooth(depth, mode, in, out, params, zeroedMap);
}

void EdgeMapStage(Depth depth, const ImageView& copy, const Params& params, std::uint8_t* zeroedMap) {
  Kernels().edgeMap(depth, copy, params, zeroedMap);
}

RenderStatus Render(Depth depth, SourceMode mode, const ImageView& in, const MutableImageView& out,
                    const Params& params, std::uint8_t* zeroedMap) {
  if (in.width < 0 || in.height < 0 || in.width > kMaxWidth) return RenderStatus::BadView;
  if (out.width != in.width || out.height != in.height) return RenderStatus::SizeMismatch;
  const std::size_t rowBytes = PixelBytes(depth) * static_cast<std::size_t>(in.width);
  const bool empty = in.width == 0 || in.height == 0;
  if (!empty) {
    auto rowsFit = [&](std::ptrdiff_t rowbytes) {
      return in.height == 1 || static_cast<std::size_t>(rowbytes < 0 ? -rowbytes : rowbytes) >= rowBytes;
    };
    if (!in.data || !out.data || !zeroedMap || !rowsFit(in.rowbytes) || !rowsFit(out.rowbytes)) {
      return RenderStatus::BadView;
    }
  }
  if (params.softness < 0 || params.softness > 100 || params.bias < 0 || params.bias > 100 ||
      params.colorThreshold < 0 || params.colorThreshold > 1020 || params.keyColorThreshold < 0 ||
      params.keyColorThreshold > 1020) {
    return RenderStatus::BadParams;
  }
  if (empty) return RenderStatus::Ok;  // nothing to copy, and the views may hold no memory at all
  Kernels().render(depth, mode, in, out, params, zeroedMap);
  return RenderStatus::Ok;
}

}  // namespace tessaline
