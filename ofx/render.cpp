// The render: the whole source image into the engine's pixels, smoothed, and the render window of
// the result into the output image. Host images are stored bottom-up (row y1 first) and the engine
// works top-down, so the source's top row, y2 - 1, is the engine's row 0.
#include <cstdint>
#include <cstring>
#include <optional>

#include "actions.h"
#include "file_samples.h"
#include "host_image.h"
#include "instance.h"
#include "suites.h"

namespace tessaline::ofx {
namespace {

template <class T>
constexpr Depth kDepth = std::is_same_v<T, std::uint8_t> ? Depth::U8
                         : std::is_same_v<T, std::uint16_t> ? Depth::U16
                                                            : Depth::F32;

OfxRectI Intersection(const OfxRectI& a, const OfxRectI& b) {
  return {std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2), std::min(a.y2, b.y2)};
}

bool Inside(const OfxRectI& r, int x, int y) { return x >= r.x1 && x < r.x2 && y >= r.y1 && y < r.y2; }

// The image's rows must hold its pixels; anything else is a host fault we do not write through.
bool Addressable(const HostImage& image, std::size_t sampleBytes) {
  const long long width = static_cast<long long>(image.bounds.x2) - image.bounds.x1;
  const long long height = static_cast<long long>(image.bounds.y2) - image.bounds.y1;
  if (width <= 0 || height <= 0) return true;
  const long long row = width * image.Channels() * static_cast<long long>(sampleBytes);
  return image.Channels() != 0 && image.Data() != nullptr && (image.rowBytes >= row || -image.rowBytes >= row);
}

// The source's alpha sample at `q`: an opaque image's (or one without alpha) is full whatever it
// holds.
template <class T>
T AlphaOf(const HostImage& src, const T* q) {
  return src.Channels() == 4 && !src.opaque ? q[3] : Samples<T>::kFull;
}

// The source's samples as the engine's straight ARGB pixels, top row first.
template <class T>
void Import(const HostImage& src, T* engine) {
  const OfxRectI& f = src.bounds;
  const int channels = src.Channels();
  for (int y = f.y2 - 1; y >= f.y1; --y) {
    const T* q = src.Pixel<T>(f.x1, y);
    for (int x = f.x1; x < f.x2; ++x, q += channels, engine += 4) {
      engine[0] = AlphaOf(src, q);
      engine[1] = q[0];
      engine[2] = q[1];
      engine[3] = q[2];
      SamplesToEngine(engine, src.premultiplied);
    }
  }
}

template <class T>
void RenderAt(OfxImageEffectHandle effect, const HostImage& src, const HostImage& out, const OfxRectI& window,
              const Values& values) {
  const OfxRectI& f = src.bounds;
  const int width = std::max(0, f.x2 - f.x1), height = std::max(0, f.y2 - f.y1);
  const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  const std::size_t mapBytes = EdgeMapBytes(width, height);
  if (pixels != 0 && mapBytes == 0) throw OfxError{kOfxStatErrImageFormat};  // wider than the engine takes
  // An empty source leaves the window all zeros.
  std::optional<HostMemory> in, smoothed;
  if (pixels != 0) {
    in.emplace(effect, pixels * 4 * sizeof(T));
    smoothed.emplace(effect, pixels * 4 * sizeof(T));
    HostMemory map(effect, mapBytes);
    std::memset(map.As<void>(), 0, mapBytes);
    Import(src, in->As<T>());
    const auto rowBytes = static_cast<std::ptrdiff_t>(4 * sizeof(T)) * width;
    if (tessaline::Render(kDepth<T>, values.mode, {in->As<T>(), rowBytes, width, height},
                          {smoothed->As<T>(), rowBytes, width, height}, values.params,
                          map.As<std::uint8_t>()) != RenderStatus::Ok) {
      throw OfxError{kOfxStatFailed};
    }
  }
  // Where the engine changed nothing, the source's own samples go out, rather than their round trip
  // through division by alpha and the 16-bit rescaling; so also from an opaque source into a
  // premultiplied output, as multiplying by a full alpha changes nothing.
  const bool sameStorage = src.premultiplied == out.premultiplied || src.opaque;
  const int outChannels = out.Channels();
  const OfxRectI target = Intersection(window, out.bounds);
  for (int y = target.y1; y < target.y2; ++y) {
    T* d = out.Pixel<T>(target.x1, y);
    for (int x = target.x1; x < target.x2; ++x, d += outChannels) {
      if (!Inside(f, x, y)) {
        std::fill(d, d + outChannels, T{0});
        continue;
      }
      const std::size_t at = 4 * (static_cast<std::size_t>(f.y2 - 1 - y) * width + (x - f.x1));
      const T* o = smoothed->As<T>() + at;
      if (sameStorage && std::memcmp(o, in->As<T>() + at, 4 * sizeof(T)) == 0) {
        const T* q = src.Pixel<T>(x, y);
        std::copy(q, q + 3, d);
        if (outChannels == 4) d[3] = AlphaOf(src, q);
        continue;
      }
      T argb[4];
      EngineToSamples(o, out.premultiplied, argb);
      d[0] = argb[1];
      d[1] = argb[2];
      d[2] = argb[3];
      if (outChannels == 4) d[3] = argb[0];
    }
  }
}

std::size_t SampleBytes(const std::string& depth) {
  if (depth == kOfxBitDepthByte) return 1;
  if (depth == kOfxBitDepthShort) return 2;
  if (depth == kOfxBitDepthFloat) return 4;
  return 0;
}

// The General context lets a user leave the source unconnected; the output is then transparent
// black. A host that cannot say is taken to have it connected.
bool Connected(OfxImageClipHandle clip) {
  int connected = 1;
  Optional([&] { connected = Properties::OfClip(clip).Int(kOfxImageClipPropConnected); });
  return connected != 0;
}

void Clear(const HostImage& out, const OfxRectI& window, std::size_t sampleBytes) {
  const OfxRectI target = Intersection(window, out.bounds);
  const auto bytes = static_cast<std::size_t>(std::max(0, target.x2 - target.x1)) * sampleBytes * out.Channels();
  for (int y = target.y1; y < target.y2; ++y) std::memset(out.Pixel<unsigned char>(target.x1, y), 0, bytes);
}

}  // namespace

OfxStatus Render(OfxImageEffectHandle effect, OfxPropertySetHandle inArgs) {
  const Properties args(inArgs);
  const double time = args.Double(kOfxPropTime);
  const OfxRectI window = args.RectI(kOfxImageEffectPropRenderWindow);
  const Instance& instance = InstanceOf(effect);
  const Values values = ValuesAt(instance, time);
  const HostImage out(instance.output, time);
  const std::size_t sampleBytes = SampleBytes(out.depth);
  if (sampleBytes == 0 || !Addressable(out, sampleBytes)) return kOfxStatErrImageFormat;
  if (!Connected(instance.source)) {
    Clear(out, window, sampleBytes);
    return kOfxStatOK;
  }
  const HostImage src(instance.source, time);
  if (src.depth != out.depth || !Addressable(src, sampleBytes)) return kOfxStatErrImageFormat;
  if (sampleBytes == 1) RenderAt<std::uint8_t>(effect, src, out, window, values);
  if (sampleBytes == 2) RenderAt<std::uint16_t>(effect, src, out, window, values);
  if (sampleBytes == 4) RenderAt<float>(effect, src, out, window, values);
  return kOfxStatOK;
}

}  // namespace tessaline::ofx
