// Running a RenderJob through the simulated host, inside the test program.
#pragma once

#include <array>
#include <cstring>
#include <functional>

#include "ae_suites.h"
#include "base_filter.h"
#include "engine.h"
#include "fxhost/host.h"
#include "host_render.h"

namespace host_render_test {

inline tessaline::Depth EngineDepth(fxhost::PixelDepth depth) {
  using D = fxhost::PixelDepth;
  return depth == D::Eight ? tessaline::Depth::U8 : depth == D::Sixteen ? tessaline::Depth::U16 : tessaline::Depth::F32;
}

// The effect's defaults: threshold 10, softness 70, bias 0, no key (a red one, should it be turned on).
inline RenderJob MakeJob(fxhost::OwnedWorld& input, fxhost::OwnedWorld& output) {
  return {.colorThreshold = 10, .softness = 70, .bias = 0, .colorKeyEnable = 0, .keyColor = PF_Pixel{255, 255, 0, 0},
          .keyColorThreshold = 0, .invert = 0, .inData = nullptr, .outData = nullptr, .inputWorld = input.world(),
          .outputWorld = output.world(), .pixelFormat = fxhost::pixelFormatOf(input.depth())};
}

// One smart-render command whose body runs the job as the plug-in's entry point will: a bare host
// error code thrown below becomes the command's result. `prepare` may change the command's blocks
// first.
inline PF_Err RunJob(fxhost::Host& host, RenderJob job, const std::function<void(PF_InData&)>& prepare = {}) {
  return host.runInProcess(PF_Cmd_SMART_RENDER, [&](PF_InData& in, PF_OutData& out) -> PF_Err {
    if (prepare) prepare(in);
    job.inData = &in;
    job.outData = &out;
    try {
      CustomFilter effect;
      BaseFilter& filter = effect;
      return filter.ProcessJob(job);
    } catch (PF_Err code) {
      return code;
    }
  });
}

// How often the commands so far acquired a suite.
inline int Acquired(const fxhost::AccountsReport& report, const char* name, A_long version) {
  int n = 0;
  for (const auto& tally : report.suites)
    if (tally.name == name && tally.version == version) n += tally.acquired;
  return n;
}

// Paints every pixel with the colour `at(x, y)` gives: alpha, red, green, blue in 8-bit units,
// written at the world's depth.
template <class ColourAt>
void Paint(fxhost::OwnedWorld& w, ColourAt at) {
  const std::size_t px = fxhost::bytesPerPixel(w.depth());
  for (A_long y = 0; y < w.height(); ++y)
    for (A_long x = 0; x < w.width(); ++x) {
      const std::array<int, 4> c = at(x, y);
      std::uint8_t* p = w.row(y) + px * static_cast<std::size_t>(x);
      for (int i = 0; i < 4; ++i) {
        const auto v16 = static_cast<std::uint16_t>((c[i] * 32768 + 127) / 255);
        const float v32 = static_cast<float>(c[i]) / 255.0f;
        if (w.depth() == fxhost::PixelDepth::Eight) p[i] = static_cast<std::uint8_t>(c[i]);
        if (w.depth() == fxhost::PixelDepth::Sixteen) std::memcpy(p + 2 * i, &v16, 2);
        if (w.depth() == fxhost::PixelDepth::Float) std::memcpy(p + 4 * i, &v32, 4);
      }
    }
}

// A cel-like frame: flat fills, stair-stepped edges, a thin line and a transparent corner.
inline void PaintCel(fxhost::OwnedWorld& w) {
  Paint(w, [&](A_long x, A_long y) {
    std::array<int, 4> c = {255, 240, 235, 220};
    if (x + 2 * y < 40 && x > 5) c = {255, 20, 30, 160};
    if ((x - 20) * (x - 20) + (y - 14) * (y - 14) < 40) c = {255, 255, 0, 0};
    if (y == 20 && x > 3 && x < 18) c = {255, 0, 0, 0};
    if (x > w.width() - 6 && y < 5) c[0] = 0;
    return c;
  });
}

}  // namespace host_render_test
