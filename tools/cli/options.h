// The command line: what the user asked for, checked against the effect's parameter ranges.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine.h"

namespace tessaline::cli {

struct Options {
  std::string input;
  std::string output;
  Params params;  // starts at the effect's own defaults
  SourceMode mode = SourceMode::Plain;
  bool viaPlugin = false;  // render through the real Windows plug-in under Wine
};

struct CommandLine {
  enum class Action { Run, Help, Fail };
  Action action = Action::Fail;
  Options options;    // meaningful for Run
  std::string error;  // for Fail: one line saying what is wrong and how to put it right
};

// Parses the arguments that follow the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text printed by --help.
std::string_view Usage();

}  // namespace tessaline::cli
