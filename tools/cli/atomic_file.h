// Replacing a file all at once: the new contents go to a temporary file beside it, which takes the
// file's place only after it has reached the disk without a single failed write. Until then the
// old file stays as it was, and on every failure (or Ctrl-C) the temporary file is removed.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <functional>
#include <string>

namespace tessaline::cli {

class AtomicFile {
 public:
  // Creates an empty temporary file, open for reading and writing, in the folder of the file that
  // `path` names (after following symbolic links, which stay links). Throws CliError saying what is
  // wrong with the folder.
  explicit AtomicFile(const std::string& path);
  ~AtomicFile();  // removes the temporary file unless it was committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  const std::string& TempPath() const { return temp_; }
  int Descriptor() const { return fd_; }
  // Records a failed write (the first errno counts); Commit then refuses. Thread-safe.
  void NoteError(int error);

  // Throws the CliError for a failure of the disk or folder with this errno.
  [[noreturn]] void Fail(int error) const;
  // Throws that CliError if a write has failed.
  void ThrowIfWritesFailed() const;
  // Whether the disk holding the file has no space left, for writers that do not say why they failed.
  bool DiskFull() const;
  // Forces the temporary file to the disk and renames it over the target. Throws CliError.
  void Commit();

 private:
  std::string path_;    // as the user gave it, for messages
  std::string target_;  // the file that is replaced
  std::string temp_;
  int fd_ = -1;
  int slot_ = -1;  // in the interrupt clean-up table
  std::atomic<int> error_{0};
  bool committed_ = false;
};

// Throws the CliError for an OUTPUT that is an existing folder (also through symbolic links).
void RefuseFolder(const std::string& path);

// What is wrong with the disk or folder holding `folder`, for an errno of a failed file operation
// ("no space left on the disk holding 'out'; free some space or write elsewhere").
std::string DiskProblem(int error, const std::string& folder);

// Starts a child process (`start` returns its id, or -1) that SIGINT or SIGTERM ends too, with its
// process group (it must lead one), and waits for, before the tool dies: helpers must not outlive
// the run. No interrupt can come between the start and that; -1 without calling `start` once the
// run was interrupted. Forget the child once it was reaped.
pid_t StartEndedOnInterrupt(const std::function<pid_t()>& start);
void ForgetOnInterrupt(pid_t child);

// Makes SIGINT and SIGTERM remove every temporary file of this process, and say how far the run got
// (WriteInterruptedLine), before it dies of the signal.
// Call once, at start-up. A signal that was ignored when the process started stays ignored.
void InstallInterruptCleanup();

}  // namespace tessaline::cli
