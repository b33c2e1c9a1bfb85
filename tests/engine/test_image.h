// Small images for engine tests: pixels of one depth with padded rows, built from ASCII drawings.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

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
Image<P> Draw(const std::vector<std::string>& rows, const std::string& keys, const std::vector<P>& palette) {
  Image<P> img(static_cast<int>(rows.empty() ? 0 : rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) img.at(x, y) = palette.at(keys.find(rows[y][x]));
  return img;
}

// Opaque grey levels at each depth, from an 8-bit level.
inline Pixel8 Grey8(int v, int a = 255) {
  return {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v),
          static_cast<std::uint8_t>(v)};
}
inline Pixel16 Grey16(int v, int a = 32768) {
  return {static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(v), static_cast<std::uint16_t>(v),
          static_cast<std::uint16_t>(v)};
}
inline PixelF GreyF(float v, float a = 1.0f) { return {a, v, v, v}; }

// An edge map built from an image, kept with its buffer.
struct Map {
  std::int32_t stride;
  std::vector<std::uint8_t> buffer;
  EdgeMapView view;
  std::uint8_t at(int x, int y) const { return view.E(x, y); }
};

template <class D>
Map BuildMap(const Image<typename D::Pixel>& img, typename D::Value threshold) {
  Map m{MapStride(img.width()), std::vector<std::uint8_t>(EdgeMapBytes(img.width(), img.height())), {}};
  BuildEdgeMap<D>(static_cast<const unsigned char*>(img.view().data), img.rowbytes(), img.width(),
                  img.height(), threshold, m.buffer.data(), m.stride);
  m.view = EdgeMapView{MapOrigin(m.buffer.data(), m.stride), m.stride};
  return m;
}

// A map written by hand: `bits` lists the entry of each pixel as hex digits, one string per row.
inline Map HandMap(const std::vector<std::string>& bits) {
  const int w = static_cast<int>(bits[0].size()), h = static_cast<int>(bits.size());
  Map m{MapStride(w), std::vector<std::uint8_t>(EdgeMapBytes(w, h)), {}};
  std::uint8_t* origin = MapOrigin(m.buffer.data(), m.stride);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const char c = bits[y][x];
      origin[y * m.stride + x] = static_cast<std::uint8_t>(c == '.' ? 0 : std::stoi(std::string(1, c), nullptr, 16));
    }
  m.view = EdgeMapView{origin, m.stride};
  return m;
}

// Renders through the public entry point.
template <class P>
Image<P> RenderImage(Depth depth, SourceMode mode, const Image<P>& in, const Params& params) {
  Image<P> out(in.width(), in.height(), P{}, 1);
  std::vector<std::uint8_t> map(EdgeMapBytes(in.width(), in.height()));
  EXPECT_EQ(Render(depth, mode, in.view(), out.mutableView(), params, map.data()), RenderStatus::Ok);
  return out;
}

// A frame over an input and output image and a map, for calling the scan's pieces directly.
template <class D, SourceMode M = SourceMode::Plain>
Frame<D, M> MakeFrame(const Image<typename D::Pixel>& in, Image<typename D::Pixel>& out, const Map& map,
                      const Params& params) {
  return Frame<D, M>{static_cast<const unsigned char*>(in.view().data),
                     in.rowbytes(),
                     static_cast<unsigned char*>(out.mutableView().data),
                     out.rowbytes(),
                     in.width(),
                     in.height(),
                     map.view,
                     DerivedValues<D>(params)};
}

}  // namespace tessaline::test
