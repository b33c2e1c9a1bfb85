#include "plugin_test_support.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace plugin_test {
namespace {

constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::string readAppDataSetting() {
  char value[1024] = "";
  DWORD size = sizeof value;
  RegGetValueA(HKEY_CURRENT_USER, kShellFolders, "AppData", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
               nullptr, value, &size);
  return value;
}

void writeAppDataSetting(const std::string& value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegSetValueExA(key, "AppData", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

std::string testFolder(const std::string& name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string folder = std::string(temp) + "tessaline-test-" + std::to_string(GetCurrentProcessId()) + "-" + name;
  if (info != nullptr) folder += std::string("-") + info->name();
  std::replace(folder.begin(), folder.end(), '/', '_');
  return folder;
}

}  // namespace

std::string pluginPath() { return TESSALINE_AEX_PATH; }
std::string programPath() { return FXHOST_PROGRAM_PATH; }

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string fileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::wstring fromCp932(const std::string& text) {
  std::wstring out(text.size(), L'\0');
  out.resize(static_cast<std::size_t>(MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()),
                                                          out.data(), static_cast<int>(out.size()))));
  return out;
}

void removeTree(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

ScopedAppData::ScopedAppData(const std::string& name, bool create, std::size_t length)
    : folder_(testFolder(name)), saved_(readAppDataSetting()) {
  // A test program that died while a folder of its own was in place left it there: the user's
  // folder is the prefix's default.
  if (saved_.find("tessaline-test-") != std::string::npos) saved_ = "%USERPROFILE%\\AppData\\Roaming";
  if (folder_.size() < length) folder_.append(length - folder_.size(), 'x');
  removeTree(folder_);
  if (create) CreateDirectoryA(folder_.c_str(), nullptr);
  writeAppDataSetting(folder_);
}

ScopedAppData::~ScopedAppData() {
  writeAppDataSetting(saved_);
  removeTree(folder_);
}

void writeSettings(const ScopedAppData& appData, const std::vector<std::pair<std::string, std::string>>& keys,
                   const char* section) {
  std::error_code ignored;
  std::filesystem::create_directories(appData.settingsFolder(), ignored);
  for (const auto& [key, value] : keys) {
    WritePrivateProfileStringA(section, key.c_str(), value.c_str(), appData.settingsFile().c_str());
  }
}

std::vector<std::uint8_t> engineRender(const fxhost::OwnedWorld& input, const tessaline::Params& params,
                                       tessaline::SourceMode mode) {
  using fxhost::PixelDepth;
  const tessaline::Depth depth = input.depth() == PixelDepth::Eight     ? tessaline::Depth::U8
                                 : input.depth() == PixelDepth::Sixteen ? tessaline::Depth::U16
                                                                        : tessaline::Depth::F32;
  fxhost::OwnedWorld expected(input.depth(), input.width(), input.height());
  std::vector<std::uint8_t> map(tessaline::EdgeMapBytes(input.width(), input.height()));
  EXPECT_EQ(tessaline::Render(depth, mode, {input.row(0), input.rowbytes(), input.width(), input.height()},
                              {expected.row(0), expected.rowbytes(), expected.width(), expected.height()}, params,
                              map.data()),
            tessaline::RenderStatus::Ok);
  return expected.packedPixels();
}

void PluginTest::SetUp() {
  appData = std::make_unique<ScopedAppData>();
  host = std::make_unique<fxhost::Host>();
  host->loadPlugin(pluginPath());
}

void PluginTest::TearDown() {
  if (host == nullptr) return;
  host->shutdown();
  const fxhost::AccountsReport report = host->accounts();
  EXPECT_TRUE(report.balanced()) << report.text();
  host.reset();
  appData.reset();
}

void PluginTest::startSession() {
  ASSERT_EQ(host->globalSetup(), PF_Err_NONE) << host->returnMessage();
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE) << host->returnMessage();
  ASSERT_EQ(host->sequenceSetup(), PF_Err_NONE) << host->returnMessage();
}

void PluginTest::expectBalanced(const std::string& after) {
  std::vector<std::string> found = host->accounts().imbalances;
  std::erase_if(found, [](const std::string& m) { return m.find("was never disposed of") != std::string::npos; });
  EXPECT_EQ(found, std::vector<std::string>{}) << after;
}

void PluginTest::setValue(PF_ParamIndex index, A_long value) {
  PF_ParamDef& def = host->param(index);
  if (def.param_type == PF_Param_CHECKBOX) {
    def.u.bd.value = value;
  } else {
    def.u.sd.value = value;
  }
}

PF_Err PluginTest::inDialogCommand(const std::function<PF_Err(PF_InData&, PF_ParamDef**)>& body) {
  std::vector<PF_ParamDef> copies;
  for (int i = 0; i < host->paramCount(); ++i) copies.push_back(host->param(i));
  std::vector<PF_ParamDef*> params;
  for (PF_ParamDef& d : copies) params.push_back(&d);
  return host->runInProcess(PF_Cmd_DO_DIALOG, [&](PF_InData& in, PF_OutData&) { return body(in, params.data()); });
}

}  // namespace plugin_test
