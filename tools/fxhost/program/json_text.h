#pragma once
// Building the JSON text of `fxhost.exe PLUGIN describe`: values are written in the order given,
// so the same plug-in always gives the same text.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fxhost::program::json {

using Fields = std::vector<std::pair<std::string, std::string>>;  // name, value already in JSON

// A plug-in's text, read as code page 932 (plain ASCII reads as itself), as a JSON string in UTF-8.
std::string text(std::string_view bytes);
// Bytes as a JSON string of two lowercase hex digits per byte.
std::string hex(std::span<const std::uint8_t> bytes);
std::string hex(std::string_view bytes);
std::string number(long long value);
// A 32-bit value as a JSON string "0x" and eight uppercase hex digits.
std::string hex32(std::uint32_t value);
std::string boolean(bool value);
std::string object(const Fields& fields);
std::string array(const std::vector<std::string>& values);

}  // namespace fxhost::program::json
