// libFuzzer target over tessaline::Render.
//
// Every byte is read from the front of the input, and a short input reads as if padded with zeros, so
// hand-made seeds stay readable and an all-zero input is already a useful render (8 x 8, 8-bit, plain,
// softness 70, threshold 0, black image).
//
//   header, kHeaderBytes bytes:
//     0      depth (b % 3: U8, U16, F32) and mode ((b / 3) % 3: Plain, Key, KeyInvert)
//     1, 2   width and height codes (see SizeFromCode; 0 and 1 are each one code in eight)
//     3, 4   colour threshold, little endian (see ThresholdFromCode; small values are likely)
//     5      softness (see SoftnessFromCode; a zero byte is 70)
//     6      bias (see BiasFromCode; a zero byte is 0)
//     7..9   key colour red, green, blue
//     10, 11 key colour threshold, like the colour threshold
//     12     row padding in pixels: bits 0-1 input, 2-3 output, 4-5 input and 6-7 output of the
//            second render
//     13     bits 0-1 pixel source (0 palette indices, one byte per pixel; 1 shapes; 2 palette
//            indices, 2 bits per pixel; 3 raw pixel bytes), bits 2-3 palette size (2, 3, 4, 4),
//            bit 4 bottom-up input rows (negative rowbytes), bit 5 bottom-up output rows, bit 6 the
//            second render goes through CopyStage and Smooth instead of Render, bit 7 an empty
//            image is passed with null data to the first render (unless ENGINE_FUZZ_NO_NULL_EMPTY=1)
//     14     0xF0..0xFF: a rejected call (low nibble picks the fault, see RunFault); 0xE0..0xEF: the
//            parameters as a host hands them in (below); otherwise none
//   host values, 16 bytes, only when byte 14 is 0xE0..0xEF: colour threshold, softness, bias and key
//     colour threshold as raw little-endian 32-bit values, put through the plug-in's own mapping from
//     a RenderJob (with checkbox bytes of any non-zero value for the mode); such a render must succeed
//   palette, kPaletteBytes bytes: 4 colours x 4 channels (alpha, red, green, blue) x (selector,
//     value), XORed with a default palette of opaque black, opaque white, transparent, opaque red
//   pixel data: the rest, tiled when it is shorter than the image needs
//
// Invariants checked (a violation traps):
//   - Render returns Ok for valid views and the documented status for invalid ones; a rejected call
//     leaves output and map untouched
//   - the input, padding included, is unchanged
//   - output bytes beyond each row's pixels are unchanged
//   - the copy (CopyStage, and Render at softness 0) equals the input with alpha zeroed exactly where
//     the key removes a pixel, computed here from the documented key rule
//   - the edge map equals the one computed here from the documented rule, frame included; at
//     softness 0 the map stays all zero
//   - a second render with other row paddings and orientations, through Render or through
//     CopyStage + Smooth, gives identical pixels and an identical map (determinism)
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "engine.h"
#include "job_params.h"

namespace {

using tessaline::Depth;
using tessaline::ImageView;
using tessaline::MutableImageView;
using tessaline::Params;
using tessaline::RenderStatus;
using tessaline::SourceMode;

[[noreturn]] void Fail(const char* what, int line) {
  std::fprintf(stderr, "engine_fuzz: invariant violated at line %d: %s\n", line, what);
  std::fflush(stderr);
  __builtin_trap();
}
#define FUZZ_CHECK(cond)                  \
  do {                                    \
    if (!(cond)) Fail(#cond, __LINE__);   \
  } while (0)

constexpr std::size_t kHeaderBytes = 15;
constexpr int kPaletteColours = 4;
constexpr std::size_t kPaletteBytes = kPaletteColours * 8;
constexpr int kMaxShapes = 24;
constexpr std::uint8_t kOutCanary = 0xC3;

// Default palette: each colour is 4 x (selector, value) for alpha, red, green, blue. Alpha selector 0
// is full alpha, 1 is zero; colour selectors 0..2 scale the value from 8-bit units.
constexpr std::uint8_t kDefaultPalette[kPaletteBytes] = {
    0, 0, 0, 0,   0, 0,   0, 0,  // opaque black
    0, 0, 0, 255, 0, 255, 0, 255,  // opaque white
    1, 0, 0, 0,   0, 0,   0, 0,  // transparent
    0, 0, 0, 255, 0, 0,   0, 0,  // opaque red
};

// 0 and 1 are one code in eight each; 64 is reachable; a zero byte is 8.
int SizeFromCode(std::uint8_t c) {
  const int v = c >> 3;
  switch (c & 7) {
    case 0: return 8 + v % 9;
    case 1: return 1;
    case 2: return 0;
    case 3: return 1 + v % 4;
    case 4: return 1 + v;
    case 5: return 33 + v;
    case 6: return 2 + v % 6;
    default: return 64 - v % 4;
  }
}

std::int32_t ThresholdFromCode(std::uint16_t c) {
  static constexpr std::int32_t kSpecial[8] = {0, 1, 1020, 255, 510, 1019, 2, 765};
  const std::int32_t v = c >> 2;
  switch (c & 3) {
    case 0: return v % 32;
    case 1: return v % 128;
    case 2: return v % 1021;
    default: return kSpecial[v % 8];
  }
}

// Softness and bias: special values (the first is what a zero byte gives), 0..63, 37..100, 0..7.
std::int32_t PercentFromCode(std::uint8_t c, const std::int32_t (&special)[8]) {
  const std::int32_t v = c >> 2;
  switch (c & 3) {
    case 0: return special[v % 8];
    case 1: return v;
    case 2: return 37 + v;
    default: return v % 8;
  }
}
constexpr std::int32_t kSoftnessSpecial[8] = {70, 100, 0, 1, 50, 99, 30, 69};
constexpr std::int32_t kBiasSpecial[8] = {0, 100, 50, 1, 99, 33, 66, 10};

// ---------------------------------------------------------------------------------------------
// Pixels as raw bytes at one depth.

using RawPixel = std::array<std::uint8_t, 16>;

float FloatFromBits(std::uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

// NaNs (quiet, negative, with the value as payload, signalling), infinities, -0.0, huge, tiny and
// subnormal values, values just off 1 and beyond the nominal range.
float ExoticFloat(std::uint8_t v) {
  static const float kValues[28] = {
      FloatFromBits(0x7FC00000u), FloatFromBits(0xFFC00000u), 0.0f, FloatFromBits(0x7F800001u),
      INFINITY, -INFINITY, -0.0f, 1e30f, -1e30f, FLT_MAX, -FLT_MAX, FLT_MIN, 1e-40f, -FLT_TRUE_MIN,
      FLT_TRUE_MIN, 2.0f, -1.0f, -0.5f, 1.5f, 1e10f, 0.5f, FloatFromBits(0x3F800001u),
      FloatFromBits(0x3F7FFFFFu), 255.0f, 65535.0f, 16777217.0f, -FLT_MIN, 1.0f / 255.0f,
  };
  return v % 28 == 2 ? FloatFromBits(0x7FC00000u | v) : kValues[v % 28];
}

std::uint16_t Exotic16(std::uint8_t v) {
  static constexpr std::uint16_t kSpecial[8] = {65535, 32769, 1, 32767, 65534, 40000, 65280, 49152};
  if (v < 8) return kSpecial[v];
  return static_cast<std::uint16_t>(32768 + v * 128 + v / 2);  // 32768..65535
}

// Writes channel ch (0 alpha, 1 red, 2 green, 3 blue) of a pixel from a (selector, value) pair.
void PutChannel(Depth depth, RawPixel& px, int ch, std::uint8_t sel, std::uint8_t val) {
  enum Kind { Full, Zero, Scaled, Exotic };
  const Kind kind = ch == 0 ? static_cast<Kind>(sel % 4) : sel % 4 == 3 ? Exotic : Scaled;
  if (depth == Depth::U8) {
    px[static_cast<std::size_t>(ch)] = kind == Full ? 255 : kind == Zero ? 0 : kind == Exotic ? val ^ 0x80 : val;
  } else if (depth == Depth::U16) {
    const std::uint16_t c = kind == Full     ? 32768
                            : kind == Zero   ? 0
                            : kind == Exotic ? Exotic16(val)
                                             : static_cast<std::uint16_t>(val * 32768 / 255);
    std::memcpy(px.data() + 2 * ch, &c, 2);
  } else {
    float c = static_cast<float>(val) / 255.0f;
    if (kind != Scaled) c = kind == Full ? 1.0f : kind == Zero ? 0.0f : ExoticFloat(val);
    std::memcpy(px.data() + 4 * ch, &c, 4);
  }
}

// A tight w x h image of raw pixels.
struct Image {
  int w = 0, h = 0;
  std::size_t pb = 0;
  std::vector<std::uint8_t> bytes;
  Image(int width, int height, std::size_t pixelBytes)
      : w(width), h(height), pb(pixelBytes), bytes(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * pb) {}
  std::uint8_t* At(int x, int y) { return bytes.data() + (static_cast<std::size_t>(y) * w + x) * pb; }
  const std::uint8_t* At(int x, int y) const { return bytes.data() + (static_cast<std::size_t>(y) * w + x) * pb; }
  void Set(int x, int y, const RawPixel& p) {
    if (x >= 0 && y >= 0 && x < w && y < h) std::memcpy(At(x, y), p.data(), pb);
  }
};

// Shapes on a background of palette colour 0: each primitive is 5 bytes (type, x, y, size, colour).
void DrawShapes(Image& img, const std::vector<std::uint8_t>& data, const RawPixel* palette, int paletteSize) {
  const int w = img.w, h = img.h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.Set(x, y, palette[0]);
  if (w == 0 || h == 0) return;
  for (std::size_t s = 0; s < static_cast<std::size_t>(kMaxShapes) && 5 * s + 5 <= data.size(); ++s) {
    const std::uint8_t* d = data.data() + 5 * s;
    const int x0 = d[1] % w, y0 = d[2] % h;
    const int size = d[3];
    const RawPixel& c = palette[d[4] % paletteSize];
    const int run = (size & 7) + 1;
    const bool back = (size & 8) != 0;
    switch (d[0] % 7) {
      case 0:  // filled rectangle
        for (int y = y0; y <= y0 + (size >> 4); ++y)
          for (int x = x0; x <= x0 + (size & 15); ++x) img.Set(x, y, c);
        break;
      case 1:  // region below a staircase falling (rising when `back`) one row every `run` columns
        for (int x = x0; x < w; ++x)
          for (int y = std::max(0, y0 + (back ? -1 : 1) * ((x - x0) / run)); y < h; ++y) img.Set(x, y, c);
        break;
      case 2:  // region right of a staircase moving right (left when `back`) one column every `run` rows
        for (int y = y0; y < h; ++y)
          for (int x = std::max(0, x0 + (back ? -1 : 1) * ((y - y0) / run)); x < w; ++x) img.Set(x, y, c);
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
            if (((x + y) & 1) != 0) img.Set(x, y, c);
        break;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Reference rules, written from the engine's documentation.

enum Channel { A, R, G, B };

std::array<std::int32_t, 4> IntegerChannels(Depth depth, const std::uint8_t* p) {
  if (depth == Depth::U8) return {p[0], p[1], p[2], p[3]};
  std::uint16_t c[4];
  std::memcpy(c, p, 8);
  return {c[0], c[1], c[2], c[3]};
}
std::array<float, 4> FloatChannels(const std::uint8_t* p) {
  std::array<float, 4> c;
  std::memcpy(c.data(), p, 16);
  return c;
}
std::int32_t AbsDiff(std::int32_t x, std::int32_t y) { return x > y ? x - y : y - x; }

// A parameter value in 8-bit units converted to the depth's scale.
std::int32_t IntegerScale(Depth depth, std::int32_t v) { return depth == Depth::U8 ? v : v * 32768 / 255; }
float FloatScale(std::int32_t v) { return static_cast<float>(v) / 255.0f; }

// The key matches when |dR| + |dG| + |dB| is not greater than the key threshold (float: the
// subtraction steps in single precision, in order; only a result below 0 fails).
bool KeyMatches(Depth depth, const std::uint8_t* p, const Params& params) {
  if (depth == Depth::F32) {
    const std::array<float, 4> c = FloatChannels(p);
    float r = FloatScale(params.keyColorThreshold);
    for (int ch : {R, G, B}) r = r - std::fabs(c[ch] - FloatScale(params.keyColor[ch]));
    return !(r < 0.0f);
  }
  const std::array<std::int32_t, 4> c = IntegerChannels(depth, p);
  std::int32_t sum = 0;
  for (int ch : {R, G, B}) sum += AbsDiff(c[ch], IntegerScale(depth, params.keyColor[ch]));
  return sum <= IntegerScale(depth, params.keyColorThreshold);
}

// The copy stage: the input, with alpha zeroed (+0.0 at float) where the mode's key removes a pixel.
Image ExpectedCopy(Depth depth, SourceMode mode, const Image& in, const Params& params) {
  Image out = in;
  if (mode == SourceMode::Plain) return out;
  for (int y = 0; y < in.h; ++y)
    for (int x = 0; x < in.w; ++x)
      if (KeyMatches(depth, in.At(x, y), params) == (mode == SourceMode::Key)) std::memset(out.At(x, y), 0, in.pb / 4);
  return out;
}

// Whether two neighbours differ by more than the colour threshold: transparent pixels count as all
// zero, identical pixels never differ; float follows the documented single-precision steps.
bool Differ(Depth depth, const std::uint8_t* p, const std::uint8_t* q, std::int32_t threshold) {
  if (depth == Depth::F32) {
    const float t = FloatScale(threshold);
    const std::array<float, 4> a = FloatChannels(p), b = FloatChannels(q);
    const bool aClear = a[A] == 0.0f, bClear = b[A] == 0.0f;
    if (aClear && bClear) return false;
    if (aClear) return t - (((b[G] + b[R]) + b[B]) + b[A]) < 0.0f;
    if (bClear) return t - (((a[G] + a[R]) + a[B]) + a[A]) < 0.0f;
    if (std::memcmp(p, q, 16) == 0) return false;
    float r = t;
    for (int ch : {R, G, B, A}) r = r - std::fabs(a[ch] - b[ch]);
    return r < 0.0f;
  }
  if (std::memcmp(p, q, depth == Depth::U8 ? 4 : 8) == 0) return false;
  std::array<std::int32_t, 4> a = IntegerChannels(depth, p), b = IntegerChannels(depth, q);
  if (a[A] == 0) a = {};
  if (b[A] == 0) b = {};
  std::int32_t sum = 0;
  for (int ch : {A, R, G, B}) sum += AbsDiff(a[ch], b[ch]);
  return sum > IntegerScale(depth, threshold) && sum != 0;
}

// The edge map of an image, laid out as the engine documents it: rows of the smallest multiple of 4
// not below w + 5 bytes, a zero row above and below, entry (0, 0) four bytes into the second row.
// Bits: 1 right neighbour differs, 2 lower neighbour, 4 lower-right, 8 the right and lower neighbours
// differ from each other. Within each group of four entries of a row (groups end before the last
// column's group), the diagonal bits of the first three entries are only tested once a horizontal or
// vertical bit of that entry or the ones before it, or of the next entry, is set.
std::vector<std::uint8_t> ExpectedMap(Depth depth, const Image& img, std::int32_t threshold) {
  const int w = img.w, h = img.h;
  const std::size_t stride = static_cast<std::size_t>((w + 5 + 3) / 4 * 4);
  std::vector<std::uint8_t> map((static_cast<std::size_t>(h) + 2) * stride, 0);
  if (w == 0 || h == 0) return map;
  std::uint8_t* origin = map.data() + stride + 4;
  auto dif = [&](int x0, int y0, int x1, int y1) {
    return Differ(depth, img.At(x0, y0), img.At(x1, y1), threshold) ? 1 : 0;
  };
  const int g = (w - 1) / 4 * 4;
  for (int y = 0; y < h; ++y) {
    std::uint8_t* e = origin + static_cast<std::size_t>(y) * stride;
    if (y + 1 == h) {
      for (int x = 0; x + 1 < w; ++x) e[x] = static_cast<std::uint8_t>(dif(x, y, x + 1, y));
      continue;
    }
    for (int x = 0; x + 1 < w; ++x) {
      e[x] = static_cast<std::uint8_t>(dif(x, y, x + 1, y) | dif(x, y, x, y + 1) << 1);
    }
    e[w - 1] = static_cast<std::uint8_t>(dif(w - 1, y, w - 1, y + 1) << 1);
    for (int x = 0; x + 1 < w; ++x) {
      bool tested = true;
      if (x < g && x % 4 != 3) {
        tested = false;
        for (int k = x - x % 4; k <= x + 1; ++k) tested = tested || e[k] != 0;
      }
      if (tested) {
        e[x] = static_cast<std::uint8_t>(e[x] | dif(x, y, x + 1, y + 1) << 2 | dif(x + 1, y, x, y + 1) << 3);
      }
    }
  }
  return map;
}

// ---------------------------------------------------------------------------------------------
// Buffers laid out as a host would: one exact-size heap allocation each (new[], so even an empty
// buffer has its own address and any access to it is an overflow), optional row padding, optional
// bottom-up rows, and optionally a null data pointer for an empty view, which the engine accepts.

// Set by ENGINE_FUZZ_NO_NULL_EMPTY=1 to keep empty views off null data while a finding there is open.
bool NoNullEmptyViews() {
  static const bool value = [] {
    const char* e = std::getenv("ENGINE_FUZZ_NO_NULL_EMPTY");
    return e != nullptr && *e != '\0' && *e != '0';
  }();
  return value;
}

struct Buffer {
  std::size_t size = 0;
  std::unique_ptr<std::uint8_t[]> storage;
  std::ptrdiff_t rowbytes = 0;    // as passed to the engine (negative for bottom-up)
  std::uint8_t* first = nullptr;  // start of row 0
  int w = 0, h = 0;
  std::size_t pb = 0;
  bool nullWhenEmpty = false;

  // Every byte starts as fill(i); the rows then hold `img` when one is given.
  template <class Fill>
  Buffer(int width, int height, std::size_t pixelBytes, int padPixels, bool bottomUp, bool nullIfEmpty, Fill fill,
         const Image* img = nullptr)
      : w(width), h(height), pb(pixelBytes) {
    const std::size_t rb = (static_cast<std::size_t>(w) + static_cast<std::size_t>(padPixels)) * pb;
    size = rb * static_cast<std::size_t>(h);
    storage.reset(new std::uint8_t[size]);
    for (std::size_t i = 0; i < size; ++i) storage[i] = static_cast<std::uint8_t>(fill(i));
    rowbytes = static_cast<std::ptrdiff_t>(rb);
    first = storage.get();
    if (bottomUp && h > 0) {
      first = storage.get() + rb * static_cast<std::size_t>(h - 1);
      rowbytes = -rowbytes;
    }
    nullWhenEmpty = nullIfEmpty && (w == 0 || h == 0) && !NoNullEmptyViews();
    if (img && w > 0)
      for (int y = 0; y < h; ++y) std::memcpy(Row(y), img->At(0, y), static_cast<std::size_t>(w) * pb);
  }
  std::vector<std::uint8_t> Bytes() const { return {storage.get(), storage.get() + size}; }
  std::uint8_t* Row(int y) const { return first + rowbytes * y; }
  std::uint8_t* Data() const { return nullWhenEmpty ? nullptr : first; }
  ImageView View() const { return {Data(), rowbytes, w, h}; }
  MutableImageView Mutable() const { return {Data(), rowbytes, w, h}; }

  Image Extract() const {
    Image img(w, h, pb);
    if (w > 0)
      for (int y = 0; y < h; ++y) std::memcpy(img.At(0, y), Row(y), static_cast<std::size_t>(w) * pb);
    return img;
  }
  // Whether every byte outside the pixels of each row still holds its canary.
  bool PaddingIs(std::uint8_t canary) const {
    const std::size_t rb = static_cast<std::size_t>(rowbytes < 0 ? -rowbytes : rowbytes);
    for (int y = 0; y < h; ++y)
      for (std::size_t i = static_cast<std::size_t>(w) * pb; i < rb; ++i)
        if (storage[rb * static_cast<std::size_t>(y) + i] != canary) return false;
    return true;
  }
};

// Buffer fills: one byte everywhere, or a pattern that differs from byte to byte.
auto Byte(std::uint8_t v) {
  return [v](std::size_t) { return v; };
}
std::uint8_t Pattern(std::size_t i) { return static_cast<std::uint8_t>(0x5A ^ i); }

bool AllZero(const std::vector<std::uint8_t>& v) {
  return std::all_of(v.begin(), v.end(), [](std::uint8_t b) { return b == 0; });
}

// A call the engine must reject (or, for an empty image, may accept): output and map stay untouched.
void RunFault(int fault, Depth depth, SourceMode mode, const Image& src, Params params, int padIn, int padOut) {
  const int w = src.w, h = src.h;
  const std::size_t pb = src.pb;
  const bool empty = w == 0 || h == 0;
  const Buffer in(w, h, pb, padIn, false, false, Byte(0x5A), &src);
  const std::vector<std::uint8_t> inBefore = in.Bytes();
  const Buffer out(w, h, pb, padOut, false, false, Byte(kOutCanary));
  const std::vector<std::uint8_t> outBefore = out.Bytes();
  std::vector<std::uint8_t> map(tessaline::EdgeMapBytes(w, h), 0);

  ImageView iv = in.View();
  MutableImageView ov = out.Mutable();
  std::uint8_t* mapPtr = map.data();
  // Faults 0..9: a parameter out of its range.
  static constexpr struct {
    std::int32_t Params::*field;
    std::int32_t value;
  } kBadParams[] = {
      {&Params::softness, -1},           {&Params::softness, 101},          {&Params::bias, -1},
      {&Params::bias, 101},              {&Params::colorThreshold, -1},     {&Params::colorThreshold, 1021},
      {&Params::keyColorThreshold, -1},  {&Params::keyColorThreshold, 1021}, {&Params::softness, INT_MAX},
      {&Params::colorThreshold, INT_MIN},
  };
  RenderStatus expected = empty ? RenderStatus::Ok : RenderStatus::BadView;  // a null pointer
  switch (fault) {
    case 10: ov.width = w + 1; expected = RenderStatus::SizeMismatch; break;
    case 11: ov.height = h + 1; expected = RenderStatus::SizeMismatch; break;
    case 12: iv.data = nullptr; break;
    case 13: ov.data = nullptr; break;
    case 14: mapPtr = nullptr; break;
    case 15:
      expected = RenderStatus::BadView;
      if (h >= 2 && w >= 1) {
        // Rows that overlap: the input rows one byte closer than a row of pixels.
        iv.rowbytes = static_cast<std::ptrdiff_t>(static_cast<std::size_t>(w) * pb) - 1;
        break;
      }
      // A size the engine does not take; it needs no map either.
      switch ((w + h) % 3) {
        case 0: iv.width = ov.width = -1; break;
        case 1: iv.height = ov.height = -1; break;
        default: iv.width = ov.width = tessaline::kMaxWidth + 1; break;
      }
      FUZZ_CHECK(tessaline::EdgeMapBytes(iv.width, iv.height) == 0);
      break;
    default:
      params.*kBadParams[fault].field = kBadParams[fault].value;
      expected = RenderStatus::BadParams;
      break;
  }
  if (empty && (iv.data == nullptr || ov.data == nullptr) && NoNullEmptyViews()) return;
  const RenderStatus status = tessaline::Render(depth, mode, iv, ov, params, mapPtr);
  FUZZ_CHECK(status == expected);
  FUZZ_CHECK(in.Bytes() == inBefore);
  if (status != RenderStatus::Ok || empty) {
    FUZZ_CHECK(out.Bytes() == outBefore);
    FUZZ_CHECK(AllZero(map));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider fdp(data, size);
  std::vector<std::uint8_t> hdr = fdp.ConsumeBytes<std::uint8_t>(kHeaderBytes);
  hdr.resize(kHeaderBytes, 0);
  const bool hostValues = (hdr[14] & 0xF0) == 0xE0;
  // Little endian, from the front like every other field (ConsumeIntegral would read from the back).
  std::uint32_t raw[4] = {};
  if (hostValues) {
    std::vector<std::uint8_t> bytes = fdp.ConsumeBytes<std::uint8_t>(16);
    bytes.resize(16, 0);
    for (int k = 0; k < 16; ++k) raw[k / 4] |= std::uint32_t{bytes[k]} << (8 * (k % 4));
  }
  std::vector<std::uint8_t> pal = fdp.ConsumeBytes<std::uint8_t>(kPaletteBytes);
  pal.resize(kPaletteBytes, 0);
  const std::vector<std::uint8_t> pixelData = fdp.ConsumeRemainingBytes<std::uint8_t>();

  const Depth depth = static_cast<Depth>(hdr[0] % 3);
  const SourceMode mode = static_cast<SourceMode>((hdr[0] / 3) % 3);
  const int w = SizeFromCode(hdr[1]);
  const int h = SizeFromCode(hdr[2]);
  Params params;
  params.colorThreshold = ThresholdFromCode(static_cast<std::uint16_t>(hdr[3] | hdr[4] << 8));
  params.softness = PercentFromCode(hdr[5], kSoftnessSpecial);
  params.bias = PercentFromCode(hdr[6], kBiasSpecial);
  params.keyColor[0] = 255;
  params.keyColor[1] = hdr[7];
  params.keyColor[2] = hdr[8];
  params.keyColor[3] = hdr[9];
  params.keyColorThreshold = ThresholdFromCode(static_cast<std::uint16_t>(hdr[10] | hdr[11] << 8));
  if (hostValues) {
    RenderJob job{};
    job.colorThreshold = static_cast<A_long>(raw[0]);
    job.softness = static_cast<A_long>(raw[1]);
    job.bias = static_cast<A_long>(raw[2]);
    job.keyColorThreshold = static_cast<A_long>(raw[3]);
    job.keyColor = PF_Pixel{hdr[6], hdr[7], hdr[8], hdr[9]};
    job.colorKeyEnable = static_cast<A_char>(mode == SourceMode::Plain ? 0 : (hdr[14] & 0x0F) | 0x10);
    job.invert = static_cast<A_char>(mode == SourceMode::KeyInvert ? hdr[5] | 1 : (mode == SourceMode::Plain ? hdr[5] : 0));
    FUZZ_CHECK(SourceModeOf(job) == mode);
    params = EngineParams(job);
    params.keyColor[0] = 255;
  }
  const int padIn = hdr[12] & 3, padOut = (hdr[12] >> 2) & 3;
  const int padIn2 = (hdr[12] >> 4) & 3, padOut2 = (hdr[12] >> 6) & 3;
  const int pixelSource = hdr[13] & 3;
  const int paletteSize = 2 + std::min((hdr[13] >> 2) & 3, 2);
  const bool bottomUpIn = (hdr[13] & 0x10) != 0, bottomUpOut = (hdr[13] & 0x20) != 0;
  const bool secondThroughStages = (hdr[13] & 0x40) != 0;
  const bool nullIfEmpty = (hdr[13] & 0x80) != 0;

  const std::size_t pb = tessaline::PixelBytes(depth);
  FUZZ_CHECK(pb == (depth == Depth::U8 ? 4u : depth == Depth::U16 ? 8u : 16u));

  RawPixel palette[kPaletteColours] = {};
  for (int c = 0; c < kPaletteColours; ++c) {
    for (int ch = 0; ch < 4; ++ch) {
      const std::size_t i = static_cast<std::size_t>(8 * c + 2 * ch);
      PutChannel(depth, palette[c], ch, static_cast<std::uint8_t>(pal[i] ^ kDefaultPalette[i]),
                 static_cast<std::uint8_t>(pal[i + 1] ^ kDefaultPalette[i + 1]));
    }
  }

  Image src(w, h, pb);
  auto tiled = [&](std::size_t i) -> std::uint8_t { return pixelData.empty() ? 0 : pixelData[i % pixelData.size()]; };
  if (pixelSource == 1) {
    DrawShapes(src, pixelData, palette, paletteSize);
  } else if (pixelSource == 3) {  // raw pixel bytes, tiled
    for (std::size_t i = 0; i < src.bytes.size(); ++i) src.bytes[i] = tiled(i);
  } else {  // palette indices, tiled: one byte per pixel (0) or 2 bits per pixel (2)
    for (std::size_t i = 0; i < static_cast<std::size_t>(w) * static_cast<std::size_t>(h); ++i) {
      const int index = pixelSource == 0 ? tiled(i) : (tiled(i / 4) >> (2 * (i % 4))) & 3;
      std::memcpy(src.bytes.data() + i * pb, palette[index % paletteSize].data(), pb);
    }
  }

  if ((hdr[14] & 0xF0) == 0xF0) {
    RunFault(hdr[14] & 15, depth, mode, src, params, padIn, padOut);
    return 0;
  }

  // The layout helpers in the public header.
  const std::int32_t stride = tessaline::MapStride(w);
  FUZZ_CHECK(stride % 4 == 0 && stride >= w + 5 && stride < w + 9);
  FUZZ_CHECK(tessaline::EdgeMapBytes(w, h) ==
             (static_cast<std::size_t>(h) + 2) * static_cast<std::size_t>(stride));

  // First render.
  const Buffer in(w, h, pb, padIn, bottomUpIn, nullIfEmpty, Pattern, &src);
  const std::vector<std::uint8_t> inBefore = in.Bytes();
  const Buffer out(w, h, pb, padOut, bottomUpOut, nullIfEmpty, Byte(kOutCanary));
  std::vector<std::uint8_t> map(tessaline::EdgeMapBytes(w, h), 0);
  FUZZ_CHECK(tessaline::Render(depth, mode, in.View(), out.Mutable(), params, map.data()) == RenderStatus::Ok);
  FUZZ_CHECK(in.Bytes() == inBefore);
  FUZZ_CHECK(out.PaddingIs(kOutCanary));
  const Image result = out.Extract();

  // The copy stage on its own, against the documented key rule.
  const Image copy = ExpectedCopy(depth, mode, src, params);
  const Buffer staged(w, h, pb, padOut2, bottomUpIn, nullIfEmpty, Byte(kOutCanary));
  tessaline::CopyStage(depth, mode, in.View(), staged.Mutable(), params);
  FUZZ_CHECK(in.Bytes() == inBefore);
  FUZZ_CHECK(staged.PaddingIs(kOutCanary));
  FUZZ_CHECK(staged.Extract().bytes == copy.bytes);

  if (params.softness == 0) {
    FUZZ_CHECK(result.bytes == copy.bytes);
    FUZZ_CHECK(AllZero(map));
  } else {
    FUZZ_CHECK(map == ExpectedMap(depth, copy, params.colorThreshold));
  }

  // Second render: other paddings and orientations, a fresh map, and either Render or the two stages.
  const Buffer in2(w, h, pb, padIn2, !bottomUpIn, false, Byte(0xA5), &src);
  const Buffer out2(w, h, pb, padOut2, !bottomUpOut, false, Byte(0x3C));
  std::vector<std::uint8_t> map2(tessaline::EdgeMapBytes(w, h), 0);
  if (secondThroughStages) {
    tessaline::CopyStage(depth, mode, in2.View(), out2.Mutable(), params);
    tessaline::Smooth(depth, mode, in2.View(), out2.Mutable(), params, map2.data());
  } else {
    FUZZ_CHECK(tessaline::Render(depth, mode, in2.View(), out2.Mutable(), params, map2.data()) ==
               RenderStatus::Ok);
  }
  FUZZ_CHECK(out2.PaddingIs(0x3C));
  FUZZ_CHECK(out2.Extract().bytes == result.bytes);
  FUZZ_CHECK(map2 == map);
  return 0;
}
