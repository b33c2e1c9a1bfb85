// libFuzzer target over tessaline::Render: random frames at every depth and source mode.
//
// Bytes are read from the front and a short input reads as if padded with zeros, so hand-made seeds
// (fuzz/make_seeds.py) stay readable and an all-zero input is already a useful render (8 x 8, 8-bit,
// plain, softness 70, threshold 0, black image).
//
//   header, 15 bytes:
//     0      depth (b % 3: U8, U16, F32) and mode ((b / 3) % 3: Plain, Key, KeyInvert)
//     1, 2   width and height codes (SizeFromCode; 0 and 1 are each one code in eight)
//     3, 4   colour threshold, little endian (ThresholdFromCode; small values are likely)
//     5, 6   softness and bias (PercentFromCode; zero bytes give 70 and 0)
//     7..9   key colour red, green, blue
//     10, 11 key colour threshold, like the colour threshold
//     12     row padding in pixels: bits 0-1 input, 2-3 output, 4-5 input and 6-7 output of the
//            second render
//     13     bits 0-1 pixel source (0 palette indices, a byte per pixel; 1 shapes; 2 palette indices,
//            2 bits per pixel; 3 raw pixel bytes), bits 2-3 palette size (2, 3, 4, 4), bits 4 and 5
//            bottom-up input and output rows, bit 6 the second render goes through CopyStage and
//            Smooth instead of Render, bit 7 an empty image is passed with null data
//     14     0xE0..0xEF: the parameters come as a host hands them in (below)
//   host values, 16 bytes, only then: colour threshold, softness, bias and key colour threshold as raw
//     little-endian 32-bit values, put through the plug-in's own mapping from a RenderJob (checkbox
//     bytes of any non-zero value for the mode); such a render must succeed
//   palette, 32 bytes: 4 colours x 4 channels (alpha, red, green, blue) x (selector, value), XORed
//     with a default palette of opaque black, opaque white, transparent, opaque red
//   pixel data: the rest, tiled when it is shorter than the image needs
//
// Checked (a violation traps): Render returns Ok and leaves the input and the output's row padding as
// they were; the copy (CopyStage, and Render at softness 0) is the input with alpha zeroed where the
// key test removes each pixel on its own; the map is the rule's (tests/engine/reference_map.h), frame
// included (all zero at softness 0); a second render with other paddings and row orders,
// through Render or through CopyStage and Smooth, gives the same pixels and map on every
// instruction-set path the processor runs. The pair test and the
// key test themselves are pinned by hand in tests/engine, and rejected calls there too.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "depth_traits.h"
#include "engine.h"
#include "job_params.h"
#include "reference_map.h"

namespace {

using namespace tessaline;

#define FUZZ_CHECK(cond)                                                                  \
  do {                                                                                    \
    if (!(cond)) {                                                                        \
      std::fprintf(stderr, "engine_fuzz: invariant violated at line %d: %s\n", __LINE__, #cond); \
      __builtin_trap();                                                                   \
    }                                                                                     \
  } while (0)

constexpr std::size_t kHeaderBytes = 15, kPaletteBytes = 32;
constexpr std::uint8_t kOutCanary = 0xC3;

// Per colour: (selector, value) for alpha, red, green, blue. Alpha selectors: 0 full, 1 zero, 2
// scaled, 3 exotic; colour selectors 0..2 scale the value from 8-bit units, 3 is exotic.
constexpr std::uint8_t kDefaultPalette[kPaletteBytes] = {
    0, 0, 0, 0,   0, 0,   0, 0,    // opaque black
    0, 0, 0, 255, 0, 255, 0, 255,  // opaque white
    1, 0, 0, 0,   0, 0,   0, 0,    // transparent
    0, 0, 0, 255, 0, 0,   0, 0,    // opaque red
};

int SizeFromCode(std::uint8_t c) {  // 64 is reachable; a zero byte is 8
  const int v = c >> 3;
  const int sizes[8] = {8 + v % 9, 1, 0, 1 + v % 4, 1 + v, 33 + v, 2 + v % 6, 64 - v % 4};
  return sizes[c & 7];
}
std::int32_t ThresholdFromCode(std::uint16_t c) {
  static constexpr std::int32_t kSpecial[8] = {0, 1, 1020, 255, 510, 1019, 2, 765};
  const std::int32_t v = c >> 2;
  const std::int32_t values[4] = {v % 32, v % 128, v % 1021, kSpecial[v % 8]};
  return values[c & 3];
}
// Special values (the first is what a zero byte gives), 0..63, 37..100, 0..7.
std::int32_t PercentFromCode(std::uint8_t c, const std::int32_t (&special)[8]) {
  const std::int32_t v = c >> 2;
  const std::int32_t values[4] = {special[v % 8], v, 37 + v, v % 8};
  return values[c & 3];
}
constexpr std::int32_t kSoftnessSpecial[8] = {70, 100, 0, 1, 50, 99, 30, 69};
constexpr std::int32_t kBiasSpecial[8] = {0, 100, 50, 1, 99, 33, 66, 10};

// Exotic channel values. Float: NaNs (quiet, negative, with the value as payload, signalling),
// infinities, -0.0, huge, tiny and subnormal values, values just off 1 and beyond the nominal range.
// 16-bit: values above the host's 32768. 8-bit: the value with its top bit flipped.
template <class C>
C Exotic(std::uint8_t v) {
  if constexpr (std::is_same_v<C, float>) {
    static const float kValues[28] = {
        std::bit_cast<float>(0x7FC00000u), std::bit_cast<float>(0xFFC00000u), 0.0f, std::bit_cast<float>(0x7F800001u),
        INFINITY, -INFINITY, -0.0f, 1e30f, -1e30f, FLT_MAX, -FLT_MAX, FLT_MIN, 1e-40f, -FLT_TRUE_MIN,
        FLT_TRUE_MIN, 2.0f, -1.0f, -0.5f, 1.5f, 1e10f, 0.5f, std::bit_cast<float>(0x3F800001u),
        std::bit_cast<float>(0x3F7FFFFFu), 255.0f, 65535.0f, 16777217.0f, -FLT_MIN, 1.0f / 255.0f,
    };
    return v % 28 == 2 ? std::bit_cast<float>(0x7FC00000u | v) : kValues[v % 28];
  } else if constexpr (sizeof(C) == 2) {
    static constexpr std::uint16_t kSpecial[8] = {65535, 32769, 1, 32767, 65534, 40000, 65280, 49152};
    return v < 8 ? kSpecial[v] : static_cast<std::uint16_t>(32768 + v * 128 + v / 2);
  } else {
    return static_cast<std::uint8_t>(v ^ 0x80);
  }
}

// A channel from its (selector, value) pair; ch 0 is alpha.
template <class D>
auto ChannelValue(int ch, std::uint8_t sel, std::uint8_t val) {
  using C = decltype(D::Pixel::alpha);
  const int kind = ch == 0 ? sel % 4 : sel % 4 == 3 ? 3 : 2;
  const C values[4] = {C(D::Convert(255)), C(0), C(D::Convert(val)), Exotic<C>(val)};
  return values[kind];
}

template <class P>
struct Picture {
  int w, h;
  std::vector<P> px;
  Picture(int width, int height, P fill = P{}) : w(width), h(height), px(static_cast<std::size_t>(w) * h, fill) {}
  void Set(int x, int y, const P& p) {
    if (x >= 0 && y >= 0 && x < w && y < h) px[static_cast<std::size_t>(y) * w + x] = p;
  }
  const P& At(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }
  bool operator==(const Picture& o) const {
    return std::equal(px.begin(), px.end(), o.px.begin(), o.px.end(), SameBits<P>);
  }
};

// Shapes on palette colour 0, each 5 bytes (type, x, y, size, colour), at most 24.
template <class P>
void DrawShapes(Picture<P>& img, const std::vector<std::uint8_t>& data, const P* palette, int paletteSize) {
  const int w = img.w, h = img.h;
  if (w == 0 || h == 0) return;
  for (std::size_t s = 0; s < 24 && 5 * s + 5 <= data.size(); ++s) {
    const std::uint8_t* d = data.data() + 5 * s;
    const int x0 = d[1] % w, y0 = d[2] % h, size = d[3];
    const P& c = palette[d[4] % paletteSize];
    const int run = (size & 7) + 1, back = (size & 8) ? -1 : 1;
    switch (d[0] % 7) {
      case 0:  // filled rectangle
        for (int y = y0; y <= y0 + (size >> 4); ++y)
          for (int x = x0; x <= x0 + (size & 15); ++x) img.Set(x, y, c);
        break;
      case 1:  // region below a staircase falling (rising when `back`) one row every `run` columns
        for (int x = x0; x < w; ++x)
          for (int y = std::max(0, y0 + back * ((x - x0) / run)); y < h; ++y) img.Set(x, y, c);
        break;
      case 2:  // region right of a staircase moving right (left when `back`) one column every `run` rows
        for (int y = y0; y < h; ++y)
          for (int x = std::max(0, x0 + back * ((y - y0) / run)); x < w; ++x) img.Set(x, y, c);
        break;
      case 3:  // one-pixel 45-degree line
        for (int k = 0; k <= (size & 63); ++k) img.Set(x0 + ((size & 128) ? -k : k), y0 + ((size & 64) ? -k : k), c);
        break;
      case 4:  // one-pixel horizontal or vertical line
        for (int k = 0; k <= (size & 127); ++k) img.Set(x0 + ((size & 128) ? 0 : k), y0 + ((size & 128) ? k : 0), c);
        break;
      case 5:  // single pixel or 2 x 2 dot
        for (int k = 0; k < ((size & 1) ? 4 : 1); ++k) img.Set(x0 + k % 2, y0 + k / 2, c);
        break;
      default:  // checkerboard patch
        for (int y = y0; y <= y0 + (size & 15); ++y)
          for (int x = x0; x <= x0 + (size & 15); ++x)
            if ((x + y) & 1) img.Set(x, y, c);
        break;
    }
  }
}

// The copy stage, pixel by pixel: alpha zeroed where the mode's key test removes the pixel.
template <class D>
Picture<typename D::Pixel> ExpectedCopy(SourceMode mode, Picture<typename D::Pixel> img, const Params& params) {
  const DerivedValues<D> v(params);
  if (mode != SourceMode::Plain)
    for (auto& p : img.px)
      if (KeyMatches(p, v.key) == (mode == SourceMode::Key)) p.alpha = 0;
  return img;
}

// A buffer laid out as a host would: one exact-size heap allocation (new[], so even an empty buffer
// has an address of its own and any access is an overflow), rows padded, optionally bottom-up, and
// optionally null data for an empty view, which the engine accepts. Every byte starts as `fill`.
template <class P>
struct Buffer {
  int w, h;
  std::size_t rb, size;
  std::unique_ptr<std::uint8_t[]> storage;
  std::uint8_t fill;
  std::uint8_t* first;
  std::ptrdiff_t rowbytes;
  bool null;

  Buffer(const Picture<P>& img, int padPixels, bool bottomUp, bool nullIfEmpty, std::uint8_t fillByte, bool copyIn)
      : w(img.w), h(img.h), rb((static_cast<std::size_t>(w) + padPixels) * sizeof(P)),
        size(rb * static_cast<std::size_t>(h)), storage(new std::uint8_t[size]), fill(fillByte) {
    std::memset(storage.get(), fill, size);
    first = storage.get() + (bottomUp && h > 0 ? rb * static_cast<std::size_t>(h - 1) : 0);
    rowbytes = bottomUp ? -static_cast<std::ptrdiff_t>(rb) : static_cast<std::ptrdiff_t>(rb);
    null = nullIfEmpty && (w == 0 || h == 0);
    if (copyIn && w > 0)
      for (int y = 0; y < h; ++y) std::memcpy(Row(y), &img.At(0, y), w * sizeof(P));
  }
  std::uint8_t* Row(int y) const { return first + rowbytes * y; }
  ImageView View() const { return {null ? nullptr : first, rowbytes, w, h}; }
  MutableImageView Mutable() const { return {null ? nullptr : first, rowbytes, w, h}; }
  std::vector<std::uint8_t> Bytes() const { return {storage.get(), storage.get() + size}; }
  // The pixels, after checking that every byte past them in each row still holds the fill.
  Picture<P> Pixels() const {
    Picture<P> img(w, h);
    for (int y = 0; y < h; ++y) {
      if (w > 0) std::memcpy(&img.px[static_cast<std::size_t>(y) * w], Row(y), w * sizeof(P));
      const std::uint8_t* row = storage.get() + rb * static_cast<std::size_t>(y);
      FUZZ_CHECK(std::all_of(row + w * sizeof(P), row + rb, [&](std::uint8_t b) { return b == fill; }));
    }
    return img;
  }
};

template <class D>
void Run(SourceMode mode, int w, int h, const Params& params, const std::vector<std::uint8_t>& hdr,
         const std::vector<std::uint8_t>& pal, const std::vector<std::uint8_t>& pixelData) {
  using P = typename D::Pixel;
  const int paletteSize = 2 + std::min((hdr[13] >> 2) & 3, 2);
  P palette[4];
  for (int c = 0; c < 4; ++c) {
    decltype(P::alpha) channels[4];
    for (int ch = 0; ch < 4; ++ch) {
      const std::size_t i = static_cast<std::size_t>(8 * c + 2 * ch);
      channels[ch] = ChannelValue<D>(ch, pal[i] ^ kDefaultPalette[i], pal[i + 1] ^ kDefaultPalette[i + 1]);
    }
    std::memcpy(&palette[c], channels, sizeof(P));
  }
  Picture<P> src(w, h, palette[0]);
  const auto tiled = [&](std::size_t i) { return pixelData.empty() ? std::uint8_t{0} : pixelData[i % pixelData.size()]; };
  switch (hdr[13] & 3) {
    case 1: DrawShapes(src, pixelData, palette, paletteSize); break;
    case 3:  // raw pixel bytes
      for (std::size_t i = 0; i < src.px.size() * sizeof(P); ++i)
        reinterpret_cast<std::uint8_t*>(src.px.data())[i] = tiled(i);
      break;
    default:  // palette indices: a byte per pixel (0) or 2 bits per pixel (2)
      for (std::size_t i = 0; i < src.px.size(); ++i)
        src.px[i] = palette[((hdr[13] & 3) == 0 ? tiled(i) : (tiled(i / 4) >> (2 * (i % 4))) & 3) % paletteSize];
  }

  const int pads = hdr[12];
  const bool bottomUpIn = hdr[13] & 0x10, bottomUpOut = hdr[13] & 0x20, nullIfEmpty = hdr[13] & 0x80;
  const Buffer<P> in(src, pads & 3, bottomUpIn, nullIfEmpty, 0x5A, true);
  const std::vector<std::uint8_t> inBefore = in.Bytes();
  const Buffer<P> out(src, (pads >> 2) & 3, bottomUpOut, nullIfEmpty, kOutCanary, false);
  std::vector<std::uint8_t> map(EdgeMapBytes(w, h), 0);
  const Depth depth = std::is_same_v<D, Depth8> ? Depth::U8 : std::is_same_v<D, Depth16> ? Depth::U16 : Depth::F32;
  FUZZ_CHECK(Render(depth, mode, in.View(), out.Mutable(), params, map.data()) == RenderStatus::Ok);
  FUZZ_CHECK(in.Bytes() == inBefore);
  const Picture<P> result = out.Pixels();

  const Picture<P> copy = ExpectedCopy<D>(mode, src, params);
  const Buffer<P> staged(src, (pads >> 6) & 3, bottomUpIn, nullIfEmpty, kOutCanary, false);
  CopyStage(depth, mode, in.View(), staged.Mutable(), params);
  FUZZ_CHECK(in.Bytes() == inBefore);
  FUZZ_CHECK(staged.Pixels() == copy);
  if (params.softness == 0) {
    FUZZ_CHECK(result == copy);
    FUZZ_CHECK(std::all_of(map.begin(), map.end(), [](std::uint8_t b) { return b == 0; }));
  } else {
    const auto at = [&](int x, int y) { return copy.At(x, y); };
    FUZZ_CHECK(map == test::ReferenceMap<D>(w, h, D::Convert(params.colorThreshold), at));
  }

  // Determinism and the instruction-set paths: on every path the processor runs, other paddings and
  // row orders, a fresh map, Render or the two stages give the same pixels and map as the first
  // render (made on the widest path).
  const EnginePath widest = ActiveEnginePath();
  for (const EnginePath path : {EnginePath::Portable, EnginePath::Sse2, EnginePath::Avx2}) {
    if (!UseEnginePath(path)) continue;
    const Buffer<P> in2(src, (pads >> 4) & 3, !bottomUpIn, false, 0xA5, true);
    const Buffer<P> out2(src, (pads >> 6) & 3, !bottomUpOut, false, 0x3C, false);
    std::vector<std::uint8_t> map2(map.size(), 0);
    if (hdr[13] & 0x40) {
      CopyStage(depth, mode, in2.View(), out2.Mutable(), params);
      Smooth(depth, mode, in2.View(), out2.Mutable(), params, map2.data());
    } else {
      FUZZ_CHECK(Render(depth, mode, in2.View(), out2.Mutable(), params, map2.data()) == RenderStatus::Ok);
    }
    if (out2.Pixels() != result || map2 != map) std::fprintf(stderr, "engine_fuzz: the %s path differs\n", EnginePathName(path));
    if (out2.Pixels() != result || map2 != map) std::fprintf(stderr, "engine_fuzz: the %s path differs\n", EnginePathName(path));
    FUZZ_CHECK(out2.Pixels() == result);
    FUZZ_CHECK(map2 == map);
  }
  UseEnginePath(widest);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider fdp(data, size);
  auto bytes = [&](std::size_t n) {
    std::vector<std::uint8_t> v = fdp.ConsumeBytes<std::uint8_t>(n);
    v.resize(n, 0);
    return v;
  };
  const std::vector<std::uint8_t> hdr = bytes(kHeaderBytes);
  const bool hostValues = (hdr[14] & 0xF0) == 0xE0;
  std::uint32_t raw[4] = {};
  if (hostValues) std::memcpy(raw, bytes(16).data(), 16);  // little endian, from the front
  const std::vector<std::uint8_t> pal = bytes(kPaletteBytes);
  const std::vector<std::uint8_t> pixelData = fdp.ConsumeRemainingBytes<std::uint8_t>();

  const SourceMode mode = static_cast<SourceMode>((hdr[0] / 3) % 3);
  Params params;
  params.colorThreshold = ThresholdFromCode(static_cast<std::uint16_t>(hdr[3] | hdr[4] << 8));
  params.softness = PercentFromCode(hdr[5], kSoftnessSpecial);
  params.bias = PercentFromCode(hdr[6], kBiasSpecial);
  params.keyColor[1] = hdr[7], params.keyColor[2] = hdr[8], params.keyColor[3] = hdr[9];
  params.keyColorThreshold = ThresholdFromCode(static_cast<std::uint16_t>(hdr[10] | hdr[11] << 8));
  if (hostValues) {
    RenderJob job{};
    job.colorThreshold = static_cast<A_long>(raw[0]);
    job.softness = static_cast<A_long>(raw[1]);
    job.bias = static_cast<A_long>(raw[2]);
    job.keyColorThreshold = static_cast<A_long>(raw[3]);
    job.keyColor = PF_Pixel{hdr[6], hdr[7], hdr[8], hdr[9]};
    job.colorKeyEnable = static_cast<A_char>(mode == SourceMode::Plain ? 0 : (hdr[14] & 0x0F) | 0x10);
    job.invert = static_cast<A_char>(mode == SourceMode::KeyInvert ? hdr[5] | 1 : mode == SourceMode::Plain ? hdr[5] : 0);
    FUZZ_CHECK(SourceModeOf(job) == mode);
    params = EngineParams(job);
  }
  const int w = SizeFromCode(hdr[1]), h = SizeFromCode(hdr[2]);
  switch (hdr[0] % 3) {
    case 0: Run<Depth8>(mode, w, h, params, hdr, pal, pixelData); break;
    case 1: Run<Depth16>(mode, w, h, params, hdr, pal, pixelData); break;
    default: Run<DepthF>(mode, w, h, params, hdr, pal, pixelData); break;
  }
  return 0;
}
