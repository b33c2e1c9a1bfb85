// fxhost.exe: renders frames through an effect plug-in, describes what setting it up shows, or
// shows its property list.

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>

#include "fxhost/host_error.h"
#include "fxhost/plugin_module.h"
#include "describe_session.h"
#include "dialog_session.h"
#include "program_options.h"
#include "render_session.h"

namespace {

int printInfo(const std::string& path) {
  try {
    const fxhost::PiplResult pipl = fxhost::readPiplFromFile(path);
    if (!pipl.ok()) {
      std::cerr << "fxhost: " << pipl.error << "\n";
      return 1;
    }
    const fxhost::PiplInfo& info = pipl.info;
    std::cout << "name: " << info.name << "\ncategory: " << info.category << "\nmatch name: " << info.matchName
              << "\nentry point: " << info.entryPoint << "\nkind: " << fxhost::fourCharText(info.kind.value_or(0))
              << "\n";
    if (info.specVersion) std::cout << "spec version: " << info.specVersion->major << "." << info.specVersion->minor << "\n";
    std::cout << std::hex << "version: 0x" << info.effectVersion.value_or(0) << "\nout flags: 0x"
              << info.outFlags.value_or(0) << "\nout flags 2: 0x" << info.outFlags2.value_or(0) << "\n";
    return 0;
  } catch (const fxhost::HostError& error) {
    std::cerr << "fxhost: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Frames are bytes, and the texts are read by programs on either system: no newline
  // translation on any stream.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  fxhost::program::ProgramOptions options;
  try {
    options = fxhost::program::parseProgramOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& error) {
    std::cerr << "fxhost: " << error.what() << "\n" << fxhost::program::usageText();
    return 1;
  }
  if (options.mode == "help") {
    std::cout << fxhost::program::usageText();
    return 0;
  }
  if (options.mode == "info") return printInfo(options.pluginPath);
  if (options.mode == "describe") return fxhost::program::runDescribeSession(options, std::cout, std::cerr);
  if (options.mode == "dialog") return fxhost::program::runDialogSession(options, std::cout, std::cerr);

  const auto read = [](void* buffer, std::size_t count) { return std::fread(buffer, 1, count, stdin); };
  const auto write = [](const void* bytes, std::size_t count) {
    return std::fwrite(bytes, 1, count, stdout) == count && std::fflush(stdout) == 0;
  };
  return fxhost::program::runRenderSession(options, read, write, std::cerr);
}
