#include "image_io.h"

#include <OpenEXR/ImfArray.h>
#include <OpenEXR/ImfRgbaFile.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "cli_test_support.h"
#include "image_writer.h"
#include "tool.h"

namespace tessaline::cli {
namespace {

using namespace test;
namespace fs = std::filesystem;

// Ends and first steps exactly; then every value: file values map in monotonically, every engine
// value survives the file, and a file value settles after one trip, one step away at most.
TEST(SixteenBitMappingTest, MapsExactlyAndEveryEngineValueSurvivesTheFile) {
  for (const auto& [file, engine] : {std::pair{0, 0}, {1, 1}, {2, 1}, {3, 2}, {32768, 16384}, {65534, 32767}, {65535, 32768}}) {
    EXPECT_EQ(FileToEngine16(file), engine) << file;
  }
  for (const auto& [engine, file] : {std::pair{0, 0}, {1, 2}, {16384, 32768}, {32767, 65533}, {32768, 65535}}) {
    EXPECT_EQ(EngineToFile16(engine), file) << engine;
  }
  std::uint16_t previous = 0;
  for (std::uint32_t v = 0; v <= 65535; ++v) {
    const auto file = static_cast<std::uint16_t>(v);
    if (v <= 32768) {
      ASSERT_EQ(FileToEngine16(EngineToFile16(file)), v);  // v as an engine value
    }
    const std::uint16_t u = FileToEngine16(file), back = EngineToFile16(u);
    ASSERT_TRUE(u <= 32768 && u >= previous) << v;
    ASSERT_LE(back > file ? back - file : file - back, 1) << v;
    ASSERT_EQ(FileToEngine16(back), u) << v;
    previous = u;
  }
}

// One channel layout at one sample type, written as a small file.
struct LayoutCase {
  OIIO::TypeDesc fileType;
  const char* extension;
  int channels;
};

// The brightest sample of a file type.
template <class T>
constexpr T kBright = std::is_floating_point_v<T> ? T(1) : std::numeric_limits<T>::max();

// File samples that a file of this type stores exactly and a 16-bit file gets back from the engine;
// with alpha, pixel 0 is transparent and pixel 1 barely visible, both bright: premultiplying would
// lose them.
template <class T>
std::vector<T> Pattern(const LayoutCase& c, int pixels) {
  std::mt19937 random(1234);
  std::vector<T> samples(static_cast<std::size_t>(pixels * c.channels));
  for (T& sample : samples) {
    if constexpr (std::is_same_v<T, std::uint8_t>) {
      sample = static_cast<T>(random() % 256);
    } else if constexpr (std::is_same_v<T, std::uint16_t>) {
      sample = EngineToFile16(static_cast<std::uint16_t>(random() % 32769));
    } else {
      // -0.5..1.5, beyond the nominal range because the kernels take what the file holds; a half
      // holds every multiple of 1/1024 there exactly.
      const bool half = c.fileType == OIIO::TypeDesc::HALF;
      sample = static_cast<float>(random() % (half ? 2049 : 4001)) / (half ? 1024.0f : 2000.0f) - 0.5f;
    }
  }
  if (c.channels % 2 == 0) {
    const int a = c.channels - 1;
    samples[a] = 0;
    samples[c.channels + a] = std::is_floating_point_v<T> ? T(1.0f / 1024.0f) : T(sizeof(T) == 1 ? 1 : EngineToFile16(1));
    for (int channel = 0; channel < a; ++channel) samples[channel] = samples[c.channels + channel] = kBright<T>;
  }
  return samples;
}

// Every layout is read as the engine needs it and, through a render that changes nothing, written
// back bit for bit.
template <class T>
void RoundTripUnchanged(const LayoutCase& c) {
  constexpr int kWidth = 7, kHeight = 5;
  const ScratchDir dir;
  const std::vector<T> written = Pattern<T>(c, kWidth * kHeight);
  const std::string inName = std::string("in.") + c.extension, outName = std::string("out.") + c.extension;
  WriteSamples(dir / inName, kWidth, kHeight, c.channels, c.fileType, OIIO::BaseTypeFromC<T>::value, written.data());

  const Image in = ReadImage((dir / inName).string());
  const bool alpha = c.channels % 2 == 0;
  ASSERT_EQ(std::tuple(in.depth, in.width, in.height, in.pixels.size(), in.HasAlpha()),
            std::tuple(sizeof(T) == 1 ? Depth::U8 : sizeof(T) == 2 ? Depth::U16 : Depth::F32, kWidth, kHeight,
                       sizeof(T) * 4 * kWidth * kHeight, alpha));
  // What the engine sees: grey spread to R, G and B; no alpha channel means full alpha (32768 for
  // 16 bits); OpenEXR colour divided by alpha where there is alpha to divide by.
  const auto toEngine = [](T v) -> T {
    if constexpr (std::is_same_v<T, std::uint16_t>) return FileToEngine16(v);
    return v;
  };
  std::vector<T> expected;
  for (auto f = written.begin(); f != written.end(); f += c.channels) {
    const T a = alpha ? f[c.channels - 1] : kBright<T>;
    const auto straight = [&](T v) { return c.extension == std::string("exr") && a != T{0} ? T(v / a) : toEngine(v); };
    expected.insert(expected.end(), {toEngine(a), straight(f[0]), straight(f[c.channels / 3]), straight(f[c.channels / 3 * 2])});
  }
  const T* argb = reinterpret_cast<const T*>(in.pixels.data());
  EXPECT_EQ(std::vector<T>(argb, argb + expected.size()), expected);

  WriteImage(RenderImage(in, NoOp(), SourceMode::Plain), (dir / outName).string());
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{inName, outName}));  // no temporary file left
  const auto out = ReadSamples<T>(dir / outName);
  EXPECT_EQ(std::tuple(out.spec.format, out.spec.nchannels, out.spec.alpha_channel),
            std::tuple(c.fileType, c.channels, alpha ? c.channels - 1 : -1));
  ASSERT_EQ(out.samples.size(), written.size());
  EXPECT_EQ(std::memcmp(out.samples.data(), written.data(), written.size() * sizeof(T)), 0);
}

// Every channel layout at every sample type, in a format that stores it.
TEST(ConversionTest, SamplesComeBackUnchangedThroughANoOpRender) {
  for (const auto& [type, extension] : {std::pair{OIIO::TypeDesc::UINT8, "png"}, {OIIO::TypeDesc::UINT16, "png"},
                                         {OIIO::TypeDesc::HALF, "exr"}, {OIIO::TypeDesc::FLOAT, "tif"}}) {
    for (const int channels : {1, 2, 3, 4}) {  // grey, grey and alpha, RGB, RGBA
      const LayoutCase c{type, extension, channels};
      SCOPED_TRACE(std::string(c.fileType.c_str()) + " " + extension + ", channels: " + std::to_string(channels));
      if (c.fileType == OIIO::TypeDesc::UINT8) {
        RoundTripUnchanged<std::uint8_t>(c);
      } else if (c.fileType == OIIO::TypeDesc::UINT16) {
        RoundTripUnchanged<std::uint16_t>(c);
      } else {
        RoundTripUnchanged<float>(c);  // half files too
      }
    }
  }
}

// Reads `in`, renders it and writes `out`.
void Smooth(const fs::path& in, const fs::path& out, const Params& params = NoOp(),
            SourceMode mode = SourceMode::Plain) {
  WriteImage(RenderImage(ReadImage(in.string()), params, mode), out.string());
}

Params KeyGreenOnly() { return {.softness = 0, .keyColor = {255, 0, 255, 0}}; }

struct CarryCase {
  const char* name;
  const char* file;
  std::vector<Part> parts;
  std::size_t smoothed;
  bool premultiplied;
};

TEST(ImageFileTest, EveryPartPageAndChannelIsCarriedThroughAndOnlyTheChosenColourChanges) {
  using T = OIIO::TypeDesc;
  const CarryCase cases[] = {
      {"multi-part EXR with extra channels and layers", "parts.exr",
       {MakePart(3, 2, {"Z"}, {T::FLOAT}, "depth"),
        MakePart(3, 2, {"R", "G", "B", "A", "Z", "diffuse.R"}, {T::HALF, T::HALF, T::HALF, T::HALF, T::FLOAT, T::HALF},
                 "beauty"),
        MakePart(3, 2, {"R", "G", "B", "N.X"}, {T::HALF}, "normals")},
       1, true},
      {"multi-page TIFF", "pages.tif",
       {MakePart(4, 2, {"R", "G", "B", "A", "X"}, {T::UINT16}, "", true), MakePart(3, 3, {"Y"}, {T::UINT8}),
        MakePart(2, 2, {"R", "G", "B"}, {T::FLOAT})},
       0, false},
  };
  for (const CarryCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ScratchDir dir;
    const fs::path out = dir / ("out" + fs::path(c.file).extension().string());
    WriteParts(dir / c.file, c.parts);
    const std::vector<Part> before = ReadParts(dir / c.file);
    Smooth(dir / c.file, out, KeyGreenOnly(), SourceMode::Key);
    const std::vector<Part> after = ReadParts(out);

    ASSERT_EQ(after.size(), before.size());
    for (std::size_t p = 0; p < before.size(); ++p) {
      const OIIO::ImageSpec& spec = before[p].spec;
      EXPECT_EQ(after[p].spec.channelnames, spec.channelnames) << p;
      for (int ch = 0; ch < spec.nchannels; ++ch) EXPECT_EQ(after[p].spec.channelformat(ch), spec.channelformat(ch));
      EXPECT_EQ(after[p].spec.get_string_attribute("name"), spec.get_string_attribute("name"));
      EXPECT_EQ(after[p].spec.get_string_attribute("ImageDescription"), spec.get_string_attribute("ImageDescription"));
      // Only the smoothed part changes: the key makes its green pixels transparent, which a
      // premultiplied file stores as no colour at all.
      std::vector<float> expected = before[p].samples;
      const int n = spec.nchannels;
      for (std::size_t i = 0; p == c.smoothed && i < expected.size() / n; i += 2) {
        for (const char* name : {"R", "G", "B", "A"}) {
          const int ch = spec.channelindex(name);
          if (ch >= 0 && (c.premultiplied || ch == spec.alpha_channel)) expected[i * n + ch] = 0.0f;
        }
      }
      EXPECT_EQ(after[p].samples, expected) << "part " << p;
    }
  }
}

// An 8-bit TIFF with associated alpha: 64, 32, 0 at alpha 128 is 128, 64, 0 straight; left unchanged
// it stays as stored, and the key makes the opaque green pixel no colour at all.
TEST(ImageFileTest, PremultipliedFilesAreDividedByAlphaAndMultipliedBackWhenWritten) {
  const ScratchDir dir;
  const std::vector<std::uint8_t> stored = {64, 32, 0, 128, 0, 0, 0, 0, 0, 255, 0, 255};
  WriteSamples(dir / "in.tif", 3, 1, 4, OIIO::TypeDesc::UINT8, OIIO::TypeDesc::UINT8, stored.data(), true);
  const Image in = ReadImage((dir / "in.tif").string());
  EXPECT_EQ(in.pixels, (std::vector<std::uint8_t>{128, 128, 64, 0, 0, 0, 0, 0, 255, 0, 255, 0}));
  WriteImage(RenderImage(in, KeyGreenOnly(), SourceMode::Key), (dir / "in.tif").string());
  EXPECT_EQ(ReadSamples<std::uint8_t>(dir / "in.tif").samples, (std::vector<std::uint8_t>{64, 32, 0, 128, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// The output's format picks the alpha convention: the engine's straight pixels are multiplied for
// OpenEXR and divided out of it for PNG.
TEST(ImageFileTest, ConvertingOnTheWayFollowsTheOutputFormat) {
  const ScratchDir dir;
  const std::vector<std::uint8_t> png = {102, 51, 255, 153, 0, 255, 0, 255};
  WriteSamples(dir / "in.png", 2, 1, 4, png);
  Part exr = MakePart(2, 1, {"R", "G", "B", "A"}, {OIIO::TypeDesc::HALF});
  exr.samples = {0.125f, 0.375f, 0.5f, 0.5f, 0, 0, 0, 0};
  WriteParts(dir / "in.exr", {exr});
  for (const auto& [in, out] : {std::pair{"in.png", "out.exr"}, {"in.exr", "out.png"}, {"in.png", "out.tif"}}) {
    Smooth(dir / in, dir / out);
  }

  const auto toExr = ReadSamples<float>(dir / "out.exr");
  EXPECT_EQ(toExr.spec.format, OIIO::TypeDesc::HALF);
  std::vector<float> premultiplied(png.size());  // as a half stores it
  for (std::size_t i = 0; i < png.size(); ++i) {
    const float alpha = png[i | 3] / 255.0f, exact = i % 4 == 3 ? alpha : png[i] / 255.0f * alpha;
    std::uint16_t half = 0;
    OIIO::convert_pixel_values(OIIO::TypeDesc::FLOAT, &exact, OIIO::TypeDesc::HALF, &half, 1);
    OIIO::convert_pixel_values(OIIO::TypeDesc::HALF, &half, OIIO::TypeDesc::FLOAT, &premultiplied[i], 1);
  }
  EXPECT_EQ(toExr.samples, premultiplied);
  // Straight 0.25, 0.75 and 1 at half alpha, as 16-bit samples; a transparent pixel has no colour.
  const auto toPng = ReadSamples<std::uint16_t>(dir / "out.png");
  EXPECT_EQ(toPng.samples, (std::vector<std::uint16_t>{16384, 49151, 65535, 32768, 0, 0, 0, 0}));
  const auto toTiff = ReadSamples<std::uint8_t>(dir / "out.tif");
  EXPECT_EQ(toTiff.samples, png);
  EXPECT_EQ(toTiff.spec.get_int_attribute("oiio:UnassociatedAlpha"), 1);
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"in.png", "in.exr", "out.exr", "out.png", "out.tif"}));
}

// A file to read, made in `dir`, and the message it must be refused with (the path in place of @).
struct RefusalCase {
  const char* name;
  std::function<void(const fs::path&)> make;
  std::string error;
};

auto Blank(OIIO::TypeDesc type, std::vector<std::string> names = {"R", "G", "B"}) {
  return [=](const fs::path& path) { WriteParts(path, {MakePart(2, 2, names, {type})}); };
}

TEST(ImageFileTest, FilesThatCannotBeSmoothedAreRefusedInTheToolsOwnWords) {
  const ScratchDir dir;
  const std::string types =
      " colour samples, which tessaline cannot smooth; convert it to 8-bit or 16-bit unsigned integer, half or float";
  const auto truncatedPng = [](const fs::path& path) {
    WriteSamples(path, 64, 64, 3, test::Noise(64 * 64 * 3, 7));
    const std::string bytes = test::FileBytes(path);
    test::WriteFileBytes(path, bytes.substr(0, bytes.size() / 2));
  };
  const auto mipmapped = [](const fs::path& path) {
    OIIO::ImageSpec spec(2, 2, 3, OIIO::TypeDesc::HALF);
    spec.tile_width = spec.tile_height = 2;
    spec.attribute("textureformat", "Plain Texture");
    const std::vector<float> samples(12, 0.5f);
    auto out = OIIO::ImageOutput::create(path.string());
    ASSERT_TRUE(out->open(path.string(), spec, OIIO::ImageOutput::Create) && out->write_image(OIIO::TypeDesc::FLOAT, samples.data()));
    spec.width = spec.height = spec.full_width = spec.full_height = 1;
    ASSERT_TRUE(out->open(path.string(), spec, OIIO::ImageOutput::AppendMIPLevel) &&
                out->write_image(OIIO::TypeDesc::FLOAT, samples.data()) && out->close());
  };
  // A header that declares a huge image and no pixel data after it.
  const auto hugeHeader = [](const fs::path& path) {
    auto out = OIIO::ImageOutput::create(path.string());
    ASSERT_TRUE(out->open(path.string(), OIIO::ImageSpec(40000, 40000, 4, OIIO::TypeDesc::HALF)));
    ASSERT_TRUE(out->close());
  };
  const auto truncatedParts = [](const fs::path& path) {
    WriteParts(path, {MakePart(32, 32, {"R", "G", "B"}, {OIIO::TypeDesc::FLOAT}, "a"),
                      MakePart(32, 32, {"R", "G", "B"}, {OIIO::TypeDesc::FLOAT}, "b")});
    const std::string bytes = test::FileBytes(path);
    test::WriteFileBytes(path, bytes.substr(0, bytes.size() * 85 / 100));  // headers whole, pixels cut short
  };
  const auto exrNamedBin = [&](const fs::path& path) {
    WriteParts(dir / "real.exr", {MakePart(32, 32, {"R", "G", "B"}, {OIIO::TypeDesc::FLOAT})});
    test::WriteFileBytes(path, test::FileBytes(dir / "real.exr").substr(0, 600));
  };
  const auto lumaChroma = [](const fs::path& path) {
    Imf::Array2D<Imf::Rgba> pixels(4, 8);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x) pixels[y][x] = Imf::Rgba(0.1f * x, 0.5f, 0.2f * y, 1.0f);
    Imf::RgbaOutputFile file(path.c_str(), 8, 4, Imf::WRITE_YCA);
    file.setFrameBuffer(&pixels[0][0], 1, 8);
    file.writePixels(4);
  };
  const RefusalCase cases[] = {
      {"huge.exr", hugeHeader,
       "@ declares an image of 1600 million pixels (40000 x 40000), more than the 100 million this run allows; if the "
       "file is real, raise --max-pixels (or use fewer --threads)"},
      {"parts.exr", truncatedParts, "cannot read @: the openexr file is damaged or incomplete ("},
      {"frame.bin", exrNamedBin, "cannot read @: the openexr file is damaged or incomplete ("},  // found by content
      {"yc.exr", lumaChroma,
       "cannot read @ as an image: it is a valid openexr file of a kind tessaline cannot read (its channels are "
       "subsampled, as in a luminance/chroma file; convert it to full-resolution RGB first)"},
      {"folder.png", [](const fs::path& path) { fs::create_directory(path); },
       "cannot read @: it is a folder, not an image file; give INPUT an image file"},
      {"notes.xyz", [](const fs::path& path) { test::WriteFileBytes(path, "not a picture"); },
       "cannot read @ as an image: tessaline knows no image format by its name or content; give INPUT a .png, .tif, "
       ".exr or other image file"},
      {"text.png", [](const fs::path& path) { test::WriteFileBytes(path, "not a picture"); },
       "cannot read @ as an image: it is not a valid png file, or it is damaged (Not a PNG file)"},
      {"truncated.png", truncatedPng, "cannot read @: the png file is damaged or incomplete ("},
      {"u32.tif", Blank(OIIO::TypeDesc::UINT32), "@ stores 32-bit unsigned integer" + types},
      {"f64.tif", Blank(OIIO::TypeDesc::DOUBLE), "@ stores 64-bit floating-point" + types},
      {"s16.tif", Blank(OIIO::TypeDesc::INT16), "@ stores 16-bit signed integer" + types},
      {"xy.tif", Blank(OIIO::TypeDesc::UINT16, {"X", "Y"}),
       "@ has no R, G and B channels (nor a grey Y channel) to smooth (it has R,G)"},
      {"mip.exr", mipmapped, "@ holds MIP-mapped (texture) images; tessaline smooths flat images only"},
  };
  for (const RefusalCase& c : cases) {
    const fs::path path = dir / c.name;
    c.make(path);
    const std::string expected = WithPath(c.error, path);
    const std::string error = ErrorOf([&] { ReadImage(path.string(), {.part = "", .allParts = false, .maxPixels = 100'000'000}); });
    EXPECT_EQ(error.substr(0, expected.size()), expected) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(ImageFileTest, APartIsChosenByNameOrNumberOrAsTheFirstWithColour) {
  using T = OIIO::TypeDesc;
  const ScratchDir dir;
  const std::string path = (dir / "parts.exr").string();
  WriteParts(path, {MakePart(2, 2, {"Z"}, {T::FLOAT}, "depth"), MakePart(2, 2, {"R", "G", "B", "A"}, {T::HALF}, "beauty"),
                    MakePart(2, 2, {"R", "G", "B", "N.X"}, {T::HALF}, "normals")});
  const struct {
    std::string part;
    bool alpha;  // which tells beauty from normals
    std::string error;
  } cases[] = {
      {"", true, ""},
      {"normals", false, ""},
      {"2", false, ""},
      {"depth", false, "part 'depth' of '" + path + "' has no R, G and B channels (nor a grey Y channel) to smooth (it has Z); choose another part, or one of its layers"},
      {"specular", false, "'" + path + "' has no part, layer or view 'specular'; its parts are 0 (depth), 1 (beauty), 2 (normals)"},
  };
  for (const auto& c : cases) {
    bool alpha = false;
    EXPECT_EQ(ErrorOf([&] { alpha = ReadImage(path, {c.part}).HasAlpha(); }), c.error.empty() ? "(no error)" : c.error);
    EXPECT_EQ(alpha, c.alpha && c.error.empty()) << c.part;
  }
}

// A stereo frame in one part, as OpenEXR keeps it: the default view (left) in R, G, B, A, the right
// view in right.R, right.G, right.B, right.A, and a layer diffuse.R, .G, .B without alpha. Every
// set holds key green at its even pixels.
Part StereoWithLayer() {
  const std::vector<std::string> names = {"R",       "G",       "B",       "A",         "right.R",  "right.G",
                                          "right.B", "right.A", "diffuse.R", "diffuse.G", "diffuse.B"};
  Part part{OIIO::ImageSpec(4, 2, static_cast<int>(names.size()), OIIO::TypeDesc::HALF), {}};
  part.spec.channelnames = names;
  part.spec.alpha_channel = 3;
  const OIIO::ustring views[] = {OIIO::ustring("left"), OIIO::ustring("right")};
  part.spec.attribute("multiView", OIIO::TypeDesc(OIIO::TypeDesc::STRING, 2), views);
  for (int i = 0; i < 8; ++i) {
    const bool key = i % 2 == 0;
    for (const std::string& name : names) {
      const char channel = name.back();
      part.samples.push_back(channel == 'A' ? (key ? 1.0f : 0.5f)
                             : key          ? (channel == 'G' ? 1.0f : 0.0f)
                                            : 0.25f);
    }
  }
  return part;
}

// --part takes a view or a layer inside a part as well; --all-parts smooths every set. A set the key
// smooths loses its green pixels; one without alpha gets an alpha channel of its own; the others
// keep every sample.
TEST(ImageFileTest, ViewsAndLayersAreChosenByNameOrAllTogether) {
  const ScratchDir dir;
  WriteParts(dir / "stereo.exr", {StereoWithLayer()});
  const Part before = ReadParts(dir / "stereo.exr")[0];
  const struct {
    std::vector<std::string> choose;
    std::set<std::string> smoothed;  // channel name prefixes
  } cases[] = {
      {{}, {""}},           {{"--part", "left"}, {""}},       {{"--part", "right"}, {"right."}},
      {{"--part", "diffuse"}, {"diffuse."}}, {{"--all-parts"}, {"", "right.", "diffuse."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.choose));
    std::vector<std::string> args = {(dir / "stereo.exr").string(), (dir / "out.exr").string(), "--key-color",
                                     "0,255,0", "--softness", "0", "--quiet"};
    args.insert(args.end(), c.choose.begin(), c.choose.end());
    const ToolRun run = RunInProcess(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Part after = ReadParts(dir / "out.exr")[0];
    std::vector<std::string> names = before.spec.channelnames;
    if (c.smoothed.contains("diffuse.")) names.push_back("diffuse.A");
    std::vector<std::string> got = after.spec.channelnames;
    std::sort(names.begin(), names.end()), std::sort(got.begin(), got.end());  // OpenEXR sorts them
    ASSERT_EQ(got, names);
    for (int i = 0; i < 8; ++i) {
      for (const std::string& name : after.spec.channelnames) {
        const std::size_t dot = name.rfind('.');
        const std::string prefix = dot == std::string::npos ? "" : name.substr(0, dot + 1);
        const int at = ChannelIndex(after.spec, name), was = ChannelIndex(before.spec, name);
        const float value = after.samples[static_cast<std::size_t>(i * after.spec.nchannels + at)];
        // A keyed pixel is no colour at all: nothing, premultiplied; an added alpha is full elsewhere.
        const float expected = c.smoothed.contains(prefix) && i % 2 == 0 ? 0.0f
                               : was < 0                                 ? 1.0f
                                   : before.samples[static_cast<std::size_t>(i * before.spec.nchannels + was)];
        EXPECT_EQ(value, expected) << name << " of pixel " << i;
      }
    }
  }
  EXPECT_EQ(ErrorOf([&] { ReadImage((dir / "stereo.exr").string(), {"centre"}); }),
            WithPath("@ has no part, layer or view 'centre'; its layers and views are left, right, diffuse",
                     dir / "stereo.exr"));
}

TEST(ImageFileTest, GreyIsWrittenFromTheRedChannel) {
  const ScratchDir dir;
  const std::vector<std::uint8_t> grey{90, 91};
  WriteSamples(dir / "grey.png", 2, 1, 1, grey);
  Image image = ReadImage((dir / "grey.png").string());
  image.pixels = {255, 7, 8, 9, 255, 17, 18, 19};
  WriteImage(image, (dir / "out.png").string());
  EXPECT_EQ(ReadSamples<std::uint8_t>(dir / "out.png").samples, (std::vector<std::uint8_t>{7, 17}));
}

}  // namespace
}  // namespace tessaline::cli

// OpenImageIO's PNG reader fetches its error text into a string (ImageInput::geterror) and then
// lets libpng longjmp past it when a file ends early, so each truncated PNG read leaks that string
// inside the library. The leak checker of the sanitizer build is told so for the tests that read
// such files in this process (the library has no frame pointers, so the allocation's stack ends at
// geterror); nothing calls this otherwise.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:OpenImageIO_v2_4::ImageInput::geterror\n";
}
