// Shared pieces of the command-line tests: a scratch directory, raw file access through OpenImageIO
// (bypassing the code under test), the tool's errors and running the tool.
#pragma once

#include <OpenImageIO/imageio.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli_error.h"
#include "engine.h"

namespace tessaline::cli::test {

namespace fs = std::filesystem;

// A fresh directory, removed with everything in it at the end of the test.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }
  std::set<std::string> Entries() const;  // names directly inside, hidden ones included

 private:
  fs::path path_;
};

// Writes `samples` (interleaved, of type `memory`) as a file of the given layout (grey, grey and
// alpha, RGB or RGBA), alpha unassociated unless `associated`.
void WriteSamples(const fs::path& path, int width, int height, int channels, OIIO::TypeDesc fileType,
                  OIIO::TypeDesc memory, const void* samples, bool associated = false);
// The same for 8-bit samples in an 8-bit file.
void WriteSamples(const fs::path& path, int width, int height, int channels, const std::vector<std::uint8_t>& samples);

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
std::vector<std::uint8_t> Noise(std::size_t count, unsigned seed);

// A part (OpenEXR) or page (TIFF) of a file: layout and metadata, and interleaved samples.
template <class T = float>
struct Samples {
  OIIO::ImageSpec spec;
  std::vector<T> samples;
};
using Part = Samples<float>;
// Every part of a file, samples as stored (alpha not applied) converted to T.
template <class T = float>
std::vector<Samples<T>> ReadParts(const fs::path& path);
// Its first part.
template <class T>
Samples<T> ReadSamples(const fs::path& path) {
  std::vector<Samples<T>> parts = ReadParts<T>(path);
  return parts.empty() ? Samples<T>{} : std::move(parts[0]);
}

// Channel names with one format each; R, G, B and A hold, pixel by pixel, opaque key green and
// (0.25, 0.125, 0.375) at half alpha; every other channel a pattern of its own. The writer
// quantises the samples.
Part MakePart(int width, int height, const std::vector<std::string>& names, const std::vector<OIIO::TypeDesc>& types,
              const std::string& name = "", bool straight = false);
void WriteParts(const fs::path& path, const std::vector<Part>& parts);

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
std::string WithPath(const std::string& message, const fs::path& path);

// Parameters under which the render changes nothing: softness 0 and no key.
inline Params NoOp() { return {.softness = 0}; }

// The frames first, first + 1, ..., last.
std::vector<int> Range(int first, int last);

std::string FileBytes(const fs::path& path);
void WriteFileBytes(const fs::path& path, const std::string& bytes);

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};
// Runs the tool on these arguments in this process, stderr taken for a terminal when `terminal`.
ToolRun RunInProcess(const std::vector<std::string>& args, bool terminal = false);
// Runs the built program itself.
ToolRun RunProgram(const std::vector<std::string>& args);

}  // namespace tessaline::cli::test
