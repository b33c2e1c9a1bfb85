// Shared pieces of the command-line tests: a scratch directory, raw file access through OpenImageIO
// (bypassing the code under test) and running the built tool.
#pragma once

#include <OpenImageIO/imageio.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

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
  // Names of the entries directly inside, hidden ones included.
  std::set<std::string> Entries() const;

 private:
  fs::path path_;
};

// Writes `samples` (interleaved, of type `memory`) as a file of the given layout, alpha unassociated.
void WriteSamples(const fs::path& path, int width, int height, int channels, OIIO::TypeDesc fileType,
                  OIIO::TypeDesc memory, const void* samples);

// A file's first subimage as interleaved samples converted to T, alpha left as stored.
template <class T>
struct RawImage {
  OIIO::ImageSpec spec;
  std::vector<T> samples;
};
template <class T>
RawImage<T> ReadSamples(const fs::path& path);

// The frames first, first + 1, ..., last.
std::vector<int> Range(int first, int last);

std::string FileBytes(const fs::path& path);
void WriteFileBytes(const fs::path& path, const std::string& bytes);

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};
// Runs the built tool with these arguments (no shell involved).
ToolRun RunTool(const std::vector<std::string>& args);

}  // namespace tessaline::cli::test
