#pragma once
// The command line of fxhost.exe.

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "fxhost/frame_protocol.h"
#include "fxhost/host_options.h"

namespace fxhost::program {

struct ProgramOptions {
  std::string pluginPath;
  std::string mode;  // "render", "describe", "dialog", "info", or "help" when asked for the usage
  HostOptions host;
  bool classicRender = false;
  int threads = 1;           // frames rendered at once, each on its own thread
  A_long inputPadding = 0;   // bytes after each row of the input world
  A_long outputPadding = 0;  // and of the output world
  protocol::FrameRegion region;  // render: --request, --origin, --downsample, for frames that set none
  bool timing = false;           // render: how long the plug-in took per frame, and its worlds' peak
  std::vector<std::pair<std::string, A_long>> refusedSuites;
  std::vector<std::pair<PF_ParamIndex, std::string>> paramValues;  // dialog: --param INDEX=VALUE
  std::string settingsFile;  // dialog: the file to show; empty for the plug-in's own
};

// Throws std::invalid_argument naming what is wrong.
ProgramOptions parseProgramOptions(const std::vector<std::string>& arguments);

const char* usageText();

}  // namespace fxhost::program
