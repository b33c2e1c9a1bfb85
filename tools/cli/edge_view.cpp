// The edge view: what the render detects, drawn over the frame, for choosing --color-threshold.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "image_io.h"
#include "image_writer.h"

namespace tessaline::cli {

namespace {

template <class T>
constexpr float kFullScale = 1.0f;
template <>
constexpr float kFullScale<std::uint8_t> = 255.0f;
template <>
constexpr float kFullScale<std::uint16_t> = 32768.0f;

// One channel of a pixel composited over black and dimmed to a third, in 8-bit units.
template <class T>
std::uint8_t Dimmed(T colour, T alpha) {
  const auto unit = [](T v) { return std::clamp(static_cast<float>(v) / kFullScale<T>, 0.0f, 1.0f); };
  return static_cast<std::uint8_t>(std::lround(unit(colour) * unit(alpha) * 85.0f));
}

template <class T>
void DrawEdgeView(const std::vector<std::uint8_t>& copy, const std::vector<std::uint8_t>& map, int width, int height,
                  std::uint8_t* rgb) {
  const auto* argb = reinterpret_cast<const T*>(copy.data());
  const std::int32_t stride = MapStride(width);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* entries = map.data() + static_cast<std::size_t>(y + 1) * stride + 4;
    for (int x = 0; x < width; ++x, argb += 4, rgb += 3) {
      const std::uint8_t e = entries[x];
      if (e == 0) {
        for (int k = 0; k < 3; ++k) rgb[k] = Dimmed(argb[k + 1], argb[0]);
        continue;
      }
      rgb[0] = (e & EdgeRight) != 0 ? 255 : 0;
      rgb[1] = (e & EdgeBelow) != 0 ? 255 : 0;
      rgb[2] = (e & (EdgeDiagonal | EdgeAntiDiagonal)) != 0 ? 255 : 0;
    }
  }
}

}  // namespace

void WriteEdges(const Image& input, const Params& params, SourceMode mode, const std::string& path) {
  auto writer = CreateWriter(path);
  // The map is built from the copy the render would smooth: keyed, in the key modes.
  std::vector<std::uint8_t> copy(input.pixels.size());
  const MutableImageView copyView{copy.data(), input.RowBytes(), input.width, input.height};
  CopyStage(input.depth, mode, input.View(), copyView, params);
  std::vector<std::uint8_t> map(EdgeMapBytes(input.width, input.height));
  EdgeMapStage(input.depth, {copy.data(), input.RowBytes(), input.width, input.height}, params, map.data());

  std::vector<std::uint8_t> rgb(3 * static_cast<std::size_t>(input.width) * static_cast<std::size_t>(input.height));
  switch (input.depth) {
    case Depth::U8:
      DrawEdgeView<std::uint8_t>(copy, map, input.width, input.height, rgb.data());
      break;
    case Depth::U16:
      DrawEdgeView<std::uint16_t>(copy, map, input.width, input.height, rgb.data());
      break;
    case Depth::F32:
      DrawEdgeView<float>(copy, map, input.width, input.height, rgb.data());
      break;
  }
  const OIIO::ImageSpec spec(input.width, input.height, 3, OIIO::TypeDesc::UINT8);
  WriteImageFile(std::move(writer), path, {{spec, rgb.data()}});
}

}  // namespace tessaline::cli
