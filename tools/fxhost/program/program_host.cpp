#include "program_host.h"

#include "fxhost/host_error.h"

namespace fxhost::program {

bool loadPlugin(Host& host, const ProgramOptions& options, std::ostream& log) {
  for (const auto& [name, version] : options.refusedSuites) host.faults().refuseSuite(name, version);
  try {
    host.loadPlugin(options.pluginPath);
    return true;
  } catch (const HostError& error) {
    log << "fxhost: " << error.what() << "\n";
    return false;
  }
}

}  // namespace fxhost::program
