#include "fxhost/plugin_module.h"

#include <cstdint>
#include <utility>

#include "fxhost/host_error.h"

namespace fxhost {
namespace {

constexpr WORD kPiplResourceId = 16000;

std::string windowsError(const std::string& what, const std::string& path) {
  return what + " \"" + path + "\" (Windows error " + std::to_string(GetLastError()) + ")";
}

class DataModule {
 public:
  explicit DataModule(const std::string& path)
      : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
    if (module_ == nullptr) throw HostError(windowsError("cannot open plug-in", path));
  }
  ~DataModule() { FreeLibrary(module_); }
  DataModule(const DataModule&) = delete;
  DataModule& operator=(const DataModule&) = delete;
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

}  // namespace

PiplResult readPiplFromFile(const std::string& path) {
  const DataModule module(path);
  HRSRC resource = FindResourceA(module.get(), MAKEINTRESOURCEA(kPiplResourceId), "PiPL");
  if (resource == nullptr) throw HostError("plug-in \"" + path + "\" has no PiPL resource 16000");
  HGLOBAL loaded = LoadResource(module.get(), resource);
  const void* bytes = loaded == nullptr ? nullptr : LockResource(loaded);
  if (bytes == nullptr) throw HostError(windowsError("cannot read the PiPL resource of", path));
  const DWORD size = SizeofResource(module.get(), resource);
  return parsePipl(std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(bytes), size));
}

PluginModule PluginModule::load(const std::string& path) {
  PiplResult pipl = readPiplFromFile(path);
  if (!pipl.ok()) throw HostError("plug-in \"" + path + "\": " + pipl.error);
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) throw HostError(windowsError("cannot load plug-in", path));
  FARPROC proc = GetProcAddress(module, pipl.info.entryPoint.c_str());
  if (proc == nullptr) {
    FreeLibrary(module);
    throw HostError("plug-in \"" + path + "\" exports no entry point \"" + pipl.info.entryPoint + "\"");
  }
  // GetProcAddress hands every export back as a generic function pointer; the PiPL says its type.
  auto entry = reinterpret_cast<PF_FilterProc>(reinterpret_cast<void (*)()>(proc));
  return PluginModule(path, module, entry, std::move(pipl));
}

PluginModule::PluginModule(std::string path, HMODULE module, PF_FilterProc entry, PiplResult pipl)
    : path_(std::move(path)), module_(module), entry_(entry), pipl_(std::move(pipl)) {}

PluginModule::PluginModule(PluginModule&& other) noexcept
    : path_(std::move(other.path_)),
      module_(std::exchange(other.module_, nullptr)),
      entry_(std::exchange(other.entry_, nullptr)),
      pipl_(std::move(other.pipl_)) {}

PluginModule& PluginModule::operator=(PluginModule&& other) noexcept {
  if (this == &other) return *this;
  if (module_ != nullptr) FreeLibrary(module_);
  path_ = std::move(other.path_);
  module_ = std::exchange(other.module_, nullptr);
  entry_ = std::exchange(other.entry_, nullptr);
  pipl_ = std::move(other.pipl_);
  return *this;
}

PluginModule::~PluginModule() {
  if (module_ != nullptr) FreeLibrary(module_);
}

}  // namespace fxhost
