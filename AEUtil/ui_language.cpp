#include "ui_language.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>

#include "suite_registry.h"

namespace AEUtil {
namespace {

// The host's code for a suite it does not have.
constexpr int kMissingSuite = 13;

bool gCommandLineTested = false;
bool gCommandLineEnglish = false;

// The effect API version as one number, major in the high half: 9.0 is 0x00090000.
std::uint32_t apiVersion(const PF_InData* in_data) {
  return static_cast<std::uint32_t>(in_data->version.major) * 65536u +
         static_cast<std::uint16_t>(in_data->version.minor);
}

Language askHost(const PF_InData* in_data) {
  const ScopedSuite suite(in_data->pica_basicP, kPFAppSuite, kPFAppSuiteVersion5);
  const auto* app = suite.as<PFAppSuite5>();
  if (app == nullptr) throw kMissingSuite;
  char tag[PF_APP_LANG_TAG_SIZE] = {};
  app->PF_AppGetLanguage(tag);
  tag[sizeof tag - 1] = 0;  // whatever the host wrote, the comparison stays inside the buffer
  return _stricmp(tag, "ja_JP") == 0 ? kJapanese : kEnglish;
}

}  // namespace

Language queryUiLanguage(const PF_InData* in_data) {
  try {
    return askHost(in_data);
  } catch (int code) {
    if (code != kMissingSuite) return kEnglish;
    if (commandLineRequestsEnglish(in_data)) return kEnglish;
    return GetUserDefaultUILanguage() == 0x0411 ? kJapanese : kEnglish;
  }
}

bool commandLineRequestsEnglish(const PF_InData* in_data) {
  if (gCommandLineTested) return gCommandLineEnglish;
  gCommandLineTested = true;
  if (in_data != nullptr && apiVersion(in_data) > 0x00090000u) return gCommandLineEnglish;
  gCommandLineEnglish = commandLineAsksForEnglish(GetCommandLineW());
  return gCommandLineEnglish;
}

bool commandLineAsksForEnglish(const wchar_t* commandLine) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(commandLine, &count);
  if (arguments == nullptr) return false;
  bool english = false;
  for (int i = 0; i < count; ++i) {
    if (_wcsicmp(arguments[i], L"-L") != 0) continue;
    if (i + 1 < count) {
      // "en_US", "EN", "en-GB": the language part before a space, underscore or hyphen.
      const wchar_t* tag = arguments[i + 1];
      english = std::wcscspn(tag, L" _-") == 2 && _wcsnicmp(tag, L"en", 2) == 0;
    }
    break;
  }
  LocalFree(arguments);
  return english;
}

void forgetCommandLineAnswer() {
  gCommandLineTested = false;
  gCommandLineEnglish = false;
}

}  // namespace AEUtil
