// Rendering through the real plug-in: the Windows effect dist/tessaline.aex, run under Wine by the
// simulated host dist/fxhost.exe, which receives the frames and the parameter values over a pipe and
// sends the rendered frames back. The files are read and written by the tool as always.
#pragma once

#include <sys/types.h>

#include "cli_error.h"
#include "image_io.h"

namespace tessaline::cli {

// Where the plug-in and the host program are: beside the tool unless the environment says
// otherwise (TESSALINE_AEX, TESSALINE_FXHOST).
struct PluginFiles {
  std::string plugin;
  std::string host;
};
PluginFiles FindPluginFiles();

// A frame that failed inside the plug-in or its host: that frame fails, the shot goes on.
class PluginFrameError : public CliError {
 public:
  using CliError::CliError;
};

// One start of the host program (`wine fxhost.exe PLUGIN render`), through which frame after frame
// is rendered: Wine and the plug-in's set-up are paid once per session, not once per frame. A
// session belongs to one thread.
class PluginSession {
 public:
  explicit PluginSession(PluginFiles files);
  ~PluginSession();  // a host still running is killed: Finish is the orderly end
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  // Starts the host unless it is running, and returns at once: Wine starts while the caller reads
  // its frame. Throws CliError when the files or Wine are missing.
  void Start();

  // Smooths `in` with the values the host's parameters would hold. Throws PluginFrameError when the
  // plug-in or the host refused the frame, or the host died on it (a new host is started for the
  // next frame, and the message says so); CliError when no host can be started.
  Image Render(const Image& in, const Params& params, SourceMode mode);

  // Ends the stream and waits for the host, which then judges the plug-in's accounts. Throws
  // CliError with the host's own words when they did not balance or it ended badly. Nothing when
  // no host is running.
  void Finish();

 private:
  // The host's last words from its log, for messages.
  std::string LastWords() const;
  // Waits for the host after its stream was closed (killing it first when `kill`); its exit status.
  int Reap(bool kill);
  void CloseStreams();

  PluginFiles files_;
  pid_t child_ = -1;
  int toHost_ = -1;
  int fromHost_ = -1;
  int log_ = -1;  // the host's standard error: an unnamed file, read back when it matters
};

}  // namespace tessaline::cli
