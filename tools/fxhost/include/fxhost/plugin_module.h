#pragma once
// A loaded plug-in: its module, its property list and the entry point the list names.

#include <windows.h>

#include <string>

#include "ae_effect.h"
#include "fxhost/pipl_reader.h"

namespace fxhost {

// Reads the property list of the file at `path` without running any of its code. Throws HostError
// when the file cannot be opened or has no "PiPL" resource 16000; a malformed list comes back as
// a result with an error.
PiplResult readPiplFromFile(const std::string& path);

class PluginModule {
 public:
  // Reads and checks the property list first; only an accepted list gets the code loaded
  // (LoadLibraryA) and its entry point looked up. Throws HostError on any failure.
  static PluginModule load(const std::string& path);

  PluginModule(PluginModule&& other) noexcept;
  PluginModule& operator=(PluginModule&& other) noexcept;
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;
  ~PluginModule();

  HMODULE module() const { return module_; }
  PF_FilterProc entry() const { return entry_; }
  const PiplResult& pipl() const { return pipl_; }
  const std::string& path() const { return path_; }

 private:
  PluginModule(std::string path, HMODULE module, PF_FilterProc entry, PiplResult pipl);

  std::string path_;
  HMODULE module_ = nullptr;
  PF_FilterProc entry_ = nullptr;
  PiplResult pipl_;
};

}  // namespace fxhost
