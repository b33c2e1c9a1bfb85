// Small images for engine tests: pixels of one depth with padded rows, built from ASCII drawings, and
// edge maps built from them or written by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "depth_traits.h"
#include "edge_map.h"
#include "engine.h"
#include "frame.h"
#include "pixel.h"

namespace tessaline::test {

template <class P>
class Image {
 public:
  // Rows are padded by `padPixels` extra pixels so that stride mistakes show.
  Image(int w, int h, P fill = P{}, int padPixels = 3)
      : w_(w), h_(h), rowbytes_(static_cast<std::ptrdiff_t>(sizeof(P)) * (w + padPixels)),
        bytes_(static_cast<std::size_t>(rowbytes_) * h, 0xA5) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) at(x, y) = fill;
  }
  int width() const { return w_; }
  int height() const { return h_; }
  std::ptrdiff_t rowbytes() const { return rowbytes_; }
  P& at(int x, int y) { return reinterpret_cast<P*>(bytes_.data() + rowbytes_ * y)[x]; }
  const P& at(int x, int y) const { return reinterpret_cast<const P*>(bytes_.data() + rowbytes_ * y)[x]; }
  ImageView view() const { return {bytes_.data(), rowbytes_, w_, h_}; }
  MutableImageView mutableView() { return {bytes_.data(), rowbytes_, w_, h_}; }
  const std::vector<unsigned char>& bytes() const { return bytes_; }

 private:
  int w_, h_;
  std::ptrdiff_t rowbytes_;
  std::vector<unsigned char> bytes_;
};

// Draws rows of characters: each character picks a pixel from `palette` by its position in `keys`.
template <class P>
Image<P> Draw(const std::vector<std::string>& rows, const std::string& keys, const std::vector<P>& palette,
              int padPixels = 3) {
  Image<P> img(static_cast<int>(rows.empty() ? 0 : rows[0].size()), static_cast<int>(rows.size()), P{}, padPixels);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) img.at(x, y) = palette.at(keys.find(rows[y][x]));
  return img;
}

// Opaque greys at each depth's scale.
inline Pixel8 Grey8(int v) {
  const auto c = static_cast<std::uint8_t>(v);
  return {255, c, c, c};
}
inline Pixel16 Grey16(int v) {
  const auto c = static_cast<std::uint16_t>(v);
  return {32768, c, c, c};
}
inline PixelF GreyF(float v) { return {1.0f, v, v, v}; }

// An 8-bit drawing in black '.', white '#' and mid-grey 'o'.
inline Image<Pixel8> DrawGrey(const std::vector<std::string>& rows) {
  return Draw<Pixel8>(rows, ".#o", {Grey8(0), Grey8(255), Grey8(128)});
}

// An 8-bit image at the deeper depths: 16-bit rounded to the nearest level, float divided.
inline Pixel16 To16(const Pixel8& p) {
  auto c = [](int v) { return static_cast<std::uint16_t>((v * 32768 + 127) / 255); };
  return {c(p.alpha), c(p.red), c(p.green), c(p.blue)};
}
inline PixelF ToF(const Pixel8& p) { return {p.alpha / 255.0f, p.red / 255.0f, p.green / 255.0f, p.blue / 255.0f}; }
template <class P>
Image<P> Convert(const Image<Pixel8>& img, P (*convert)(const Pixel8&)) {
  Image<P> out(img.width(), img.height());
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) out.at(x, y) = convert(img.at(x, y));
  return out;
}

// Expects every pixel of `img` to be bit-identical to want(x, y), and the padding of every row to
// hold its fill still.
template <class P, class Want>
void ExpectPixels(const Image<P>& img, Want want, const std::string& what = "") {
  int padding = 0;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x)
      EXPECT_TRUE(SameBits(img.at(x, y), static_cast<P>(want(x, y)))) << what << " at " << x << "," << y;
    for (auto i = y * img.rowbytes() + img.width() * std::ptrdiff_t{sizeof(P)}; i < (y + 1) * img.rowbytes(); ++i)
      padding += img.bytes()[static_cast<std::size_t>(i)] != 0xA5;
  }
  EXPECT_EQ(padding, 0) << what << ": bytes written past the pixels";
}
template <class P>
void ExpectSameImage(const Image<P>& img, const Image<P>& want, const std::string& what = "") {
  ExpectPixels(img, [&](int x, int y) { return want.at(x, y); }, what);
}

// A table of calls fn(first, second, third) and what each must return; pixels compare bit for bit.
template <class P, class T, class R>
struct CallCase {
  P first, second;
  T third;
  R want;
};
inline bool Same(bool a, bool b) { return a == b; }
template <class P>
bool Same(const P& a, const P& b) { return SameBits(a, b); }
template <class P, class T, class R, class Fn>
void CheckCalls(Fn fn, std::initializer_list<CallCase<P, T, R>> cases) {
  int i = 0;
  for (const auto& c : cases) EXPECT_TRUE(Same(R(fn(c.first, c.second, c.third)), c.want)) << "case " << i++;
}

// An edge map kept with its buffer: built from an image, or written by hand as one hex digit per
// entry ('.' for 0).
struct Map {
  std::int32_t stride;
  std::vector<std::uint8_t> buffer;
  EdgeMapView view;
  Map(int w, int h)
      : stride(MapStride(w)), buffer(EdgeMapBytes(w, h)), view{MapOrigin(buffer.data(), stride), stride} {}
  Map(Map&&) = default;  // the view stays on the moved buffer
  std::uint8_t at(int x, int y) const { return view.E(x, y); }
};
template <class D>
Map BuildMap(const Image<typename D::Pixel>& img, typename D::Value threshold) {
  Map m(img.width(), img.height());
  BuildEdgeMap<D>(static_cast<const unsigned char*>(img.view().data), img.rowbytes(), img.width(), img.height(),
                  threshold, m.buffer.data(), m.stride);
  return m;
}
// The map of a DrawGrey drawing at threshold 10.
inline Map MapOf(const std::vector<std::string>& rows) { return BuildMap<Depth8>(DrawGrey(rows), 10); }
inline std::uint8_t HexEntry(char c) {
  return c == '.' ? 0 : static_cast<std::uint8_t>(std::stoi(std::string(1, c), nullptr, 16));
}
inline Map HandMap(const std::vector<std::string>& bits) {
  Map m(static_cast<int>(bits[0].size()), static_cast<int>(bits.size()));
  for (std::size_t y = 0; y < bits.size(); ++y)
    for (std::size_t x = 0; x < bits[0].size(); ++x) m.buffer[(y + 1) * m.stride + 4 + x] = HexEntry(bits[y][x]);
  return m;
}

// Renders through the public entry point.
template <class P>
Image<P> RenderImage(Depth depth, SourceMode mode, const Image<P>& in, const Params& params, int outPadPixels = 1) {
  Image<P> out(in.width(), in.height(), P{}, outPadPixels);
  std::vector<std::uint8_t> map(EdgeMapBytes(in.width(), in.height()));
  EXPECT_EQ(Render(depth, mode, in.view(), out.mutableView(), params, map.data()), RenderStatus::Ok);
  return out;
}

// A frame over an input and output image and a map, for calling the scan's pieces directly.
template <class D, SourceMode M = SourceMode::Plain>
Frame<D, M> MakeFrame(const Image<typename D::Pixel>& in, Image<typename D::Pixel>& out, const Map& map,
                      const Params& params) {
  return {static_cast<const unsigned char*>(in.view().data), in.rowbytes(),
          static_cast<unsigned char*>(out.mutableView().data), out.rowbytes(),
          in.width(), in.height(), map.view, DerivedValues<D>(params)};
}

}  // namespace tessaline::test
