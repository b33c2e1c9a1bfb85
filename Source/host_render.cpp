#include "host_render.h"

#include <cstring>

#include "engine.h"
#include "job_params.h"
#include "suite_registry.h"

namespace {

using tessaline::Depth;
using tessaline::SourceMode;

tessaline::ImageView View(const PF_EffectWorld& w) { return {w.data, w.rowbytes, w.width, w.height}; }
tessaline::MutableImageView MutableView(PF_EffectWorld& w) { return {w.data, w.rowbytes, w.width, w.height}; }

// The scratch world holding the edge map, given back to the host when the kernel leaves; a failed
// dispose is ignored.
class ScratchWorld {
 public:
  ScratchWorld(const PF_WorldSuite1* suite, PF_ProgPtr effect) : suite_(suite), effect_(effect) {}
  ~ScratchWorld() {
    if (world.data != nullptr) suite_->dispose_world(effect_, &world);
  }
  ScratchWorld(const ScratchWorld&) = delete;
  ScratchWorld& operator=(const ScratchWorld&) = delete;
  PF_EffectWorld world{};

 private:
  const PF_WorldSuite1* suite_;
  PF_ProgPtr effect_;
};

PF_Err RunKernel(const RenderJob& job, Depth depth, SourceMode mode) {
  // Declared first so that it is destroyed last: every suite is released after the scratch world.
  AEUtil::SuiteRegistry suites(job.inData != nullptr ? job.inData->pica_basicP : nullptr);
  if (job.inData == nullptr || job.inData->pica_basicP == nullptr) throw PF_Err{PF_Err_BAD_CALLBACK_PARAM};

  PF_EffectWorld& in = *job.inputWorld;
  PF_EffectWorld& out = *job.outputWorld;
  const int w = in.width, h = in.height;
  if (out.width != w || out.height != h) return PF_Err_BAD_CALLBACK_PARAM;

  const tessaline::Params params = EngineParams(job);
  const PF_ProgPtr effect = job.inData->effect_ref;
  PF_Err copyResult = PF_Err_NONE;
  if (mode == SourceMode::Plain) {
    copyResult = suites.WorldTransformSuite1()->copy(effect, &in, &out, nullptr, nullptr);
  } else {
    tessaline::CopyStage(depth, mode, View(in), MutableView(out), params);
  }
  if (params.softness == 0 || copyResult != PF_Err_NONE) return copyResult;

  const std::int32_t stride = tessaline::MapStride(w);
  const PF_WorldSuite1* worldSuite = suites.WorldSuite1();
  ScratchWorld scratch(worldSuite, effect);
  if (const PF_Err err = worldSuite->new_world(effect, stride / 4, h + 2, 0, &scratch.world); err != PF_Err_NONE) {
    return err;
  }
  // A host that reports success without memory gets no write through a null pointer.
  if (scratch.world.data == nullptr) return PF_Err_OUT_OF_MEMORY;
  auto* map = reinterpret_cast<std::uint8_t*>(scratch.world.data);
  std::memset(map, 0, tessaline::EdgeMapBytes(w, h));
  tessaline::Smooth(depth, mode, View(in), MutableView(out), params, map);
  return PF_Err_NONE;
}

}  // namespace

PF_Err ProcessRenderJob(const RenderJob& job) {
  Depth depth;
  switch (job.pixelFormat) {
    case PF_PixelFormat_ARGB128:
      depth = Depth::F32;
      break;
    case PF_PixelFormat_ARGB64:
      depth = Depth::U16;
      break;
    case PF_PixelFormat_ARGB32:
      depth = Depth::U8;
      break;
    default:
      return PF_Err_UNRECOGNIZED_PARAM_TYPE;
  }
  return RunKernel(job, depth, SourceModeOf(job));
}
