// The edge view shows exactly the map the render builds.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "cli_test_support.h"
#include "image_io.h"

namespace tessaline::cli {
namespace {

using namespace test;
using RGB = std::array<std::uint8_t, 3>;

// B is dark grey, W white and V a near white 15 away from it, all opaque; at the default threshold
// of 10 every pair of different pixels is an edge.
//   B B W V
//   B B W V
//   B B B B
constexpr RGB kB{30, 30, 30}, kW{85, 85, 85}, kV{83, 83, 83}, kClear{0, 0, 0};  // dimmed to a third
constexpr RGB kBelow{0, 255, 0}, kRightDiagonal{255, 0, 255}, kBelowDiagonal{0, 255, 255},
    kAll{255, 255, 255};

Params With(int softness, int keyThreshold = 0) {
  return {.softness = softness, .keyColor = {255, 255, 255, 255}, .keyColorThreshold = keyThreshold};
}

TEST(EdgeViewTest, EdgesAreDrawnByKindOverTheDimmedFrame) {
  const ScratchDir dir;
  const std::uint8_t b = 90, w = 255, v = 250;
  const std::vector<std::uint8_t> rgba = {b, b, b, 255, b, b, b, 255, w, w, w, 255, v, v, v, 255,  //
                                          b, b, b, 255, b, b, b, 255, w, w, w, 255, v, v, v, 255,  //
                                          b, b, b, 255, b, b, b, 255, b, b, b, 255, b, b, b, 255};
  WriteSamples(dir / "in.png", 4, 3, 4, rgba);
  const struct {
    const char* what;
    Params params;
    SourceMode mode;
    std::vector<RGB> expected;  // rows top to bottom
  } cases[] = {
      {"plain", With(70), SourceMode::Plain,
       {kB, kRightDiagonal, kRightDiagonal, kV, kB, kRightDiagonal, kAll, kBelow, kB, kB, kB, kB}},
      // The key takes W and V out: transparent pixels are all alike, so the step between them goes.
      {"keyed copy", With(70, 20), SourceMode::Key,
       {kB, kRightDiagonal, kClear, kClear, kB, kRightDiagonal, kBelowDiagonal, kBelow, kB, kB, kB, kB}},
      {"softness 0 detects nothing", With(0), SourceMode::Plain, {kB, kB, kW, kV, kB, kB, kW, kV, kB, kB, kB, kB}},
  };
  const Image in = ReadImage((dir / "in.png").string());
  for (const auto& c : cases) {
    WriteEdges(in, c.params, c.mode, (dir / "edges.png").string());
    const auto view = ReadSamples<std::uint8_t>(dir / "edges.png");
    ASSERT_EQ(view.spec.nchannels, 3) << c.what;
    std::vector<RGB> pixels(view.samples.size() / 3);
    std::memcpy(pixels.data(), view.samples.data(), view.samples.size());
    EXPECT_EQ(pixels, c.expected) << c.what;
  }
}

// Where the diagonals are tested depends on the position in groups of four, so a wide random image
// at every depth and mode compares the stage with what Render leaves in its map.
TEST(EdgeViewTest, TheMapStageBuildsTheMapRenderBuilds) {
  constexpr int kWidth = 37, kHeight = 11;
  // Opaque colours, a transparent one and the key colour, so that flat runs and keyed pixels occur.
  const std::uint8_t palette[4][4] = {{255, 200, 10, 10}, {255, 0, 32, 0}, {0, 50, 50, 50}, {128, 10, 200, 10}};
  std::mt19937 random(5);
  std::vector<int> choice(kWidth * kHeight);
  for (int& c : choice) c = static_cast<int>(random() % 4);
  for (const Depth depth : {Depth::U8, Depth::U16, Depth::F32}) {
    std::vector<std::uint8_t> pixels(PixelBytes(depth) * kWidth * kHeight);
    for (std::size_t i = 0; i < choice.size() * 4; ++i) {
      const std::uint8_t v = palette[choice[i / 4]][i % 4];
      if (depth == Depth::U8) pixels[i] = v;
      if (depth == Depth::U16) reinterpret_cast<std::uint16_t*>(pixels.data())[i] = static_cast<std::uint16_t>(v * 32768 / 255);
      if (depth == Depth::F32) reinterpret_cast<float*>(pixels.data())[i] = v / 255.0f;
    }
    const ImageView in{pixels.data(), static_cast<std::ptrdiff_t>(PixelBytes(depth)) * kWidth, kWidth, kHeight};
    for (const SourceMode mode : {SourceMode::Plain, SourceMode::Key, SourceMode::KeyInvert}) {
      const Params params{.keyColor = {255, 0, 32, 0}, .keyColorThreshold = 30};
      std::vector<std::uint8_t> out(pixels.size()), copy(pixels.size());
      std::vector<std::uint8_t> rendered(EdgeMapBytes(kWidth, kHeight)), staged(rendered.size());
      ASSERT_EQ(Render(depth, mode, in, {out.data(), in.rowbytes, kWidth, kHeight}, params, rendered.data()), RenderStatus::Ok);
      CopyStage(depth, mode, in, {copy.data(), in.rowbytes, kWidth, kHeight}, params);
      EdgeMapStage(depth, {copy.data(), in.rowbytes, kWidth, kHeight}, params, staged.data());
      EXPECT_EQ(staged, rendered) << static_cast<int>(depth) << " " << static_cast<int>(mode);
      EXPECT_NE(staged, std::vector<std::uint8_t>(staged.size(), 0));
    }
  }
}

}  // namespace
}  // namespace tessaline::cli
