#include "job_params.h"

#include <algorithm>

tessaline::Params EngineParams(const RenderJob& job) {
  constexpr std::int32_t kMaxThreshold = 1020;
  tessaline::Params p;
  p.colorThreshold = std::clamp<std::int32_t>(job.colorThreshold, 0, kMaxThreshold);
  p.softness = std::clamp<std::int32_t>(job.softness, 0, 100);
  p.bias = std::clamp<std::int32_t>(job.bias, 0, 100);
  p.keyColor[0] = job.keyColor.alpha;
  p.keyColor[1] = job.keyColor.red;
  p.keyColor[2] = job.keyColor.green;
  p.keyColor[3] = job.keyColor.blue;
  p.keyColorThreshold = std::clamp<std::int32_t>(job.keyColorThreshold, 0, kMaxThreshold);
  return p;
}

tessaline::SourceMode SourceModeOf(const RenderJob& job) {
  if (job.colorKeyEnable == 0) return tessaline::SourceMode::Plain;
  return job.invert == 0 ? tessaline::SourceMode::Key : tessaline::SourceMode::KeyInvert;
}
