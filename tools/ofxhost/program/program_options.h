#pragma once
// The command line of the ofxhost program.

#include <string>
#include <vector>

#include "ofxhost/host.h"

namespace ofxhost::program {

struct ProgramOptions {
  std::string bundle;
  std::string mode;  // "describe", "render", or "help"
  HostOptions host;
  int threads = 1;  // frames (or windows) rendered at once
  int tiles = 1;    // each window rendered as this many strips
};

// Throws std::invalid_argument naming what is wrong.
ProgramOptions ParseOptions(const std::vector<std::string>& arguments);
const char* Usage();

}  // namespace ofxhost::program
