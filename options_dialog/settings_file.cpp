#include "settings_file.h"

#include <windows.h>
#include <mbstring.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>

#include "param_registry.h"

char settingsSection[128] = "";

namespace {

constexpr char kFolderTail[] = "\\NORVA\\tessaline\\";
constexpr char kFileName[] = "tessaline.ini";
// The defaults are written from at most this many descriptors (one less than the index table).
constexpr std::size_t kMaxStoredDescriptors = 16383;

bool applicationDataFolder(char (&folder)[MAX_PATH]) {
  folder[0] = 0;
  return SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, FALSE) != FALSE && folder[0] != 0;
}

// The file's folder, made if missing (with any folders above it). False when there is no path.
bool prepareFolder(char (&path)[kSettingsPathSize]) {
  if (!settingsFilePath(path)) return false;
  char folder[kSettingsPathSize];
  std::memcpy(folder, path, sizeof folder);
  PathRemoveFileSpecA(folder);
  SHCreateDirectoryExA(nullptr, folder, nullptr);
  return true;
}

}  // namespace

bool settingsFilePath(char (&path)[kSettingsPathSize]) {
  path[0] = 0;
  char folder[MAX_PATH];
  if (!applicationDataFolder(folder)) return false;
  const int length = std::snprintf(path, sizeof path, "%s%s%s", folder, kFolderTail, kFileName);
  if (length < 0 || length >= kSettingsPathSize) {
    path[0] = 0;
    return false;
  }
  return true;
}

void useSettingsSection() {
  std::strncpy(settingsSection, "Version=1.0", sizeof settingsSection);
  settingsSection[sizeof settingsSection - 1] = 0;
}

void clearSettingsSection() { settingsSection[0] = 0; }

void SetDefaults(PF_InData* in_data, PF_ParamDef** params) {
  char path[kSettingsPathSize];
  if (!prepareFolder(path) || params == nullptr) return;
  // The host's current definitions replace the descriptors' own, so that each writes what the
  // user sees now. A failure only ends its own loop; whatever was fetched is still written.
  GetParamFromArray reader(params);
  forEachDescriptor([&](BaseParam& d) { return d.ReadValue(nullptr, reader); }, kMaxStoredDescriptors);
  forEachDescriptor([&](BaseParam& d) { return d.ReleaseValue(reader); }, kMaxStoredDescriptors);
  forEachDescriptor(
      [&](BaseParam& d) {
        d.StoreDefault(in_data, path);
        return PF_Err_NONE;
      },
      kMaxStoredDescriptors);
}

void RestoreDefaults() {
  char path[kSettingsPathSize];
  if (!prepareFolder(path)) return;
  DeleteFileA(path);
  char stop[MAX_PATH];
  if (!applicationDataFolder(stop)) return;
  // Up from the file's folder, removing each folder that is left empty, never the
  // application-data folder itself.
  PathRemoveFileSpecA(path);
  while (_mbscmp(reinterpret_cast<const unsigned char*>(path), reinterpret_cast<const unsigned char*>(stop)) != 0) {
    if (!RemoveDirectoryA(path)) break;
    if (!PathRemoveFileSpecA(path)) break;
  }
}
