#include "cli_test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

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
                  OIIO::TypeDesc memory, const void* samples) {
  OIIO::ImageSpec spec(width, height, channels, fileType);
  static const std::vector<std::string> kNames[] = {{"Y"}, {"Y", "A"}, {"R", "G", "B"}, {"R", "G", "B", "A"}};
  spec.channelnames = kNames[channels - 1];
  spec.alpha_channel = channels == 2 || channels == 4 ? channels - 1 : -1;
  spec.attribute("oiio:UnassociatedAlpha", 1);
  auto out = OIIO::ImageOutput::create(path.string());
  ASSERT_TRUE(out) << OIIO::geterror();
  ASSERT_TRUE(out->open(path.string(), spec)) << out->geterror();
  ASSERT_TRUE(out->write_image(memory, samples)) << out->geterror();
  ASSERT_TRUE(out->close()) << out->geterror();
}

template <class T>
RawImage<T> ReadSamples(const fs::path& path) {
  RawImage<T> image;
  OIIO::ImageSpec config;
  config.attribute("oiio:UnassociatedAlpha", 1);
  auto in = OIIO::ImageInput::open(path.string(), &config);
  if (!in) {
    ADD_FAILURE() << "cannot open " << path << ": " << OIIO::geterror();
    return image;
  }
  image.spec = in->spec();
  image.samples.resize(image.spec.image_pixels() * static_cast<std::size_t>(image.spec.nchannels));
  const bool ok =
      in->read_image(0, 0, 0, image.spec.nchannels, OIIO::BaseTypeFromC<T>::value, image.samples.data());
  EXPECT_TRUE(ok) << in->geterror();
  return image;
}
template RawImage<std::uint8_t> ReadSamples(const fs::path&);
template RawImage<std::uint16_t> ReadSamples(const fs::path&);
template RawImage<float> ReadSamples(const fs::path&);

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

ToolRun RunTool(const std::vector<std::string>& args) {
  // Output is captured in a directory of its own so that the directories under test stay as they are.
  const ScratchDir capture;
  const std::string outPath = (capture / "stdout").string();
  const std::string errPath = (capture / "stderr").string();

  std::vector<std::string> argvStrings{TESSALINE_TOOL_PATH};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argvStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);

  ToolRun run;
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << argv[0];
    return run;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = FileBytes(outPath);
  run.err = FileBytes(errPath);
  return run;
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
