// The text tables. This file is compiled with the execution character set CP932, so the Japanese
// texts below reach the program as the Shift-JIS bytes that the ANSI window calls of a Japanese
// system expect; the ASCII texts are the same bytes either way.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "plugin_module.h"
#include "ui_language.h"

namespace AEUtil {
namespace {

struct TextRow {
  std::int32_t id;
  const char* japanese;  // null when absent
  const char* english;
};

// Beside the plug-in, as the release archive installs it.
constexpr wchar_t kManualFile[] = L"tessaline-manual\\index.html";
// The longest address the options dialog keeps.
constexpr std::size_t kMaxAddress = 255;

bool unreservedInUrl(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~' || c == '/' || c == ':';
}

// A file: address of the manual installed beside the plug-in, in plain ASCII (every other byte of
// the path's UTF-8 form percent-encoded, so the address survives any ANSI code page); empty when
// the manual is not there or the address would be too long to keep.
std::string findManualAddress() {
  wchar_t path[MAX_PATH + 64];
  const DWORD length = GetModuleFileNameW(pluginModule(), path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  std::wstring manual(path, length);
  manual.erase(manual.find_last_of(L'\\') + 1);
  manual += kManualFile;
  const DWORD attributes = GetFileAttributesW(manual.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {};

  const int bytes = WideCharToMultiByte(CP_UTF8, 0, manual.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, manual.c_str(), -1, utf8.data(), bytes, nullptr, nullptr);
  std::string address = "file:///";
  for (const char ch : std::string(utf8.c_str())) {
    const auto c = static_cast<unsigned char>(ch == '\\' ? '/' : ch);
    if (unreservedInUrl(c)) {
      address += static_cast<char>(c);
      continue;
    }
    char escaped[4];
    std::snprintf(escaped, sizeof escaped, "%%%02X", c);
    address += escaped;
  }
  return address.size() <= kMaxAddress ? address : std::string();
}

const char* manualAddress() {
  static const std::string address = findManualAddress();
  return address.c_str();
}

const char* lookUp(const TextRow* rows, std::size_t count, std::int32_t id, Language language) {
  for (std::size_t i = 0; i < count; ++i) {
    if (rows[i].id != id) continue;
    const char* japanese = rows[i].japanese;
    const char* english = rows[i].english;
    if (language == kJapanese) return japanese != nullptr ? japanese : english != nullptr ? english : "";
    if (language == kEnglish) return english != nullptr ? english : japanese != nullptr ? japanese : "";
    return "";
  }
  return "";
}

const TextRow kUiText[] = {
    {0, "設定 （次回起動から有効になります）", "Settings (Valid from next start-up)"},
    {1, "現在のパラメータ設定をデフォルト値として記憶する", "Set current parameter values to default"},
    {2, "パラメータのデフォルト値設定を初期状態に復帰する", "Restore initial default parameter values"},
    {4, "<a>オンラインマニュアル</a>", "<a>Online Manual</a>"},
};

}  // namespace

const char* productText(std::int32_t id, Language language) {
  if (id == 3) return language == kJapanese || language == kEnglish ? manualAddress() : "";
  static const TextRow kProductText[] = {
      {0, "tessaline", "tessaline"},
      {1, "セル画の階段状のエッジを滑らかにします。(c) 2026 tessaline 開発チーム",
       "Smooths stair-stepped edges in cel footage. (c) 2026 the tessaline developers"},
      {2, "tessaline", "tessaline"},
  };
  return lookUp(kProductText, std::size(kProductText), id, language);
}

const char* uiText(std::int32_t id, Language language) {
  return lookUp(kUiText, std::size(kUiText), id, language);
}

const char* unknownErrorText() { return "不明なエラー"; }

}  // namespace AEUtil
