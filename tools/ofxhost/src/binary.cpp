#include "binary.h"

#include <algorithm>

#include "ofxhost/host.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace ofxhost {

#if defined(_WIN32)

Binary::Binary(const std::string& path) {
  std::string windowsPath = path;
  std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
  module_ = LoadLibraryExA(windowsPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (module_ == nullptr) {
    throw HostError("cannot load '" + path + "' (Windows error " + std::to_string(GetLastError()) + ")");
  }
}

Binary::~Binary() { FreeLibrary(static_cast<HMODULE>(module_)); }

void* Binary::Symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module_), name));
}

#else

Binary::Binary(const std::string& path) {
  module_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module_ == nullptr) {
    const char* reason = dlerror();
    throw HostError("cannot load '" + path + "': " + (reason != nullptr ? reason : "unknown reason"));
  }
}

Binary::~Binary() { dlclose(module_); }

void* Binary::Symbol(const char* name) const { return dlsym(module_, name); }

#endif

}  // namespace ofxhost
