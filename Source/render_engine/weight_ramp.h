// A descending ramp of blend weights: each pixel receives the average height of a line falling from
// `max` by `step` per pixel (the last one the area of the remaining triangle); a positive bias bends
// the line into a cubic that lowers the middle weights.
#pragma once

#include "engine_path.h"

#include <cstdint>

namespace tessaline {
TESSALINE_PATH_BEGIN

template <class W>
struct WeightRamp;

// Integer kernels: weights on the 0..65535 scale.
template <>
struct WeightRamp<std::uint32_t> {
  bool done = false;
  std::int32_t max = 0;
  std::int32_t cur = 0;
  std::int32_t step = 0;
  std::int32_t bias = 0;

  WeightRamp(std::int32_t maxWeight, std::int32_t stepPerPixel, std::int32_t biasPercent)
      : max(maxWeight), cur(maxWeight), step(stepPerPixel), bias(biasPercent) {}

  std::uint32_t Next() {
    const std::int32_t c = cur;
    cur = c - step;
    std::int32_t w;
    if (c - step > 0) {
      w = c - step / 2;
    } else {
      done = true;
      // c is positive here (the previous weight left a positive rest); c * c needs 64 bits.
      w = static_cast<std::int32_t>(static_cast<std::int64_t>(c) * c / (2 * static_cast<std::int64_t>(step)));
    }
    if (bias == 0) return static_cast<std::uint32_t>(w);
    const float t = static_cast<float>(w) / static_cast<float>(max);
    const float curve = t * t * t * static_cast<float>(bias) + static_cast<float>(100 - bias) * t;
    return static_cast<std::uint32_t>(static_cast<float>(max) * curve / 100.0f);
  }
};

// Float kernels: weights on the 0..1 scale, no truncation.
template <>
struct WeightRamp<float> {
  bool done = false;
  float max = 0.0f;
  float cur = 0.0f;
  float step = 0.0f;
  std::int32_t bias = 0;

  WeightRamp(float maxWeight, float stepPerPixel, std::int32_t biasPercent)
      : max(maxWeight), cur(maxWeight), step(stepPerPixel), bias(biasPercent) {}

  float Next() {
    const float c = cur;
    cur = c - step;
    float w;
    if (c - step > 0.0f) {
      w = c - step / 2.0f;
    } else {
      done = true;
      w = c * c / (2.0f * step);
    }
    if (bias == 0) return w;
    const float t = w / max;
    const float curve = t * t * t * static_cast<float>(bias) + static_cast<float>(100 - bias) * t;
    return max * curve / 100.0f;
  }
};

TESSALINE_PATH_END
}  // namespace tessaline
