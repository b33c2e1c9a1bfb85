#include "plugin_render.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "atomic_file.h"
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

// Both ends of a pipe, closed on every path; the ends the host gets are dup2'ed onto its standard
// streams, so none of ours leaks into it.
struct Pipe {
  int fds[2] = {-1, -1};
  Pipe() {
    if (pipe2(fds, O_CLOEXEC) != 0) throw CliError(std::string("cannot make a pipe: ") + std::strerror(errno));
  }
  ~Pipe() {
    for (const int fd : fds) {
      if (fd >= 0) close(fd);
    }
  }
  int Take(int end) { return std::exchange(fds[end], -1); }
};

bool WriteAll(int fd, const void* bytes, std::size_t count) {
  const auto* at = static_cast<const std::uint8_t*>(bytes);
  while (count > 0) {
    const ssize_t n = ::write(fd, at, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string ExitText(int status) {
  if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
  if (WIFEXITED(status)) return "status " + std::to_string(WEXITSTATUS(status));
  return "an unknown state";
}

}  // namespace

PluginFiles FindPluginFiles() {
  const fs::path beside = fs::read_symlink("/proc/self/exe").parent_path();
  const char* plugin = std::getenv("TESSALINE_AEX");
  const char* host = std::getenv("TESSALINE_FXHOST");
  return {plugin != nullptr ? plugin : (beside / "tessaline.aex").string(),
          host != nullptr ? host : (beside / "fxhost.exe").string()};
}

PluginSession::PluginSession(PluginFiles files) : files_(std::move(files)) {}

PluginSession::~PluginSession() {
  if (child_ >= 0) Reap(true);  // the streams go with the host
  if (log_ >= 0) close(log_);
}

void PluginSession::CloseStreams() {
  for (int* fd : {&toHost_, &fromHost_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}

int PluginSession::Reap(bool kill) {
  CloseStreams();  // a host reading its stream sees the end and finishes
  if (kill) ::kill(-child_, SIGKILL);  // its process group: Wine's loader with it
  int status = 0;
  while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
  }
  ForgetOnInterrupt(child_);
  child_ = -1;
  return status;
}

std::string PluginSession::LastWords() const {
  const off_t size = log_ >= 0 ? lseek(log_, 0, SEEK_END) : 0;
  if (size <= 0) return "nothing";
  const off_t from = size > 600 ? size - 600 : 0;
  std::string text(static_cast<std::size_t>(size - from), '\0');
  const ssize_t got = pread(log_, text.data(), text.size(), from);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return OneLine(text);
}

void PluginSession::Start() {
  if (child_ >= 0) return;
  for (const std::string& file : {files_.plugin, files_.host}) {
    if (!fs::exists(file)) {
      throw CliError("--via-plugin needs '" + file + "'; build it with 'bash scripts/build.sh win64'");
    }
  }
  // A host that dies must give an error here, not a signal.
  signal(SIGPIPE, SIG_IGN);
  if (std::getenv("WINEDEBUG") == nullptr) setenv("WINEDEBUG", "-all", 1);
  if (log_ < 0) {
    log_ = memfd_create("fxhost-log", MFD_CLOEXEC);
    if (log_ < 0) throw CliError(std::string("cannot make the plug-in host's log: ") + std::strerror(errno));
  }
  ftruncate(log_, 0);  // each start's words are its own
  Pipe input, output;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input.fds[0], 0);
  posix_spawn_file_actions_adddup2(&actions, output.fds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, log_, 2);
  // Its own process group: Ctrl-C reaches the tool alone, which ends the hosts itself, rather than
  // each host dying under a frame and being taken for a crash.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  std::vector<std::string> arguments = {"wine", files_.host, WindowsPath(files_.plugin), "render"};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  int spawned = EINTR;  // what stands when the run was interrupted before the start
  child_ = StartEndedOnInterrupt([&] {
    pid_t child = -1;
    spawned = posix_spawnp(&child, "wine", &actions, &attributes, argv.data(), environ);
    return spawned == 0 ? child : -1;
  });
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (child_ < 0) {
    throw CliError(std::string("--via-plugin cannot start Wine (") + std::strerror(spawned) +
                   "); install it with 'bash scripts/install-deps.sh'");
  }
  toHost_ = input.Take(1);
  fromHost_ = output.Take(0);
}

Image PluginSession::Render(const Image& in, const Params& params, SourceMode mode) {
  Start();
  protocol::FrameRequest request;
  request.depth = HostDepth(in.depth);
  request.width = static_cast<std::uint32_t>(in.width);
  request.height = static_cast<std::uint32_t>(in.height);
  request.slots = Slots(params, mode);
  // The engine's packed ARGB rows are the stream's layout: the pixels go out as they are.
  const std::vector<std::uint8_t> head = protocol::encodeRequestHead(request);
  const bool sent = WriteAll(toHost_, head.data(), head.size()) && WriteAll(toHost_, in.pixels.data(), in.pixels.size());
  protocol::FrameReply reply;
  std::string streamError;
  protocol::ReadResult result = protocol::ReadResult::End;
  if (sent) {
    const int fd = fromHost_;
    result = protocol::readReply(
        [fd](void* buffer, std::size_t count) -> std::size_t {
          for (;;) {
            const ssize_t n = ::read(fd, buffer, count);
            if (n < 0 && errno == EINTR) continue;
            return n > 0 ? static_cast<std::size_t>(n) : 0;
          }
        },
        reply, streamError);
  }
  if (result != protocol::ReadResult::Frame) {
    // The host died on this frame, or no longer speaks the stream: it is ended, and the next frame
    // gets a new one.
    const std::string ended = ExitText(Reap(true));
    throw PluginFrameError("the plug-in host stopped on this frame (" +
                           (streamError.empty() ? "no reply; " + ended : streamError) + "); its last words: " +
                           LastWords() + "; a new host starts for the next frame");
  }
  if (reply.status != 0) {
    // After a frame it cannot read the host ends its stream: the next frame needs a new one.
    if (reply.status == protocol::kStatusMalformed) Reap(true);
    // Above zero the plug-in's own error, below zero the host's refusal.
    throw PluginFrameError((reply.status > 0 ? "the plug-in failed with error " + std::to_string(reply.status)
                                             : "the plug-in host refused the frame (status " +
                                                   std::to_string(reply.status) + ")") +
                           (reply.message.empty() ? "" : ": " + reply.message));
  }
  // The whole layer was asked for, so the whole frame must come back.
  if (reply.width != request.width || reply.height != request.height || reply.origin.h != 0 || reply.origin.v != 0) {
    throw PluginFrameError("the plug-in host gave back " + std::to_string(reply.width) + "x" +
                           std::to_string(reply.height) + " pixels at " + std::to_string(reply.origin.h) + "," +
                           std::to_string(reply.origin.v) + " for the whole " + std::to_string(in.width) + "x" +
                           std::to_string(in.height) + " frame");
  }
  Image out;
  out.width = in.width;
  out.height = in.height;
  out.depth = in.depth;
  out.source = in.source;
  out.set = in.set;
  out.pixels = std::move(reply.pixels);
  return out;
}

void PluginSession::Finish() {
  if (child_ < 0) return;
  const int status = Reap(false);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return;
  const bool unbalanced = WIFEXITED(status) && WEXITSTATUS(status) == 3;
  throw CliError(std::string(unbalanced ? "the plug-in left the host's accounts unbalanced"
                                        : "the plug-in host ended badly") +
                 " at the end of its session (" + ExitText(status) + "): " + LastWords());
}

}  // namespace tessaline::cli
