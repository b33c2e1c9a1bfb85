#include "plugin_render.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fxhost/frame_protocol.h"

extern char** environ;

namespace tessaline::cli {
namespace {

namespace fs = std::filesystem;
namespace protocol = fxhost::protocol;

// The effect's parameters after the input layer, in its own order: the slots of a frame request.
enum Slot { kThreshold, kSoftness, kBias, kKeyGroup, kKeyEnable, kKeyColor, kKeyThreshold, kInvert, kKeyGroupEnd, kSlots };

std::vector<std::uint32_t> Slots(const Params& params, SourceMode mode) {
  std::vector<std::uint32_t> slots(kSlots, 0);
  slots[kThreshold] = static_cast<std::uint32_t>(params.colorThreshold);
  slots[kSoftness] = static_cast<std::uint32_t>(params.softness);
  slots[kBias] = static_cast<std::uint32_t>(params.bias);
  slots[kKeyEnable] = mode != SourceMode::Plain ? 1 : 0;
  slots[kKeyColor] = static_cast<std::uint32_t>(params.keyColor[0]) | std::uint32_t{params.keyColor[1]} << 8 |
                     std::uint32_t{params.keyColor[2]} << 16 | std::uint32_t{params.keyColor[3]} << 24;
  slots[kKeyThreshold] = static_cast<std::uint32_t>(params.keyColorThreshold);
  slots[kInvert] = mode == SourceMode::KeyInvert ? 1 : 0;
  return slots;
}

fxhost::PixelDepth HostDepth(Depth depth) {
  switch (depth) {
    case Depth::U8:
      return fxhost::PixelDepth::Eight;
    case Depth::U16:
      return fxhost::PixelDepth::Sixteen;
    case Depth::F32:
      break;
  }
  return fxhost::PixelDepth::Float;
}

// Wine names a Unix path through drive Z:, the root of the Unix file system.
std::string WindowsPath(const std::string& path) { return "Z:" + fs::absolute(path).lexically_normal().string(); }

class Pipe {
 public:
  Pipe() {
    if (pipe(fds_) != 0) throw CliError(std::string("cannot make a pipe: ") + std::strerror(errno));
  }
  ~Pipe() {
    closeRead();
    closeWrite();
  }
  int read() const { return fds_[0]; }
  int write() const { return fds_[1]; }
  void closeRead() { close(fds_[0], 0); }
  void closeWrite() { close(fds_[1], 1); }

 private:
  void close(int fd, int slot) {
    if (fd >= 0) ::close(fd);
    fds_[slot] = -1;
  }
  int fds_[2] = {-1, -1};
};

bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t n = ::write(fd, bytes, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string ReadAllText(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return text;
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

std::string LastLines(const std::string& text) {
  const std::size_t cut = text.size() > 600 ? text.size() - 600 : 0;
  return text.substr(cut);
}

}  // namespace

PluginFiles FindPluginFiles() {
  const fs::path beside = fs::read_symlink("/proc/self/exe").parent_path();
  const char* plugin = std::getenv("TESSALINE_AEX");
  const char* host = std::getenv("TESSALINE_FXHOST");
  return {plugin != nullptr ? plugin : (beside / "tessaline.aex").string(),
          host != nullptr ? host : (beside / "fxhost.exe").string()};
}

Image RenderThroughPlugin(const Image& in, const Params& params, SourceMode mode, const PluginFiles& files) {
  for (const std::string& file : {files.plugin, files.host}) {
    if (!fs::exists(file)) {
      throw CliError("--via-plugin needs '" + file + "'; build it with 'bash scripts/build.sh win64'");
    }
  }
  protocol::FrameRequest request;
  request.depth = HostDepth(in.depth);
  request.width = static_cast<std::uint32_t>(in.width);
  request.height = static_cast<std::uint32_t>(in.height);
  request.slots = Slots(params, mode);
  request.pixels = in.pixels;  // the engine's packed ARGB rows are the stream's layout
  const std::vector<std::uint8_t> bytes = protocol::encodeRequest(request);

  // A plug-in that dies early must give an error here, not a signal.
  signal(SIGPIPE, SIG_IGN);
  if (std::getenv("WINEDEBUG") == nullptr) setenv("WINEDEBUG", "-all", 1);
  Pipe input, output, errors;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input.read(), 0);
  posix_spawn_file_actions_adddup2(&actions, output.write(), 1);
  posix_spawn_file_actions_adddup2(&actions, errors.write(), 2);
  for (const int fd : {input.read(), input.write(), output.read(), output.write(), errors.read(), errors.write()}) {
    posix_spawn_file_actions_addclose(&actions, fd);
  }
  std::vector<std::string> arguments = {"wine", files.host, WindowsPath(files.plugin), "render"};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, "wine", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    throw CliError(std::string("--via-plugin cannot start Wine (") + std::strerror(spawned) +
                   "); install it with 'bash scripts/install-deps.sh'");
  }
  input.closeRead();
  output.closeWrite();
  errors.closeWrite();

  // The host reads the whole frame before it answers, so writing it all first cannot block forever.
  const bool sent = WriteAll(input.write(), bytes.data(), bytes.size());
  input.closeWrite();
  protocol::FrameReply reply;
  std::string streamError;
  const int fd = output.read();
  const protocol::ReadResult result = protocol::readReply(
      [fd](void* buffer, std::size_t count) -> std::size_t {
        for (;;) {
          const ssize_t n = ::read(fd, buffer, count);
          if (n < 0 && errno == EINTR) continue;
          return n > 0 ? static_cast<std::size_t>(n) : 0;
        }
      },
      reply, streamError);
  const std::string log = ReadAllText(errors.read());
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  const int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;

  if (result != protocol::ReadResult::Frame || !sent) {
    throw CliError("the plug-in host gave no frame back (" + (streamError.empty() ? "no reply" : streamError) +
                   "); its last words: " + LastLines(log));
  }
  if (reply.status != 0) {
    throw CliError("the plug-in failed with error " + std::to_string(reply.status) +
                   (reply.message.empty() ? "" : ": " + reply.message));
  }
  if (exitCode != 0) {
    throw CliError("the plug-in host ended with status " + std::to_string(exitCode) +
                   " (3: the plug-in left resources unbalanced): " + LastLines(log));
  }
  // The whole layer was asked for, so the whole frame must come back.
  if (reply.width != request.width || reply.height != request.height || reply.origin.h != 0 || reply.origin.v != 0) {
    throw CliError("the plug-in host gave back " + std::to_string(reply.width) + "x" + std::to_string(reply.height) +
                   " pixels at " + std::to_string(reply.origin.h) + "," + std::to_string(reply.origin.v) +
                   " for the whole " + std::to_string(in.width) + "x" + std::to_string(in.height) + " frame");
  }
  Image out = in;
  out.pixels = std::move(reply.pixels);
  return out;
}

}  // namespace tessaline::cli
