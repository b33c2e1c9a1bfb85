#include "cli_error.h"

#include <cstdint>
#include <cstdio>

namespace tessaline::cli {

namespace {

// The length of the well-formed UTF-8 character at the start of `text` that is not a control
// character, or 0.
std::size_t PrintableCharacter(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead >= 0x20 && lead < 0x7F) return 1;
  std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (length == 0 || text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  std::uint32_t code = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) code = code << 6 | (byte(i) & 0x3F);
  const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool c1 = code >= 0x80 && code <= 0x9F, surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (code < least[length] || code > 0x10FFFF || c1 || surrogate) return 0;
  return length;
}

}  // namespace

std::string TerminalSafe(std::string_view text) {
  std::string safe;
  safe.reserve(text.size());
  while (!text.empty()) {
    std::size_t length = text.front() == '\t' ? 1 : PrintableCharacter(text);
    if (length == 0) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(text.front()));
      safe += escaped;
      length = 1;
    } else {
      safe.append(text.substr(0, length));
    }
    text.remove_prefix(length);
  }
  return safe;
}

}  // namespace tessaline::cli
