#include "cli_test_support.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "tool.h"

namespace tessaline::cli::test {

ScratchDir::ScratchDir() {
  std::string pattern = (fs::temp_directory_path() / "tessaline-cli-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::set<std::string> ScratchDir::Entries() const {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(path_)) names.insert(entry.path().filename().string());
  return names;
}

void WriteSamples(const fs::path& path, int width, int height, int channels, OIIO::TypeDesc fileType,
                  OIIO::TypeDesc memory, const void* samples, bool associated) {
  OIIO::ImageSpec spec(width, height, channels, fileType);
  static const std::vector<std::string> kNames[] = {{"Y"}, {"Y", "A"}, {"R", "G", "B"}, {"R", "G", "B", "A"}};
  spec.channelnames = kNames[channels - 1];
  spec.alpha_channel = channels == 2 || channels == 4 ? channels - 1 : -1;
  if (!associated) spec.attribute("oiio:UnassociatedAlpha", 1);
  auto out = OIIO::ImageOutput::create(path.string());
  ASSERT_TRUE(out) << OIIO::geterror();
  ASSERT_TRUE(out->open(path.string(), spec)) << out->geterror();
  ASSERT_TRUE(out->write_image(memory, samples)) << out->geterror();
  ASSERT_TRUE(out->close()) << out->geterror();
}

void WriteSamples(const fs::path& path, int width, int height, int channels, const std::vector<std::uint8_t>& samples) {
  WriteSamples(path, width, height, channels, OIIO::TypeDesc::UINT8, OIIO::TypeDesc::UINT8, samples.data());
}

std::vector<std::uint8_t> Noise(std::size_t count, unsigned seed) {
  std::vector<std::uint8_t> noise(count);
  std::mt19937 random(seed);
  for (std::uint8_t& v : noise) v = static_cast<std::uint8_t>(random());
  return noise;
}

Part MakePart(int width, int height, const std::vector<std::string>& names, const std::vector<OIIO::TypeDesc>& types,
              const std::string& name, bool straight) {
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

void WriteParts(const fs::path& path, const std::vector<Part>& parts) {
  std::vector<OIIO::ImageSpec> specs;
  for (const Part& part : parts) specs.push_back(part.spec);
  auto out = OIIO::ImageOutput::create(path.string());
  ASSERT_TRUE(out && out->open(path.string(), static_cast<int>(specs.size()), specs.data())) << OIIO::geterror();
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) {
      ASSERT_TRUE(out->open(path.string(), specs[i], OIIO::ImageOutput::AppendSubimage)) << out->geterror();
    }
    ASSERT_TRUE(out->write_image(OIIO::TypeDesc::FLOAT, parts[i].samples.data())) << out->geterror();
  }
  ASSERT_TRUE(out->close()) << out->geterror();
}

template <class T>
std::vector<Samples<T>> ReadParts(const fs::path& path) {
  OIIO::ImageSpec config;
  config.attribute("oiio:UnassociatedAlpha", 1);
  auto in = OIIO::ImageInput::open(path.string(), &config);
  EXPECT_TRUE(in) << "cannot open " << path << ": " << OIIO::geterror();
  std::vector<Samples<T>> parts;
  for (int s = 0; in && in->seek_subimage(s, 0); ++s) {
    const OIIO::ImageSpec& spec = in->spec();
    Samples<T> part{spec, std::vector<T>(spec.image_pixels() * static_cast<std::size_t>(spec.nchannels))};
    EXPECT_TRUE(in->read_image(s, 0, 0, part.spec.nchannels, OIIO::BaseTypeFromC<T>::value, part.samples.data()))
        << in->geterror();
    parts.push_back(std::move(part));
  }
  return parts;
}
template std::vector<Samples<std::uint8_t>> ReadParts(const fs::path&);
template std::vector<Samples<std::uint16_t>> ReadParts(const fs::path&);
template std::vector<Samples<float>> ReadParts(const fs::path&);

std::string WithPath(const std::string& message, const fs::path& path) {
  const std::size_t at = message.find('@');
  return message.substr(0, at) + Quoted(path.string()) + message.substr(at + 1);
}

std::string FileBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

void WriteFileBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> frames;
  for (int frame = first; frame <= last; ++frame) frames.push_back(frame);
  return frames;
}

ToolRun RunInProcess(const std::vector<std::string>& args, bool terminal) {
  std::ostringstream out, err;
  const int exitCode = Run(args, out, err, terminal);
  return {exitCode, out.str(), err.str()};
}

ToolRun RunProgram(const std::vector<std::string>& args) {
  // Output is captured in a directory of its own so that the directories under test stay as they are.
  const ScratchDir capture;
  std::string command = TESSALINE_TOOL_PATH;
  for (const std::string& arg : args) command += " '" + arg + "'";  // no test argument holds a quote
  command += " >" + (capture / "out").string() + " 2>" + (capture / "err").string();
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, FileBytes(capture / "out"), FileBytes(capture / "err")};
}

}  // namespace tessaline::cli::test

// OpenImageIO's PNG reader fetches its error text into a string (ImageInput::geterror) and then
// lets libpng longjmp past it when a file ends early, so each truncated PNG read leaks that string
// inside the library. The leak checker of the sanitizer build is told so for the tests that read
// such files in this process (the library has no frame pointers, so the allocation's stack ends at
// geterror); nothing calls this otherwise.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:OpenImageIO_v2_4::ImageInput::geterror\n";
}
