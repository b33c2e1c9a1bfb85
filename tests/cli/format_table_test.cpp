// Every format the image library writes, by every extension it takes, as OUTPUT and as --edges,
// from 8-bit, 16-bit, half and float inputs of one to four channels: a file that reads back with
// the right values, or a one-line refusal that names the file; never a crash, wrong values, a
// half-written file or a temporary file left behind.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "cli_test_support.h"
#include "image_io.h"

namespace tessaline::cli {
namespace {

using namespace test;
namespace fs = std::filesystem;

// (format, extension) for every extension of every format OpenImageIO can write.
std::vector<std::pair<std::string, std::string>> WritableExtensions() {
  std::string writers(",");
  writers.append(OIIO::get_string_attribute("output_format_list")).append(",");
  const std::string list = OIIO::get_string_attribute("extension_list");  // "fmt:ext,ext;fmt:ext"
  std::vector<std::pair<std::string, std::string>> found;
  for (std::size_t start = 0; start < list.size();) {
    const std::size_t end = std::min(list.find(';', start), list.size());
    const std::size_t colon = list.find(':', start);
    const std::string format = list.substr(start, colon - start);
    const bool writable = writers.find(std::string(",").append(format).append(",")) != std::string::npos;
    for (std::size_t e = colon + 1; writable && e < end;) {
      const std::size_t comma = std::min(list.find(',', e), end);
      found.emplace_back(format, list.substr(e, comma - e));
      e = comma + 1;
    }
    start = end + 1;
  }
  return found;
}

struct Input {
  OIIO::TypeDesc type;
  int channels;  // grey, grey and alpha, RGB, RGBA
  std::string Name() const {
    return std::string(type.c_str()) + "x" + std::to_string(channels) +
           (type == OIIO::TypeDesc::HALF || type == OIIO::TypeDesc::FLOAT ? ".exr" : ".tif");
  }
};

// A 20 x 12 frame of stairs, with a transparent corner where it has alpha.
void WriteInput(const fs::path& path, const Input& input) {
  std::vector<float> samples;
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool dark = y > 3 + x / 4, red = x > 12 + y / 3;
      const float colour[3] = {red ? 0.9f : dark ? 0.1f : 0.8f, red ? 0.2f : dark ? 0.15f : 0.85f,
                               red ? 0.1f : dark ? 0.6f : 0.9f};
      const float alpha = x < 3 && y < 3 ? 0.0f : 1.0f;
      if (input.channels <= 2) samples.push_back(colour[0]);
      for (int c = 0; input.channels >= 3 && c < 3; ++c) samples.push_back(colour[c]);
      if (input.channels % 2 == 0) samples.push_back(alpha);
    }
  }
  WriteSamples(path, 20, 12, input.channels, input.type, OIIO::TypeDesc::FLOAT, samples.data());
}

// A written file's pixels as premultiplied floats 0..1, alpha first, read by OpenImageIO alone: for
// files that hold sample types tessaline does not read (a FITS file stores 16-bit grey signed).
// Colour is stored straight in every format but OpenEXR.
std::vector<float> PremultipliedAsStored(const fs::path& file, const std::string& format) {
  const Samples<float> read = ReadSamples<float>(file);
  const OIIO::ImageSpec& spec = read.spec;
  const auto index = [&](const char* name) {
    const auto at = std::find(spec.channelnames.begin(), spec.channelnames.end(), name);
    return at == spec.channelnames.end() ? -1 : static_cast<int>(at - spec.channelnames.begin());
  };
  const int grey = index("Y"), alpha = index("A");
  const int colour[3] = {grey >= 0 ? grey : index("R"), grey >= 0 ? grey : index("G"), grey >= 0 ? grey : index("B")};
  std::vector<float> out;
  for (std::size_t p = 0; p < read.samples.size() / static_cast<std::size_t>(spec.nchannels); ++p) {
    const float* px = read.samples.data() + p * static_cast<std::size_t>(spec.nchannels);
    const float a = alpha >= 0 ? px[alpha] : 1.0f;
    out.push_back(a);
    for (const int c : colour) out.push_back(c < 0 ? -1.0f : format == "openexr" ? px[c] : px[c] * a);
  }
  return out;
}

// The engine's pixels as premultiplied floats 0..1, alpha first: what every format must hold
// within its precision, whether it stores colour straight or premultiplied.
std::vector<float> Premultiplied(const Image& image) {
  const float full = image.depth == Depth::U8 ? 255.0f : image.depth == Depth::U16 ? 32768.0f : 1.0f;
  std::vector<float> out;
  for (std::size_t i = 0; i < image.pixels.size() / PixelBytes(image.depth) * 4; i += 4) {
    float argb[4];
    for (int k = 0; k < 4; ++k) {
      const std::size_t at = i + static_cast<std::size_t>(k);
      argb[k] = image.depth == Depth::U8    ? image.pixels[at] / full
                : image.depth == Depth::U16 ? reinterpret_cast<const std::uint16_t*>(image.pixels.data())[at] / full
                                            : reinterpret_cast<const float*>(image.pixels.data())[at];
    }
    out.insert(out.end(), {argb[0], argb[1] * argb[0], argb[2] * argb[0], argb[3] * argb[0]});
  }
  return out;
}

// Whether a format keeps only an approximation of the picture.
bool Lossy(const std::string& format) {
  for (const char* lossy : {"jpeg", "heif", "webp", "jpeg2000", "gif"}) {
    if (format == lossy) return true;
  }
  return false;
}

// How far a lossless file's values may stray: a step of its sample type or of the input's,
// whichever is coarser; 16-bit samples also take a step of the engine's 0..32768 on reading.
float Step(const std::string& format, const fs::path& file, OIIO::TypeDesc input) {
  if (format == "hdr") return 0.02f;  // a shared exponent: a 1/256 step of the brightest channel
  auto in = OIIO::ImageInput::open(file.string());
  float step = 1e-6f;
  for (const OIIO::TypeDesc& type : {in ? in->spec().format : OIIO::TypeDesc::UINT8, input}) {
    if (type == OIIO::TypeDesc::HALF) step = std::max(step, 1.0f / 1024);
    if (type == OIIO::TypeDesc::UINT8) step = std::max(step, 1.0f / 255);
    if (type == OIIO::TypeDesc::UINT16) step = std::max(step, 1.0f / 65535 + 1.0f / 32768);
  }
  return step * 1.01f;
}

// "" when `got` holds `expected`: every value within a step of a lossless format, and for a lossy
// one within 0..1 and 0.1 off on average (sharp single-pixel edges blur); else what is wrong.
std::string Mismatch(const std::vector<float>& got, const std::vector<float>& expected, const std::string& format,
                     const fs::path& file, OIIO::TypeDesc input) {
  if (got.size() != expected.size()) return std::to_string(got.size()) + " values, not " + std::to_string(expected.size());
  const bool lossy = Lossy(format);
  const float step = lossy ? 0.0f : Step(format, file, input);
  double total = 0;
  for (std::size_t i = 0; i < got.size(); ++i) {
    const float off = std::abs(got[i] - expected[i]);
    total += off;
    if ((lossy && !(got[i] >= -0.01f && got[i] <= 1.01f)) || (!lossy && !(off <= step))) {
      return "value " + std::to_string(i) + " is " + std::to_string(got[i]) + ", not " + std::to_string(expected[i]);
    }
  }
  if (lossy && total / static_cast<double>(got.size()) > 0.1) return "the values are " + std::to_string(total / got.size()) + " off on average";
  return "";
}

// A refusal a user can act on: one line, naming the file.
void ExpectRefusal(const ToolRun& run, const fs::path& file) {
  const std::string start = std::string("tessaline: cannot write ").append(Quoted(file.string())).append(": ");
  EXPECT_EQ(run.err.rfind(start, 0), 0u) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_FALSE(fs::exists(file));
}

TEST(FormatTable, EveryWritableExtensionGivesACorrectFileOrAClearRefusal) {
  const std::vector<std::pair<std::string, std::string>> extensions = WritableExtensions();
  ASSERT_GE(extensions.size(), 40u) << OIIO::get_string_attribute("extension_list");
  std::vector<Input> inputs;
  for (const OIIO::TypeDesc type : {OIIO::TypeDesc::UINT8, OIIO::TypeDesc::UINT16, OIIO::TypeDesc::HALF,
                                    OIIO::TypeDesc::FLOAT}) {
    for (int channels = 1; channels <= 4; ++channels) inputs.push_back({type, channels});
  }
  const ScratchDir dir;
  std::map<std::string, std::pair<int, int>> written;  // by extension: OUTPUT files, --edges files
  std::map<std::string, std::string> refusals;         // by extension: a refusal each, as an example
  for (const Input& input : inputs) {
    const fs::path in = dir / input.Name();
    WriteInput(in, input);
    const std::vector<float> expected = Premultiplied(RenderImage(ReadImage(in.string()), {}, SourceMode::Plain));
    const fs::path referenceEdges = dir / "reference-edges.png";
    ASSERT_EQ(RunInProcess({in.string(), (dir / "reference.png").string(), "--edges", referenceEdges.string(),
                            "--quiet"}).exitCode, 0);
    const std::vector<float> edges = ReadSamples<float>(referenceEdges).samples;
    for (const auto& [format, extension] : extensions) {
      SCOPED_TRACE(input.Name() + " to ." + extension);
      const fs::path out = dir / ("out." + extension), edgeFile = dir / ("edges." + extension);
      const std::set<std::string> before = dir.Entries();
      const ToolRun toOutput = RunInProcess({in.string(), out.string(), "--quiet"});
      if (toOutput.exitCode == 0) {
        ++written[extension].first;
        // Read as the tool reads files, or by the library alone where the tool takes no such samples.
        std::vector<float> got;
        if (ErrorOf([&] { got = Premultiplied(ReadImage(out.string())); }) != "(no error)") {
          got = PremultipliedAsStored(out, format);
        }
        EXPECT_EQ(Mismatch(got, expected, format, out, input.type), "");
      } else {
        EXPECT_EQ(toOutput.exitCode, 1);
        ExpectRefusal(toOutput, out);
        refusals.emplace(extension, toOutput.err);
      }
      const ToolRun toEdges =
          RunInProcess({in.string(), (dir / "smooth.png").string(), "--edges", edgeFile.string(), "--quiet"});
      if (toEdges.exitCode == 0) {
        ++written[extension].second;
        const Samples<float> got = ReadSamples<float>(edgeFile);
        EXPECT_EQ(Mismatch(got.samples, edges, format, edgeFile, OIIO::TypeDesc::UINT8), "");
      } else {
        EXPECT_EQ(toEdges.exitCode, 1);
        ExpectRefusal(toEdges, edgeFile);
        refusals.emplace("edges." + extension, toEdges.err);
      }
      // Nothing but the files written is left behind.
      std::set<std::string> after = dir.Entries();
      for (const fs::path& made : {out, edgeFile, dir / "smooth.png"}) {
        after.erase(made.filename().string());
        fs::remove(made);
      }
      EXPECT_EQ(after, before);
    }
  }
  // The table, for the record: how many of the 16 inputs each extension wrote, as OUTPUT and as --edges.
  for (const auto& [format, extension] : extensions) {
    std::printf("%-9s .%-5s OUTPUT %2d/16  --edges %2d/16%s%s\n", format.c_str(), extension.c_str(),
                written[extension].first, written[extension].second, refusals.count(extension) ? "  e.g. " : "",
                refusals.count(extension) ? refusals[extension].substr(11, 140).c_str() : "");
  }
}

// The same input and options give the same bytes in every format, a second later too: no time
// stamp the input did not have, and the software tag where the format keeps one.
TEST(FormatTable, ARerunWritesTheSameBytesInEveryFormat) {
  const ScratchDir dir;
  WriteSamples(dir / "in.png", 20, 12, 4, Noise(20 * 12 * 4, 5));
  Part half = MakePart(20, 12, {"R", "G", "B", "A"}, {OIIO::TypeDesc::HALF});
  half.spec.attribute("DateTime", "");  // the writer would stamp the input otherwise
  WriteParts(dir / "in.exr", {half});
  std::map<std::string, std::string> first;
  for (int round = 0; round < 2; ++round) {
    if (round == 1) std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // a clock's second on
    for (const auto& [format, extension] : WritableExtensions()) {
      for (const char* in : {"in.png", "in.exr"}) {
        const fs::path out = dir / (std::string("out-") + in + "." + extension);
        if (RunInProcess({(dir / in).string(), out.string(), "--quiet"}).exitCode != 0) continue;
        if (round == 0) {
          first[out.string()] = FileBytes(out);
          continue;
        }
        EXPECT_EQ(FileBytes(out), first[out.string()]) << out;
        const Samples<float> read = ReadSamples<float>(out);
        EXPECT_EQ(read.spec.get_string_attribute("DateTime"), "") << out;
        if (format == "openexr" || format == "tiff" || format == "png") {
          EXPECT_EQ(std::string(read.spec.get_string_attribute("Software")).rfind("tessaline ", 0), 0u) << out;
        }
      }
    }
  }
  EXPECT_GE(first.size(), 40u);
}

}  // namespace
}  // namespace tessaline::cli
