#include "golden_cases.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "engine.h"
#include "pixel.h"

namespace tessaline::golden {
namespace {

// splitmix64: the same numbers on every platform and library, unlike the standard distributions.
// Every draw below is part of what the recorded lines depend on: keep their order.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <class T>
  const T& Pick(const std::vector<T>& values) {
    return values[static_cast<std::size_t>(Below(static_cast<int>(values.size())))];
  }

 private:
  std::uint64_t state_;
};

enum class Kind { Cel, Stairs, Lines, Noise, Transparent, Keyed };
const char* const kKindNames[] = {"cel", "stairs", "lines", "noise", "transparent", "keyed"};

// A picture in 8-bit ARGB plus, per pixel, a small signed offset that the deeper depths add below
// 8-bit precision (so that thresholds are met between 8-bit levels too).
struct Picture {
  int w = 0, h = 0;
  std::vector<Pixel8> px;
  std::vector<std::int8_t> fine;
  Pixel8& at(int x, int y) { return px[static_cast<std::size_t>(y) * w + x]; }
};

Pixel8 RandomColour(Random& r, bool opaque) {
  const auto c = [&] { return static_cast<std::uint8_t>(r.Below(256)); };
  return {opaque ? std::uint8_t{255} : c(), c(), c(), c()};
}

// A few flat colours, some of them close to each other (within the usual thresholds).
std::vector<Pixel8> Palette(Random& r, int count, bool opaque) {
  std::vector<Pixel8> palette;
  for (int i = 0; i < count; ++i) {
    if (i == 0 || !r.Chance(25)) {
      palette.push_back(RandomColour(r, opaque));
      continue;
    }
    Pixel8 near = palette[static_cast<std::size_t>(r.Below(i))];
    near.green = static_cast<std::uint8_t>(std::clamp(near.green + r.Between(-12, 12), 0, 255));
    palette.push_back(near);
  }
  return palette;
}

// Filled rectangles, ellipses and triangles (three half-planes through random points) over a
// background: hard-edged cel shapes with stairs on every slanted or curved border.
void DrawShapes(Picture& p, Random& r, const std::vector<Pixel8>& palette, int shapes) {
  std::fill(p.px.begin(), p.px.end(), r.Pick(palette));
  for (int s = 0; s < shapes; ++s) {
    const Pixel8 c = r.Pick(palette);
    const int kind = r.Below(3);
    const double cx = r.Between(-2, p.w + 1), cy = r.Between(-2, p.h + 1);
    const double rx = 0.5 + r.Below(std::max(1, p.w)), ry = 0.5 + r.Below(std::max(1, p.h));
    double tx[3], ty[3];
    for (int k = 0; k < 3; ++k) tx[k] = r.Between(-p.w / 2, p.w + p.w / 2), ty[k] = r.Between(-p.h / 2, p.h + p.h / 2);
    for (int y = 0; y < p.h; ++y)
      for (int x = 0; x < p.w; ++x) {
        const double dx = (x - cx) / rx, dy = (y - cy) / ry;
        bool inside = kind == 0 ? std::abs(x - cx) <= rx / 2 && std::abs(y - cy) <= ry / 2 : dx * dx + dy * dy <= 1.0;
        if (kind == 2) {
          int sign = 0;
          inside = true;
          for (int k = 0; k < 3 && inside; ++k) {
            const int j = (k + 1) % 3;
            const double cross = (tx[j] - tx[k]) * (y - ty[k]) - (ty[j] - ty[k]) * (x - tx[k]);
            const int side = (cross > 0) - (cross < 0);
            inside = !(side != 0 && sign != 0 && side != sign);
            if (side != 0) sign = side;
          }
        }
        if (inside) p.at(x, y) = c;
      }
  }
}

// Staircases: borders that step by one pixel after treads of random lengths, in both orientations.
void DrawStairs(Picture& p, Random& r, const std::vector<Pixel8>& palette) {
  const Pixel8 a = palette[0], b = palette[1 % palette.size()];
  const bool vertical = r.Chance(50);
  const int along = vertical ? p.h : p.w, across = vertical ? p.w : p.h;
  int level = r.Below(std::max(1, across));
  int tread = r.Between(1, 8);
  const int direction = r.Chance(50) ? 1 : -1;
  for (int i = 0; i < along; ++i) {
    if (--tread == 0) level += direction, tread = r.Chance(20) ? r.Between(1, 12) : r.Between(2, 5);
    for (int j = 0; j < across; ++j) (vertical ? p.at(j, i) : p.at(i, j)) = j < level ? a : b;
  }
}

// One-pixel lines (Bresenham): horizontal, vertical, 45-degree and arbitrary slopes.
void DrawLines(Picture& p, Random& r, const std::vector<Pixel8>& palette, int lines) {
  std::fill(p.px.begin(), p.px.end(), palette[0]);
  for (int l = 0; l < lines; ++l) {
    const Pixel8 c = palette[1 + static_cast<std::size_t>(r.Below(static_cast<int>(palette.size()) - 1))];
    int x0 = r.Below(p.w), y0 = r.Below(p.h), x1 = r.Below(p.w), y1 = r.Below(p.h);
    const int slope = r.Below(4), n = std::min(std::abs(x1 - x0), std::abs(y1 - y0));
    if (slope == 0) y1 = y0;
    if (slope == 1) x1 = x0;
    if (slope == 2) x1 = x0 + (x1 >= x0 ? n : -n), y1 = y0 + (y1 >= y0 ? n : -n);
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0), sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy;;) {
      p.at(x0, y0) = c;
      if (x0 == x1 && y0 == y1) break;
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, x0 += sx;
      if (e2 <= dx) err += dx, y0 += sy;
    }
  }
}

struct Case {
  Kind kind;
  Picture picture;
  Params params;
  bool wide16 = false;  // 16-bit samples beyond the host's 0..32768
  bool hdr = false;     // float samples beyond 0..1, and a few infinities and NaNs
};

Case MakeCase(int index) {
  Random r(static_cast<std::uint64_t>(index) + 1);
  Case c;
  c.kind = static_cast<Kind>(index % 6);
  Picture& p = c.picture;
  p.w = r.Pick<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 16, 17, 24, 31, 40, 64});
  p.h = r.Pick<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 16, 17, 24, 31, 40, 64});
  if (index % 97 == 0) p.w = r.Between(100, 260), p.h = r.Between(60, 160);  // a few larger ones
  p.px.assign(static_cast<std::size_t>(p.w) * p.h, Pixel8{});
  p.fine.assign(p.px.size(), 0);

  const bool opaque = c.kind != Kind::Transparent && r.Chance(70);
  const std::vector<Pixel8> palette = Palette(r, r.Between(2, 6), opaque);
  if (c.kind == Kind::Cel || c.kind == Kind::Keyed || c.kind == Kind::Transparent)
    DrawShapes(p, r, palette, r.Between(1, 6));
  if (c.kind == Kind::Transparent)  // transparent pixels with leftover colour
    for (Pixel8& px : p.px) px.alpha = r.Chance(15) ? 0 : px.alpha;
  if (c.kind == Kind::Stairs) DrawStairs(p, r, palette);
  if (c.kind == Kind::Lines) DrawLines(p, r, palette, r.Between(1, 5));
  if (c.kind == Kind::Noise)
    for (Pixel8& px : p.px) px = r.Chance(50) ? r.Pick(palette) : RandomColour(r, opaque);
  if (r.Chance(30))
    for (std::int8_t& f : p.fine) f = static_cast<std::int8_t>(r.Between(-60, 60));
  c.wide16 = c.kind == Kind::Noise && r.Chance(30);
  c.hdr = r.Chance(12);

  Params& params = c.params;
  params.colorThreshold = r.Pick<int>({0, 1, 5, 10, 10, 10, 30, 100, 400, 1020});
  params.softness = index % 50 == 0 ? 0 : r.Pick<int>({0, 1, 10, 35, 50, 70, 70, 85, 100});
  params.bias = r.Pick<int>({0, 0, 15, 33, 50, 100});
  const Pixel8 key = c.kind == Kind::Keyed || r.Chance(60) ? r.Pick(palette) : RandomColour(r, true);
  params.keyColor[1] = key.red, params.keyColor[2] = key.green, params.keyColor[3] = key.blue;
  params.keyColorThreshold = r.Pick<int>({0, 0, 10, 50, 200, 1020});
  return c;
}

// The picture at each depth. 16-bit: 8-bit levels scaled to 0..32768 plus the fine offset (or, for
// wide cases, spread over the whole 16-bit range); float: divided by 255, plus the fine offset, and
// for HDR cases scaled, shifted below zero, with infinities and NaNs here and there.
std::vector<Pixel16> As16(const Case& c) {
  std::vector<Pixel16> out;
  for (std::size_t i = 0; i < c.picture.px.size(); ++i) {
    const auto conv = [&](int v) {
      const int base = c.wide16 ? v * 257 : (v * 32768 + 127) / 255;
      return static_cast<std::uint16_t>(std::clamp(base + c.picture.fine[i], 0, c.wide16 ? 65535 : 32768));
    };
    const Pixel8& p = c.picture.px[i];
    out.push_back({conv(p.alpha), conv(p.red), conv(p.green), conv(p.blue)});
  }
  return out;
}

std::vector<PixelF> AsFloat(const Case& c) {
  std::vector<PixelF> out;
  Random r(static_cast<std::uint64_t>(c.picture.w) * 7919 + static_cast<std::uint64_t>(c.picture.h));
  for (std::size_t i = 0; i < c.picture.px.size(); ++i) {
    const auto conv = [&](int v, bool alpha) {
      const float f = static_cast<float>(v) / 255.0f + static_cast<float>(c.picture.fine[i]) / 32768.0f;
      if (!c.hdr || alpha) return f;
      const float specials[] = {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(), -0.0f};
      const int special = r.Below(200);
      return special < 3 ? specials[special] : f * 4.0f - 0.5f;
    };
    const Pixel8& p = c.picture.px[i];
    out.push_back({conv(p.alpha, true), conv(p.red, false), conv(p.green, false), conv(p.blue, false)});
  }
  return out;
}

// Renders `pixels` in rows padded by two pixels (so that row strides are honoured) and hashes the
// status and the output pixels, not the padding (FNV-1a, folded to 32 bits).
template <class P>
std::uint32_t RenderHash(Depth depth, SourceMode mode, const std::vector<P>& pixels, int w, int h, const Params& p) {
  const std::ptrdiff_t rowbytes = static_cast<std::ptrdiff_t>(sizeof(P)) * (w + 2);
  std::vector<unsigned char> in(static_cast<std::size_t>(rowbytes) * h, 0x5A), out(in.size(), 0xC3);
  for (int y = 0; y < h; ++y)
    std::memcpy(in.data() + rowbytes * y, &pixels[static_cast<std::size_t>(y) * w], sizeof(P) * w);
  std::vector<std::uint8_t> map(EdgeMapBytes(w, h), 0);
  const RenderStatus status =
      Render(depth, mode, {in.data(), rowbytes, w, h}, {out.data(), rowbytes, w, h}, p, map.data());
  std::uint64_t hash = 0xCBF29CE484222325ull ^ static_cast<std::uint64_t>(status);
  for (int y = 0; y < h; ++y)
    for (std::size_t i = 0; i < sizeof(P) * w; ++i) hash = (hash ^ out[rowbytes * y + i]) * 0x100000001B3ull;
  return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

}  // namespace

int CaseCount() { return 2400; }

std::string CaseLine(int index) {
  const Case c = MakeCase(index);
  const Params& p = c.params;
  char text[160];
  std::snprintf(text, sizeof text, "%04d %dx%d %s%s%s t=%d s=%d b=%d key=%d,%d,%d/%d :", index, c.picture.w,
                c.picture.h, kKindNames[static_cast<int>(c.kind)], c.wide16 ? "+wide" : "", c.hdr ? "+hdr" : "",
                p.colorThreshold, p.softness, p.bias, p.keyColor[1], p.keyColor[2], p.keyColor[3], p.keyColorThreshold);
  std::string line = text;
  const auto hashes = [&](Depth depth, const auto& pixels) {
    for (const SourceMode mode : {SourceMode::Plain, SourceMode::Key, SourceMode::KeyInvert}) {
      std::snprintf(text, sizeof text, " %08x", RenderHash(depth, mode, pixels, c.picture.w, c.picture.h, p));
      line += text;
    }
  };
  hashes(Depth::U8, c.picture.px);
  hashes(Depth::U16, As16(c));
  hashes(Depth::F32, AsFloat(c));
  return line;
}

}  // namespace tessaline::golden
