// Shared pieces of the command-line tests: a scratch directory, raw file access through OpenImageIO
// (bypassing the code under test), the tool's errors and running the tool.
#pragma once

#include <OpenImageIO/imageio.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli_error.h"
#include "engine.h"
#include "tool.h"

namespace tessaline::cli::test {

namespace fs = std::filesystem;

// A fresh directory, removed with everything in it at the end of the test.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "tessaline-cli-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }
  std::set<std::string> Entries() const {  // names directly inside, hidden ones included
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) names.insert(entry.path().filename().string());
    return names;
  }

 private:
  fs::path path_;
};

inline std::string FileBytes(const fs::path& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

inline void WriteFileBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A part (OpenEXR) or page (TIFF) of a file: layout and metadata, and interleaved samples.
template <class T = float>
struct Samples {
  OIIO::ImageSpec spec;
  std::vector<T> samples;
};
using Part = Samples<float>;

// Writes parts of interleaved samples of type `memory`, one after the other.
inline void WriteParts(const fs::path& path, const std::vector<OIIO::ImageSpec>& specs, OIIO::TypeDesc memory,
                       const std::vector<const void*>& samples) {
  auto out = OIIO::ImageOutput::create(path.string());
  ASSERT_TRUE(out && out->open(path.string(), static_cast<int>(specs.size()), specs.data())) << OIIO::geterror();
  for (std::size_t i = 0; i < specs.size(); ++i) {
    if (i > 0) {
      ASSERT_TRUE(out->open(path.string(), specs[i], OIIO::ImageOutput::AppendSubimage)) << out->geterror();
    }
    ASSERT_TRUE(out->write_image(memory, samples[i])) << out->geterror();
  }
  ASSERT_TRUE(out->close()) << out->geterror();
}
inline void WriteParts(const fs::path& path, const std::vector<Part>& parts) {
  std::vector<OIIO::ImageSpec> specs;
  std::vector<const void*> samples;
  for (const Part& part : parts) specs.push_back(part.spec), samples.push_back(part.samples.data());
  WriteParts(path, specs, OIIO::TypeDesc::FLOAT, samples);
}

// Writes `samples` (interleaved, of type `memory`) as a file of the given layout (grey, grey and
// alpha, RGB or RGBA), alpha unassociated unless `associated`.
inline void WriteSamples(const fs::path& path, int width, int height, int channels, OIIO::TypeDesc fileType,
                         OIIO::TypeDesc memory, const void* samples, bool associated = false) {
  OIIO::ImageSpec spec(width, height, channels, fileType);
  static const std::vector<std::string> kNames[] = {{"Y"}, {"Y", "A"}, {"R", "G", "B"}, {"R", "G", "B", "A"}};
  spec.channelnames = kNames[channels - 1];
  spec.alpha_channel = channels % 2 == 0 ? channels - 1 : -1;
  if (!associated) spec.attribute("oiio:UnassociatedAlpha", 1);
  WriteParts(path, {spec}, memory, {samples});
}
// The same for 8-bit samples in an 8-bit file.
inline void WriteSamples(const fs::path& path, int width, int height, int channels,
                         const std::vector<std::uint8_t>& samples) {
  WriteSamples(path, width, height, channels, OIIO::TypeDesc::UINT8, OIIO::TypeDesc::UINT8, samples.data());
}

// Every part of a file, samples as stored (alpha not applied) converted to T.
template <class T = float>
std::vector<Samples<T>> ReadParts(const fs::path& path) {
  OIIO::ImageSpec config;
  config.attribute("oiio:UnassociatedAlpha", 1);
  auto in = OIIO::ImageInput::open(path.string(), &config);
  EXPECT_TRUE(in) << "cannot open " << path << ": " << OIIO::geterror();
  std::vector<Samples<T>> parts;
  for (int s = 0; in && in->seek_subimage(s, 0); ++s) {
    const OIIO::ImageSpec& spec = in->spec();
    Samples<T> part{spec, std::vector<T>(spec.image_pixels() * static_cast<std::size_t>(spec.nchannels))};
    EXPECT_TRUE(in->read_image(s, 0, 0, spec.nchannels, OIIO::BaseTypeFromC<T>::value, part.samples.data()))
        << in->geterror();
    parts.push_back(std::move(part));
  }
  return parts;
}
// Its first part.
template <class T>
Samples<T> ReadSamples(const fs::path& path) {
  std::vector<Samples<T>> parts = ReadParts<T>(path);
  return parts.empty() ? Samples<T>{} : std::move(parts[0]);
}

// Interleaved 8-bit samples of a width x height image painted by paint(x, y), N samples a pixel.
template <std::size_t N, class Paint>
std::vector<std::uint8_t> Paint8(int width, int height, Paint paint) {
  std::vector<std::uint8_t> samples;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::array<std::uint8_t, N> pixel = paint(x, y);
      samples.insert(samples.end(), pixel.begin(), pixel.end());
    }
  }
  return samples;
}

// Random 8-bit samples, which no file format can compress.
inline std::vector<std::uint8_t> Noise(std::size_t count, unsigned seed) {
  std::vector<std::uint8_t> noise(count);
  std::mt19937 random(seed);
  for (std::uint8_t& v : noise) v = static_cast<std::uint8_t>(random());
  return noise;
}

// Channel names with one format each; R, G, B and A hold, pixel by pixel, opaque key green and
// (0.25, 0.125, 0.375) at half alpha; every other channel a pattern of its own. The writer
// quantises the samples.
inline Part MakePart(int width, int height, const std::vector<std::string>& names,
                     const std::vector<OIIO::TypeDesc>& types, const std::string& name = "", bool straight = false) {
  Part part{OIIO::ImageSpec(width, height, static_cast<int>(names.size()), types[0]), {}};
  part.spec.channelnames = names;
  if (std::any_of(types.begin(), types.end(), [&](OIIO::TypeDesc t) { return t != types[0]; })) {
    part.spec.channelformats = types;
  }
  part.spec.alpha_channel = part.spec.channelindex("A");
  if (!name.empty()) part.spec.attribute("name", name);
  part.spec.attribute("ImageDescription", "the part called '" + name + "'");
  if (straight) part.spec.attribute("oiio:UnassociatedAlpha", 1);
  const std::string colour = "RGBA";
  for (int i = 0; i < width * height; ++i) {
    for (std::size_t c = 0; c < names.size(); ++c) {
      const std::size_t k = names[c].size() == 1 ? colour.find(names[c][0]) : std::string::npos;
      const float key[] = {0.0f, 1.0f, 0.0f, 1.0f}, other[] = {0.25f, 0.125f, 0.375f, 0.5f};
      part.samples.push_back(k != std::string::npos ? (i % 2 == 0 ? key : other)[k]
                                                    : static_cast<float>((i * 5 + static_cast<int>(c) * 3 + 1) % 16) / 16.0f);
    }
  }
  return part;
}

// What `action` throws as a CliError, or "(no error)".
template <class Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const CliError& e) {
    return e.what();
  }
  return "(no error)";
}

// `message` with the path, quoted, in place of its @.
inline std::string WithPath(const std::string& message, const fs::path& path) {
  const std::size_t at = message.find('@');
  return message.substr(0, at) + Quoted(path.string()) + message.substr(at + 1);
}

// Parameters under which the render changes nothing: softness 0 and no key.
inline Params NoOp() { return {.softness = 0}; }

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs the tool on these arguments in this process, stderr taken for a terminal when `terminal`.
inline ToolRun RunInProcess(const std::vector<std::string>& args, bool terminal = false) {
  std::ostringstream out, err;
  const int exitCode = Run(args, out, err, terminal);
  return {exitCode, out.str(), err.str()};
}

// Runs the built program itself, its output captured in a directory of its own so that the
// directories under test stay as they are.
inline ToolRun RunProgram(const std::vector<std::string>& args) {
  const ScratchDir capture;
  std::string command = TESSALINE_TOOL_PATH;
  for (const std::string& arg : args) command += " '" + arg + "'";  // no test argument holds a quote
  command += " >" + (capture / "out").string() + " 2>" + (capture / "err").string();
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, FileBytes(capture / "out"), FileBytes(capture / "err")};
}

}  // namespace tessaline::cli::test
