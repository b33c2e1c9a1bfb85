#include "image_io.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "cli_test_support.h"
#include "tool.h"

namespace tessaline::cli {
namespace {

using test::ReadSamples;
using test::ScratchDir;
using test::WriteSamples;

TEST(SixteenBitMappingTest, EndsAndFirstStepsAreExact) {
  EXPECT_EQ(FileToEngine16(0), 0);
  EXPECT_EQ(FileToEngine16(1), 1);
  EXPECT_EQ(FileToEngine16(2), 1);
  EXPECT_EQ(FileToEngine16(3), 2);
  EXPECT_EQ(FileToEngine16(32768), 16384);
  EXPECT_EQ(FileToEngine16(65534), 32767);
  EXPECT_EQ(FileToEngine16(65535), 32768);
  EXPECT_EQ(EngineToFile16(0), 0);
  EXPECT_EQ(EngineToFile16(1), 2);
  EXPECT_EQ(EngineToFile16(16384), 32768);
  EXPECT_EQ(EngineToFile16(32767), 65533);
  EXPECT_EQ(EngineToFile16(32768), 65535);
}

TEST(SixteenBitMappingTest, EveryValueMapsInMonotonicallyAndEveryEngineValueSurvivesTheFile) {
  std::uint16_t previous = 0;
  for (std::uint32_t v = 0; v <= 65535; ++v) {
    const auto file = static_cast<std::uint16_t>(v);
    if (v <= 32768) {
      ASSERT_EQ(FileToEngine16(EngineToFile16(file)), v);  // v as an engine value
    }
    const std::uint16_t u = FileToEngine16(file);
    ASSERT_LE(u, 32768) << v;
    ASSERT_GE(u, previous) << v;
    previous = u;
    // A file value settles after one trip, one step away at most.
    const std::uint16_t back = EngineToFile16(u);
    ASSERT_LE(back > file ? back - file : file - back, 1) << v;
    ASSERT_EQ(FileToEngine16(back), u) << v;
  }
}

// One channel layout at one sample type, written as a small file.
struct LayoutCase {
  std::string name;
  OIIO::TypeDesc fileType;
  const char* extension;
  int channels;

  friend void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }
};

std::string CaseName(const testing::TestParamInfo<LayoutCase>& info) { return info.param.name; }

class ConversionTest : public testing::TestWithParam<LayoutCase> {
 protected:
  static constexpr int kWidth = 7;
  static constexpr int kHeight = 5;

  // File samples that a file of this type stores exactly and a 16-bit file gets back from the
  // engine, with semi-transparent and transparent pixels that keep their colour.
  template <class T>
  std::vector<T> Pattern() const {
    const LayoutCase& c = GetParam();
    std::mt19937 random(1234);
    std::vector<T> samples(kWidth * kHeight * c.channels);
    for (std::size_t i = 0; i < samples.size(); ++i) {
      if constexpr (std::is_same_v<T, std::uint8_t>) {
        samples[i] = static_cast<T>(random() % 256);
      } else if constexpr (std::is_same_v<T, std::uint16_t>) {
        samples[i] = EngineToFile16(static_cast<std::uint16_t>(random() % 32769));
      } else {
        // -0.5..1.5, beyond the nominal range because the kernels take what the file holds; a half
        // holds every multiple of 1/1024 there exactly.
        const bool half = c.fileType == OIIO::TypeDesc::HALF;
        samples[i] = static_cast<float>(random() % (half ? 2049 : 4001)) / (half ? 1024.0f : 2000.0f) - 0.5f;
      }
    }
    if (c.channels == 2 || c.channels == 4) {
      // Pixel 0 transparent and pixel 1 barely visible, both bright: premultiplying would lose them.
      T bright{}, faint{};
      if constexpr (std::is_same_v<T, std::uint8_t>) {
        bright = 255, faint = 1;
      } else if constexpr (std::is_same_v<T, std::uint16_t>) {
        bright = 65535, faint = EngineToFile16(1);
      } else {
        bright = 1.0f, faint = 1.0f / 1024.0f;
      }
      const int a = c.channels - 1;
      samples[a] = 0;
      samples[c.channels + a] = faint;
      for (int channel = 0; channel < a; ++channel) samples[channel] = samples[c.channels + channel] = bright;
    }
    return samples;
  }

  template <class T>
  void RoundTripUnchanged(Depth expectedDepth, T fullScale, T (*toEngine)(T)) {
    const LayoutCase& c = GetParam();
    const ScratchDir dir;
    const std::vector<T> written = Pattern<T>();
    const OIIO::TypeDesc memory = OIIO::BaseTypeFromC<T>::value;
    const std::string inName = std::string("in.") + c.extension, outName = std::string("out.") + c.extension;
    WriteSamples(dir / inName, kWidth, kHeight, c.channels, c.fileType, memory, written.data());

    const Image in = ReadImage((dir / inName).string());
    ASSERT_EQ(in.depth, expectedDepth);
    ASSERT_EQ(in.width, kWidth);
    ASSERT_EQ(in.height, kHeight);
    ASSERT_EQ(in.pixels.size(), sizeof(T) * 4 * kWidth * kHeight);
    EXPECT_EQ(in.HasAlpha(), c.channels == 2 || c.channels == 4);

    // What the engine sees: grey spread to R, G and B; no alpha channel means full alpha.
    const T* argb = reinterpret_cast<const T*>(in.pixels.data());
    for (int i = 0; i < kWidth * kHeight; ++i) {
      const T* f = &written[static_cast<std::size_t>(i * c.channels)];
      const T* p = argb + 4 * i;
      const bool colour = c.channels >= 3;
      const bool alpha = c.channels == 2 || c.channels == 4;
      ASSERT_EQ(p[0], alpha ? toEngine(f[c.channels - 1]) : fullScale) << i;
      ASSERT_EQ(p[1], toEngine(f[0])) << i;
      ASSERT_EQ(p[2], toEngine(f[colour ? 1 : 0])) << i;
      ASSERT_EQ(p[3], toEngine(f[colour ? 2 : 0])) << i;
    }

    Params noOp;
    noOp.softness = 0;
    WriteImage(RenderImage(in, noOp, SourceMode::Plain), (dir / outName).string());
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{inName, outName}));  // no temporary file left

    const auto out = ReadSamples<T>(dir / outName);
    EXPECT_EQ(out.spec.format, c.fileType);
    EXPECT_EQ(out.spec.nchannels, c.channels);
    EXPECT_EQ(out.spec.alpha_channel, in.fileSpec.alpha_channel);
    ASSERT_EQ(out.samples.size(), written.size());
    EXPECT_EQ(std::memcmp(out.samples.data(), written.data(), written.size() * sizeof(T)), 0);
  }
};

TEST_P(ConversionTest, SamplesComeBackUnchangedThroughANoOpRender) {
  switch (GetParam().fileType.basetype) {
    case OIIO::TypeDesc::UINT8:
      return RoundTripUnchanged<std::uint8_t>(Depth::U8, 255, [](std::uint8_t v) { return v; });
    case OIIO::TypeDesc::UINT16:
      return RoundTripUnchanged<std::uint16_t>(Depth::U16, 32768, FileToEngine16);
    default:
      return RoundTripUnchanged<float>(Depth::F32, 1.0f, [](float v) { return v; });
  }
}

// Every channel layout at every sample type, in a format that stores it.
std::vector<LayoutCase> AllLayouts() {
  static const char* const kLayouts[] = {"Grey", "GreyAlpha", "Rgb", "Rgba"};
  const LayoutCase types[] = {{"8", OIIO::TypeDesc::UINT8, "png", 0}, {"16", OIIO::TypeDesc::UINT16, "png", 0},
                              {"Half", OIIO::TypeDesc::HALF, "exr", 0}, {"Float", OIIO::TypeDesc::FLOAT, "tif", 0}};
  std::vector<LayoutCase> cases;
  for (const LayoutCase& type : types)
    for (int channels = 1; channels <= 4; ++channels)
      cases.push_back({std::string(kLayouts[channels - 1]) + type.name, type.fileType, type.extension, channels});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Layouts, ConversionTest, testing::ValuesIn(AllLayouts()), CaseName);

TEST(ImageFileTest, UnsupportedSampleTypesAndLayoutsAreRefused) {
  struct Case {
    const char* name;
    int channels;
    OIIO::TypeDesc type;
    int alphaChannel;
    std::vector<std::string> channelNames;
    std::string error;  // after the quoted file name
  };
  const std::string types =
      " samples, which tessaline cannot smooth; convert it to 8-bit or 16-bit unsigned integer, "
      "half or float";
  const std::string layouts = "; tessaline smooths grey, grey+alpha, RGB or RGBA images with alpha last only";
  const Case cases[] = {
      {"u32.tif", 3, OIIO::TypeDesc::UINT32, -1, {}, " stores 32-bit unsigned integer" + types},
      {"f64.tif", 3, OIIO::TypeDesc::DOUBLE, -1, {}, " stores 64-bit floating-point" + types},
      {"s8.tif", 3, OIIO::TypeDesc::INT8, -1, {}, " stores 8-bit signed integer" + types},
      {"s16.tif", 3, OIIO::TypeDesc::INT16, -1, {}, " stores 16-bit signed integer" + types},
      {"five.tif", 5, OIIO::TypeDesc::UINT8, 3, {}, " has 5 channels (R,G,B,A,channel4)" + layouts},
      {"rgbz.exr", 4, OIIO::TypeDesc::HALF, -1, {"R", "G", "B", "Z"}, " has 4 channels (R,G,B,Z)" + layouts},
      {"xy.tif", 2, OIIO::TypeDesc::UINT16, -1, {"X", "Y"}, " has 2 channels (R,G)" + layouts},
  };
  const ScratchDir dir;
  for (const Case& c : cases) {
    const std::string path = (dir / c.name).string();
    OIIO::ImageSpec spec(2, 2, c.channels, c.type);
    spec.alpha_channel = c.alphaChannel;
    if (!c.channelNames.empty()) spec.channelnames = c.channelNames;
    const std::vector<float> samples(4 * static_cast<std::size_t>(c.channels), 0.25f);
    auto out = OIIO::ImageOutput::create(path);
    ASSERT_TRUE(out && out->open(path, spec) && out->write_image(OIIO::TypeDesc::FLOAT, samples.data()) &&
                out->close());
    try {
      ReadImage(path);
      ADD_FAILURE() << c.name << " was read";
    } catch (const CliError& e) {
      EXPECT_EQ(e.what(), "'" + path + "'" + c.error);
    }
  }
}

TEST(ImageFileTest, GreyIsWrittenFromTheRedChannel) {
  const ScratchDir dir;
  const std::vector<std::uint8_t> grey{90, 91};
  WriteSamples(dir / "grey.png", 2, 1, 1, OIIO::TypeDesc::UINT8, OIIO::TypeDesc::UINT8, grey.data());
  Image image = ReadImage((dir / "grey.png").string());
  image.pixels = {255, 7, 8, 9, 255, 17, 18, 19};
  WriteImage(image, (dir / "out.png").string());
  EXPECT_EQ(ReadSamples<std::uint8_t>(dir / "out.png").samples, (std::vector<std::uint8_t>{7, 17}));
}

}  // namespace
}  // namespace tessaline::cli
