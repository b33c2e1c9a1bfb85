// What differs between the three pixel depths: pixel type, weight scale, the difference test, the
// blend, the conversion of the parameter values, the ramp steps and the isolated-pixel average. The
// scan algorithm is written once over these.
#pragma once

#include "engine_path.h"

#include <algorithm>
#include <cstdint>

#include "blend.h"
#include "color_key.h"
#include "engine.h"
#include "pixel.h"
#include "pixel_difference.h"
#include "weight_ramp.h"

namespace tessaline {
TESSALINE_PATH_BEGIN

// Integer weights shared by the 8-bit and 16-bit kernels (65535 takes the source fully).
struct IntegerWeights {
  using Weight = std::uint32_t;
  using Value = std::int32_t;
  static constexpr Weight kFull = 65535;
  static constexpr Weight kHalf = 32767;
  static constexpr Weight kThird = 21844;
  static constexpr Weight kThreeQuarters = 49151;
  static constexpr Weight kSixth = 10922;

  static Weight CornerWeight(std::int32_t softness) {
    if (softness >= 70) return 6553;
    const float share = 1.0f - static_cast<float>(70 - softness) / 70.0f;
    return static_cast<Weight>(static_cast<std::int32_t>(share * 6553.0f));
  }
  static Weight SoftnessScale(std::int32_t softness) {
    return static_cast<Weight>(softness * 32767 / 200);
  }
  // Ramp over a stair tread of n pixels at run softness se.
  static WeightRamp<Weight> RunRamp(std::int32_t se, std::int32_t n, std::int32_t bias) {
    return {static_cast<std::int32_t>(kHalf), 3276700 / (std::max(1, se) * (n + 1)), bias};
  }
  // Ramp fading the end of a one-pixel line whose line-end run is s.
  static WeightRamp<Weight> LineEndRamp(std::int32_t softness, std::int32_t s, std::int32_t biasThird) {
    return {static_cast<std::int32_t>(kFull), 2 * (3276700 / (std::max(1, softness) * (s + 1))),
            biasThird};
  }
  // Ramp along a 45-degree run of n cells, starting at maxWeight (kThird or kHalf).
  static WeightRamp<Weight> DiagonalRamp(Weight maxWeight, std::int32_t softness, std::int32_t n,
                                         std::int32_t bias) {
    return {static_cast<std::int32_t>(maxWeight), 3276700 / (std::max(1, softness) * (n + 1)), bias};
  }
};

struct FloatWeights {
  using Weight = float;
  using Value = float;
  static constexpr Weight kFull = 1.0f;
  static constexpr Weight kHalf = 0.5f;
  static constexpr Weight kThird = 1.0f / 3.0f;
  static constexpr Weight kThreeQuarters = 0.75f;
  static constexpr Weight kSixth = 0.16666667f;

  static Weight CornerWeight(std::int32_t softness) {
    if (softness >= 70) return 0.5f / 5.0f;
    return (1.0f - static_cast<float>(70 - softness) / 70.0f) * (0.5f / 5.0f);
  }
  static Weight SoftnessScale(std::int32_t softness) {
    return static_cast<float>(softness) * 0.5f / 200.0f;
  }
  static WeightRamp<Weight> RunRamp(std::int32_t se, std::int32_t n, std::int32_t bias) {
    return {kHalf, 50.0f / static_cast<float>(std::max(1, se) * (n + 1)), bias};
  }
  static WeightRamp<Weight> LineEndRamp(std::int32_t softness, std::int32_t s, std::int32_t biasThird) {
    return {kFull, 2.0f * 50.0f / static_cast<float>(std::max(1, softness) * (s + 1)), biasThird};
  }
  static WeightRamp<Weight> DiagonalRamp(Weight maxWeight, std::int32_t softness, std::int32_t n,
                                         std::int32_t bias) {
    return {maxWeight, 50.0f / static_cast<float>(std::max(1, softness) * (n + 1)), bias};
  }
};

struct Depth8 : IntegerWeights {
  using Pixel = Pixel8;
  static Value Convert(std::int32_t v) { return v; }
  static bool Differ(const Pixel& p, const Pixel& q, Value t) { return PixelsDiffer8(p, q, t); }
  static void Blend(Pixel& out, const Pixel& src, Weight w) { BlendPixel8(out, src, w); }
};

struct Depth16 : IntegerWeights {
  using Pixel = Pixel16;
  static Value Convert(std::int32_t v) { return v * 32768 / 255; }
  static bool Differ(const Pixel& p, const Pixel& q, Value t) { return PixelsDiffer16(p, q, t); }
  static void Blend(Pixel& out, const Pixel& src, Weight w) { BlendPixel16(out, src, w); }
};

struct DepthF : FloatWeights {
  using Pixel = PixelF;
  static Value Convert(std::int32_t v) { return static_cast<float>(v) / 255.0f; }
  static bool Differ(const Pixel& p, const Pixel& q, Value t) { return PixelsDifferF(p, q, t); }
  static void Blend(Pixel& out, const Pixel& src, Weight w) { BlendPixelFloat(out, src, w); }
};

// The values a kernel derives from the parameters before it starts.
template <class D>
struct DerivedValues {
  typename D::Value depthThreshold{};
  KeyValues<typename D::Value> key{};
  typename D::Weight cornerWeight{};
  typename D::Weight softnessScale{};
  std::int32_t softness = 0;
  std::int32_t bias = 0;
  std::int32_t biasThird = 0;

  explicit DerivedValues(const Params& p)
      : depthThreshold(D::Convert(p.colorThreshold)),
        key{D::Convert(p.keyColor[1]), D::Convert(p.keyColor[2]), D::Convert(p.keyColor[3]),
            D::Convert(p.keyColorThreshold)},
        cornerWeight(D::CornerWeight(p.softness)),
        softnessScale(D::SoftnessScale(p.softness)),
        softness(p.softness),
        bias(p.bias),
        biasThird(p.bias / 3) {}
};

TESSALINE_PATH_END
}  // namespace tessaline
