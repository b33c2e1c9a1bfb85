// What the plug-in's tests share: where the built files are, a clean per-user folder for the
// settings file, and a host with the real dist/tessaline.aex loaded whose accounts are judged.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine.h"
#include "fxhost/host.h"

namespace plugin_test {

std::string pluginPath();   // dist/tessaline.aex, as Wine names it
std::string programPath();  // dist/fxhost.exe

// The user's application-data folder, pointed at a folder of the test's own for the object's life
// (through the per-user shell-folder setting that SHGetSpecialFolderPathA reads on every call),
// then pointed back. The folder is made empty first unless `create` is false; its name is padded
// to make the whole path `length` characters long when that is given.
class ScopedAppData {
 public:
  explicit ScopedAppData(const std::string& name = "appdata", bool create = true, std::size_t length = 0);
  ~ScopedAppData();
  ScopedAppData(const ScopedAppData&) = delete;
  ScopedAppData& operator=(const ScopedAppData&) = delete;

  const std::string& folder() const { return folder_; }
  std::string settingsFolder() const { return folder_ + "\\NORVA\\tessaline"; }
  std::string settingsFile() const { return settingsFolder() + "\\tessaline.ini"; }

 private:
  std::string folder_;
  std::string saved_;
};

// Writes the keys into the settings file under `section`, making its folders.
void writeSettings(const ScopedAppData& appData, const std::vector<std::pair<std::string, std::string>>& keys,
                   const char* section = "Version=1.0");
bool exists(const std::string& path);
std::string fileText(const std::string& path);
// Code page 932 (Japanese ANSI) bytes as UTF-16.
std::wstring fromCp932(const std::string& text);
// Removes a folder and everything in it.
void removeTree(const std::string& folder);

// What the engine makes of `input` on its own: the pixels, packed, that every render of the same
// frame through the plug-in must give.
std::vector<std::uint8_t> engineRender(const fxhost::OwnedWorld& input, const tessaline::Params& params,
                                       tessaline::SourceMode mode);

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Shuts the plug-in down and requires balanced accounts.
  void TearDown() override;

  // Global, parameter and sequence setup, each required to succeed.
  void startSession();
  // Sets a slider's or a checkbox's value in the host's current definition.
  void setValue(PF_ParamIndex index, A_long value);
  // Requires the accounts so far to be balanced, but for the handles merely still alive (the
  // sequence data between commands).
  void expectBalanced(const std::string& after);
  // Runs `body` as the plug-in's handling of the options command, with copies of the host's
  // current definitions as the command's parameters.
  PF_Err inDialogCommand(const std::function<PF_Err(PF_InData&, PF_ParamDef**)>& body);

  std::unique_ptr<ScopedAppData> appData;
  std::unique_ptr<fxhost::Host> host;
};

// The effect's parameter indices.
enum Param : PF_ParamIndex {
  kColorThreshold = 1,
  kSoftness,
  kBias,
  kKeyGroup,
  kKeyEnable,
  kKeyColor,
  kKeyThreshold,
  kInvert,
};

}  // namespace plugin_test
