// ofxhost: describes an OpenFX effect or renders frames through it, as a strict host.
#include <cstdio>
#include <iostream>

#include "describe.h"
#include "program_options.h"
#include "render_session.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#if defined(_WIN32)
  // Frames are bytes: no newline translation on any stream.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  using namespace ofxhost::program;
  ProgramOptions options;
  try {
    options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& e) {
    std::cerr << "ofxhost: " << e.what() << "; run 'ofxhost --help' for usage\n";
    return 1;
  }
  if (options.mode == "help") {
    std::cout << Usage();
    return 0;
  }
  if (options.mode == "describe") {
    try {
      ofxhost::Host host(options.bundle, options.host);
      WriteDescription(host.Describe(), std::cout);
      return ReportClean(host, std::cerr) ? 0 : 3;
    } catch (const ofxhost::HostError& e) {
      std::cerr << "ofxhost: " << e.what() << "\n";
      return 1;
    }
  }
  const auto read = [](void* buffer, std::size_t count) { return std::fread(buffer, 1, count, stdin); };
  const auto write = [](const void* bytes, std::size_t count) {
    return std::fwrite(bytes, 1, count, stdout) == count && std::fflush(stdout) == 0;
  };
  return RunRender(options, read, write, std::cerr);
}
