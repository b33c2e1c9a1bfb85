#include "atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>

#include "cli_error.h"
#include "progress.h"

namespace tessaline::cli {

namespace fs = std::filesystem;

namespace {

// The temporary files in flight, for the signal handler. It may run at any moment on any thread, so
// it takes nothing but these slots: a writer fills a free slot's name and then marks it live; the
// handler claims live slots one by one and unlinks their names. A slot the handler has claimed is
// never reused, so a name it reads cannot change under it.
enum SlotState : int { kFree, kFilling, kLive, kClaimed };
constexpr int kSlots = 256;
constexpr std::size_t kNameBytes = 4096;
struct Slot {
  std::atomic<int> state{kFree};
  char name[kNameBytes];
};
static_assert(std::atomic<int>::is_always_lock_free);
Slot g_slots[kSlots];

int Register(const std::string& name) {
  if (name.size() >= kNameBytes) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!g_slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(g_slots[i].name, name.c_str(), name.size() + 1);
    g_slots[i].state.store(kLive);
    return i;
  }
  return -1;
}

void Unregister(int slot) {
  if (slot < 0) return;
  int expected = kLive;
  g_slots[slot].state.compare_exchange_strong(expected, kFree);  // a claimed slot stays claimed
}

// The children to end on an interrupt: 0 for a free slot, else a process id. Starting one and
// filling its slot is one step for the handler: it waits for starts under way, and none begins
// once it has run.
std::atomic<pid_t> g_children[64];
std::atomic<int> g_starting{0};
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<pid_t>::is_always_lock_free);

void RemoveTemporaries(int signal) {
  const int savedErrno = errno;
  g_interrupted = true;
  for (int i = 0; i < 5000 && g_starting > 0; ++i) {
    const timespec millisecond{0, 1000000};
    nanosleep(&millisecond, nullptr);
  }
  for (std::atomic<pid_t>& slot : g_children) {
    const pid_t child = slot.exchange(0);
    if (child <= 0) continue;
    kill(-child, SIGKILL);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  for (Slot& slot : g_slots) {
    int expected = kLive;
    if (slot.state.compare_exchange_strong(expected, kClaimed)) unlink(slot.name);
  }
  WriteInterruptedLine();  // the run says how far it got and how to go on
  errno = savedErrno;
  // The handler was installed with SA_RESETHAND: the same signal now ends the process as it would
  // have without us.
  raise(signal);
}

std::atomic<unsigned> g_counter{0};

// This machine's name as it goes into temporary file names: a farm's machines may write into one
// shared folder, and a process id says nothing about another machine's processes.
const std::string& HostName() {
  static const std::string name = [] {
    char text[256] = "";
    if (gethostname(text, sizeof text - 1) != 0 || text[0] == 0) return std::string("localhost");
    std::string host = text;
    for (char& c : host) {
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_') c = '_';
    }
    return host;
  }();
  return name;
}

// The process id in a temporary file name of this machine's (".NAME.tmp-HOST-PID-N.ext"), or 0.
pid_t OwnTemporaryOf(const std::string& name) {
  const std::string mark = ".tmp-" + HostName() + "-";
  const std::size_t at = name.rfind(mark);
  if (name.empty() || name.front() != '.' || at == std::string::npos) return 0;
  std::size_t i = at + mark.size(), digits = 0;
  pid_t pid = 0;
  for (; i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])) && digits < 9; ++i, ++digits) {
    pid = pid * 10 + (name[i] - '0');
  }
  if (digits == 0 || i >= name.size() || name[i] != '-') return 0;
  std::size_t counter = 0;
  for (++i; i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])); ++i) ++counter;
  if (counter == 0 || (i < name.size() && name[i] != '.')) return 0;
  return pid;
}

// Removes, once per folder and run, the temporary files that this machine's processes left behind
// when they died without a chance to clean up (killed outright, or the machine went down). Files of
// live processes, and of other machines, stay.
void RemoveStaleTemporaries(const fs::path& folder) {
  static std::mutex mutex;
  static std::set<std::string> swept;
  {
    const std::lock_guard lock(mutex);
    if (!swept.insert(fs::absolute(folder).lexically_normal().string()).second) return;
  }
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const pid_t pid = OwnTemporaryOf(entry.path().filename().string());
    if (pid <= 0 || pid == getpid() || kill(pid, 0) == 0 || errno != ESRCH) continue;
    std::error_code ignored;
    if (entry.is_regular_file(ignored)) fs::remove(entry.path(), ignored);
  }
}

// The file a path finally names: a symbolic link is replaced through, so the link stays a link.
fs::path FinalTarget(const std::string& path) {
  fs::path target(path);
  std::error_code ec;
  for (int hops = 0; fs::is_symlink(fs::symlink_status(target, ec)); ++hops) {
    if (hops == 40) throw CliError("cannot write " + Quoted(path) + ": its symbolic links go round in a circle");
    const fs::path link = fs::read_symlink(target, ec);
    if (ec) break;
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  return target;
}

std::string FolderOf(const fs::path& file) {
  const fs::path folder = file.parent_path();
  return folder.empty() ? "." : folder.string();
}

}  // namespace

std::string DiskProblem(int error, const std::string& folder) {
  const std::string where = Quoted(folder);
  switch (error) {
    case ENOSPC:
      return "no space left on the disk holding " + where + "; free some space or write elsewhere";
    case EDQUOT:
      return "the disk quota for " + where + " is used up; free some space or write elsewhere";
    case EROFS:
      return "the disk holding " + where + " is read-only; write elsewhere";
    case EACCES:
    case EPERM:
      return "the folder " + where + " cannot be written to (permission denied); check its permissions";
    case ENOENT:
      return "there is no folder " + where + "; check that the folder exists and can be written to";
    case ENOTDIR:
      return where + " is not a folder; check the OUTPUT name";
    case EFBIG:
      return "the file is too large for the disk holding " + where;
    default:
      return "the disk holding " + where + " failed to store it (" + std::strerror(error) + ")";
  }
}

void RefuseFolder(const std::string& path) {
  std::error_code ec;
  if (fs::is_directory(FinalTarget(path), ec)) {
    throw CliError("cannot write " + Quoted(path) + ": it is a folder, and tessaline cannot replace it with an " +
                   "image; give OUTPUT a file name");
  }
}

AtomicFile::AtomicFile(const std::string& path) : path_(path) {
  RefuseFolder(path);
  const fs::path target = FinalTarget(path);
  target_ = target.string();
  // Hidden, unique to this machine, process and call, and still ending in the target's extension.
  const std::string stem = target.stem().string().substr(0, 100);
  RemoveStaleTemporaries(target.parent_path().empty() ? fs::path(".") : target.parent_path());
  struct stat previous {};
  const bool replacing = stat(target_.c_str(), &previous) == 0;
  for (;;) {
    const fs::path temp = target.parent_path() / ("." + stem + ".tmp-" + HostName() + "-" + std::to_string(getpid()) +
                                                  "-" + std::to_string(g_counter++) + target.extension().string());
    temp_ = temp.string();
    // Listed before it exists, so that no moment is left in which an interrupt would leave it behind.
    slot_ = Register(temp_);
    if (slot_ < 0) throw CliError("cannot write " + Quoted(path) + ": too many files are being written at once");
    fd_ = open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) break;
    const int error = errno;
    Unregister(slot_);
    slot_ = -1;
    if (error != EEXIST) Fail(error);
  }
  // A replaced file keeps its permissions.
  if (replacing) fchmod(fd_, previous.st_mode & 07777);
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) close(fd_);
  if (!committed_ && !temp_.empty()) unlink(temp_.c_str());
  Unregister(slot_);
}

void AtomicFile::NoteError(int error) {
  int expected = 0;
  error_.compare_exchange_strong(expected, error != 0 ? error : EIO);
}

void AtomicFile::Fail(int error) const {
  throw CliError("cannot write " + Quoted(path_) + ": " + DiskProblem(error, FolderOf(target_)));
}

void AtomicFile::ThrowIfWritesFailed() const {
  if (const int error = error_.load()) Fail(error);
}

bool AtomicFile::DiskFull() const {
  struct statvfs disk {};
  return statvfs(FolderOf(target_).c_str(), &disk) == 0 && disk.f_bavail == 0;
}

void AtomicFile::Commit() {
  ThrowIfWritesFailed();
  // Writes can succeed and the data still fail to reach the disk: fsync and close report that.
  if (fsync(fd_) != 0) Fail(errno);
  const int closed = close(fd_);
  fd_ = -1;
  if (closed != 0) Fail(errno);
  if (rename(temp_.c_str(), target_.c_str()) != 0) Fail(errno);
  committed_ = true;
  // The rename itself reaches the disk with the folder; the file is in place either way.
  const int folder = open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
}

pid_t StartEndedOnInterrupt(const std::function<pid_t()>& start) {
  // This thread takes no interrupt meanwhile: its handler would wait for this very start.
  sigset_t interrupts, previous;
  sigemptyset(&interrupts);
  sigaddset(&interrupts, SIGINT);
  sigaddset(&interrupts, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &interrupts, &previous);
  ++g_starting;
  pid_t child = -1;
  if (!g_interrupted) {
    child = start();
    for (std::atomic<pid_t>& slot : g_children) {
      pid_t expected = 0;
      if (child > 0 && slot.compare_exchange_strong(expected, child)) break;
    }
  }
  --g_starting;
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return child;
}

void ForgetOnInterrupt(pid_t child) {
  for (std::atomic<pid_t>& slot : g_children) {
    pid_t expected = child;
    if (slot.compare_exchange_strong(expected, 0)) return;
  }
}

void InstallInterruptCleanup() {
  for (const int signal : {SIGINT, SIGTERM}) {
    struct sigaction current {};
    if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = RemoveTemporaries;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}

}  // namespace tessaline::cli
