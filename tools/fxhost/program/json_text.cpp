#include "json_text.h"

#include <windows.h>

#include <cstdio>

namespace fxhost::program::json {
namespace {

constexpr UINT kPluginCodePage = 932;

std::string utf8FromPluginText(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  const int wide = MultiByteToWideChar(kPluginCodePage, 0, bytes.data(), length, nullptr, 0);
  std::wstring unicode(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(kPluginCodePage, 0, bytes.data(), length, unicode.data(), wide);
  const int narrow = WideCharToMultiByte(CP_UTF8, 0, unicode.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(narrow), '\0');
  WideCharToMultiByte(CP_UTF8, 0, unicode.data(), wide, utf8.data(), narrow, nullptr, nullptr);
  return utf8;
}

}  // namespace

std::string text(std::string_view bytes) {
  std::string out = "\"";
  for (const char c : utf8FromPluginText(bytes)) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string hex(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out = "\"";
  for (const std::uint8_t byte : bytes) {
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
  }
  return out + "\"";
}

std::string hex(std::string_view bytes) {
  return hex(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::string number(long long value) { return std::to_string(value); }

std::string hex32(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "\"0x%08X\"", static_cast<unsigned>(value));
  return text;
}

std::string boolean(bool value) { return value ? "true" : "false"; }

std::string object(const Fields& fields) {
  std::string out = "{";
  for (const auto& [name, value] : fields) {
    if (out.size() > 1) out += ",";
    out += text(name) + ":" + value;
  }
  return out + "}";
}

std::string array(const std::vector<std::string>& values) {
  std::string out = "[";
  for (const std::string& value : values) {
    if (out.size() > 1) out += ",";
    out += value;
  }
  return out + "]";
}

}  // namespace fxhost::program::json
