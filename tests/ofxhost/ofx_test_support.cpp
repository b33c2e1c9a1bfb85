#include "ofx_test_support.h"

#include <cmath>
#include <cstring>

#include "file_samples.h"

namespace ofxtest {

using ofxhost::BitDepth;
using ofxhost::Frame;
using ofxhost::Storage;

std::string BundlePath() { return TESSALINE_OFX_BUNDLE; }

Settings Plain() { return {}; }

Settings Keyed() {
  Settings s;
  s.mode = tessaline::SourceMode::Key;
  s.params.softness = 100;
  s.params.bias = 50;
  s.params.keyColorThreshold = 30;
  s.params.keyColor[1] = 40;
  s.params.keyColor[2] = 90;
  s.params.keyColor[3] = 200;
  return s;
}

Settings InvertedKey() {
  Settings s;
  s.mode = tessaline::SourceMode::KeyInvert;
  s.params.colorThreshold = 25;
  s.params.keyColor[1] = s.params.keyColor[2] = s.params.keyColor[3] = 0;
  s.params.keyColorThreshold = 60;
  return s;
}

void Apply(const Settings& s, ofxhost::Instance& instance) {
  const tessaline::Params& p = s.params;
  instance.SetParam("colorThreshold", {static_cast<double>(p.colorThreshold)});
  instance.SetParam("softness", {static_cast<double>(p.softness)});
  instance.SetParam("bias", {static_cast<double>(p.bias)});
  instance.SetParam("colorKeyEnable", {s.mode == tessaline::SourceMode::Plain ? 0.0 : 1.0});
  instance.SetParam("keyColor", {p.keyColor[1] / 255.0, p.keyColor[2] / 255.0, p.keyColor[3] / 255.0});
  instance.SetParam("keyColorThreshold", {static_cast<double>(p.keyColorThreshold)});
  instance.SetParam("invert", {s.mode == tessaline::SourceMode::KeyInvert ? 1.0 : 0.0});
}

namespace {

struct Rgba8 {
  int r, g, b, a;
};

// The scene in 8-bit straight colour at (u, v), measured from the frame's top-left corner.
Rgba8 Scene(int u, int v, int w, int h) {
  const auto inDisc = [&](double cx, double cy, double radius) {
    return (u - cx) * (u - cx) + (v - cy) * (v - cy) < radius * radius;
  };
  if (inDisc(w * 0.30, h * 0.40, h * 0.28)) return {40, 90, 200, 255};       // blue disc
  if (inDisc(w * 0.72, h * 0.55, h * 0.22)) return {230, 60, 40, 128};       // half-transparent red
  if (v > (u * 2) / 3 + h / 3 && v < (u * 2) / 3 + h / 2) return {0, 0, 0, 255};  // black band
  if (u > w * 0.85 && v < h * 0.3) return {0, 0, 0, 0};                      // a hole
  if ((u / 7 + v / 5) % 9 == 0) return {250, 230, 120, 255};                  // yellow steps
  return {200, 225, 240, 255};                                                // sky
}

unsigned Hash(int x, int y) {
  unsigned v = static_cast<unsigned>(x) * 73856093u ^ static_cast<unsigned>(y) * 19349663u;
  v ^= v >> 13;
  return v * 0x5bd1e995u;
}

template <class T>
void Fill(Frame& f) {
  using S = tessaline::Samples<T>;
  const int w = f.Width(), h = f.Height();
  for (int y = f.bounds.y1; y < f.bounds.y2; ++y) {
    for (int x = f.bounds.x1; x < f.bounds.x2; ++x) {
      // Row y2 - 1 is the picture's top.
      const Rgba8 c = Scene(x - f.bounds.x1, f.bounds.y2 - 1 - y, w, h);
      // An opaque frame's alpha is full, as hosts deliver it.
      const int values[4] = {c.r, c.g, c.b, f.channels == 4 && f.storage != Storage::Opaque ? c.a : 255};
      T samples[4];
      for (int k = 0; k < 4; ++k) {
        const unsigned jitter = Hash(x, y * 4 + k);
        if constexpr (std::is_same_v<T, std::uint8_t>) {
          samples[k] = static_cast<T>(values[k]);
        } else if constexpr (std::is_same_v<T, std::uint16_t>) {
          samples[k] = static_cast<T>(std::clamp<int>(values[k] * 257 + static_cast<int>(jitter % 61) - 30, 0, 65535));
        } else {
          samples[k] = static_cast<float>(values[k]) / 255.0f + static_cast<float>(jitter % 7) * 1e-4f;
        }
      }
      if (f.storage == Storage::Opaque) samples[3] = S::kFull;
      if (f.storage == Storage::PreMultiplied) {
        for (int k = 0; k < 3; ++k) samples[k] = S::Multiply(samples[k], samples[3]);
      }
      std::memcpy(f.Pixel(x, y), samples, f.PixelBytes());
    }
  }
}

template <class T>
Frame ExpectedAt(const Frame& src, const Settings& settings, const ofxhost::SourceFormat& format) {
  using S = tessaline::Samples<T>;
  const int w = src.Width(), h = src.Height();
  const auto alpha = [&](const T* s) { return src.channels == 4 && src.storage != Storage::Opaque ? s[3] : S::kFull; };
  std::vector<T> in(4 * static_cast<std::size_t>(w) * h), out(in.size());
  std::vector<std::uint8_t> map(tessaline::EdgeMapBytes(w, h));
  const auto engineAt = [&](std::vector<T>& pixels, int x, int y) {
    // The engine's row 0 is the picture's top, the frame's row y2 - 1.
    return &pixels[4 * (static_cast<std::size_t>(src.bounds.y2 - 1 - y) * w + (x - src.bounds.x1))];
  };
  for (int y = src.bounds.y1; y < src.bounds.y2; ++y) {
    for (int x = src.bounds.x1; x < src.bounds.x2; ++x) {
      const T* s = reinterpret_cast<const T*>(src.Pixel(x, y));
      T* e = engineAt(in, x, y);
      e[0] = alpha(s);
      e[1] = s[0];
      e[2] = s[1];
      e[3] = s[2];
      tessaline::SamplesToEngine(e, src.storage == Storage::PreMultiplied);
    }
  }
  const auto rowBytes = static_cast<std::ptrdiff_t>(4 * sizeof(T) * static_cast<std::size_t>(w));
  const tessaline::Depth depth = sizeof(T) == 1 ? tessaline::Depth::U8 : sizeof(T) == 2 ? tessaline::Depth::U16 : tessaline::Depth::F32;
  EXPECT_EQ(tessaline::Render(depth, settings.mode, {in.data(), rowBytes, w, h}, {out.data(), rowBytes, w, h},
                              settings.params, map.data()),
            tessaline::RenderStatus::Ok);
  Frame result(src.depth, format.channels, format.storage, src.bounds);
  for (int y = src.bounds.y1; y < src.bounds.y2; ++y) {
    for (int x = src.bounds.x1; x < src.bounds.x2; ++x) {
      const T* o = engineAt(out, x, y);
      const T* s = reinterpret_cast<const T*>(src.Pixel(x, y));
      T* d = reinterpret_cast<T*>(result.Pixel(x, y));
      T argb[4] = {alpha(s), s[0], s[1], s[2]};
      // Untouched pixels keep their samples where the storage allows: the same, or from opaque.
      const bool sameStorage = src.storage == format.storage || src.storage == Storage::Opaque;
      if (std::memcmp(o, engineAt(in, x, y), 4 * sizeof(T)) != 0 || !sameStorage) {
        tessaline::EngineToSamples(o, format.storage == Storage::PreMultiplied, argb);
      }
      d[0] = argb[1];
      d[1] = argb[2];
      d[2] = argb[3];
      if (format.channels == 4) d[3] = argb[0];
    }
  }
  return result;
}

}  // namespace

Frame CelFrame(BitDepth depth, int channels, Storage storage, OfxRectI bounds) {
  Frame f(depth, channels, storage, bounds);
  if (depth == BitDepth::Byte) Fill<std::uint8_t>(f);
  if (depth == BitDepth::Short) Fill<std::uint16_t>(f);
  if (depth == BitDepth::Float) Fill<float>(f);
  return f;
}

Frame Expected(const Frame& source, const Settings& settings, const ofxhost::SourceFormat& output) {
  if (source.depth == BitDepth::Byte) return ExpectedAt<std::uint8_t>(source, settings, output);
  if (source.depth == BitDepth::Short) return ExpectedAt<std::uint16_t>(source, settings, output);
  return ExpectedAt<float>(source, settings, output);
}

Frame Crop(const Frame& frame, const OfxRectI& window) {
  Frame part(frame.depth, frame.channels, frame.storage, window);
  for (int y = window.y1; y < window.y2; ++y) {
    std::memcpy(part.Pixel(window.x1, y), frame.Pixel(window.x1, y), part.RowBytes());
  }
  return part;
}

std::string Difference(const Frame& a, const Frame& b) {
  if (a.depth != b.depth || a.channels != b.channels || a.storage != b.storage) return "formats differ";
  if (std::memcmp(&a.bounds, &b.bounds, sizeof a.bounds) != 0) return "bounds differ";
  for (int y = a.bounds.y1; y < a.bounds.y2; ++y) {
    for (int x = a.bounds.x1; x < a.bounds.x2; ++x) {
      if (std::memcmp(a.Pixel(x, y), b.Pixel(x, y), a.PixelBytes()) != 0) {
        return "first difference at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
      }
    }
  }
  return "";
}

void ExpectClean(const ofxhost::Host& host, std::size_t instances) {
  for (const std::string& failure : host.Failures()) ADD_FAILURE() << "host recorded: " << failure;
  ofxhost::Outstanding expected;
  expected.instances = instances;
  EXPECT_EQ(host.Held(), expected) << "images " << host.Held().images << ", image memory " << host.Held().imageMemory
                                   << ", memory " << host.Held().memory << ", mutexes " << host.Held().mutexes;
}

std::string Name(const ofxhost::SourceFormat& f) {
  const char* depth = f.depth == BitDepth::Byte ? "8" : f.depth == BitDepth::Short ? "16" : "32";
  const char* storage = f.storage == Storage::PreMultiplied ? "premultiplied" : f.storage == Storage::Opaque ? "opaque" : "straight";
  return std::string(depth) + (f.channels == 4 ? "_rgba_" : "_rgb_") + storage;
}

}  // namespace ofxtest
