// The command line: what the user asked for, checked against the effect's parameter ranges and
// for frame patterns that fit together.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine.h"
#include "frame_list.h"
#include "frame_pattern.h"

namespace tessaline::cli {

struct Options {
  FramePattern input;
  FramePattern output;
  std::optional<FramePattern> edges;  // --edges: where the edge view goes
  Params params;                      // starts at the effect's own defaults
  SourceMode mode = SourceMode::Plain;
  bool viaPlugin = false;                  // render through the real Windows plug-in under Wine
  bool viaOfx = false;                     // render through the OpenFX plug-in, in this process
  std::string part;                        // --part: the part, layer or view of the input files to smooth
  bool allParts = false;                   // --all-parts: every part, layer and view with colour
  std::uint64_t maxPixels = 0;             // --max-pixels; 0: what memory holds for the threads in use
  std::optional<std::vector<int>> frames;  // --frames; otherwise the frames found on disk
  std::optional<Chunk> chunk;
  int threads = 0;  // frames in flight; 0: one per core this process may use
  bool strict = false;
  bool skipExisting = false;
  bool quiet = false;
};

struct CommandLine {
  enum class Action { Run, Help, Version, Fail };
  Action action = Action::Fail;
  Options options;    // meaningful for Run
  std::string error;  // for Fail: one line saying what is wrong and how to put it right
};

// Parses the arguments that follow the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text printed by --help.
std::string_view Usage();

// The line printed by --version.
std::string VersionLine();

}  // namespace tessaline::cli
