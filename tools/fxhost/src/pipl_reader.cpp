#include "fxhost/pipl_reader.h"

#include <cstring>

namespace fxhost {
namespace {

constexpr std::size_t kHeaderBytes = 2 + 4 + 4;
constexpr std::size_t kPropertyHeaderBytes = 16;

std::uint32_t readU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t readU16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::size_t padded(std::size_t length) { return (length + 3) & ~static_cast<std::size_t>(3); }

std::string describe(const PiplProperty& property) {
  std::string text = fourCharText(property.key);
  text.insert(text.begin(), '\'');
  text.push_back('\'');
  return text;
}

// Each decoder returns an error text, empty on success.
std::string decodePascal(const PiplProperty& property, std::string& out) {
  if (property.data.empty()) return "property " + describe(property) + " is empty";
  const std::size_t length = property.data[0];
  if (length + 1 > property.data.size()) {
    return "property " + describe(property) + ": Pascal string of " + std::to_string(length) +
           " characters in " + std::to_string(property.data.size()) + " bytes";
  }
  out.assign(reinterpret_cast<const char*>(property.data.data()) + 1, length);
  return {};
}

std::string decodeCString(const PiplProperty& property, std::string& out) {
  const auto* text = reinterpret_cast<const char*>(property.data.data());
  const std::size_t length = strnlen(text, property.data.size());
  if (length == 0) return "property " + describe(property) + " names no function";
  out.assign(text, length);
  return {};
}

std::string needBytes(const PiplProperty& property, std::size_t count) {
  if (property.data.size() >= count) return {};
  return "property " + describe(property) + " has " + std::to_string(property.data.size()) +
         " bytes, needs " + std::to_string(count);
}

std::string decodeVersionPair(const PiplProperty& property, std::optional<PF_SpecVersion>& out) {
  if (auto error = needBytes(property, 4); !error.empty()) return error;
  std::span<const std::uint8_t> data(property.data);
  out = PF_SpecVersion{static_cast<A_short>(readU16(data, 0)), static_cast<A_short>(readU16(data, 2))};
  return {};
}

template <typename T>
std::string decodeU32(const PiplProperty& property, std::optional<T>& out) {
  if (auto error = needBytes(property, 4); !error.empty()) return error;
  out = static_cast<T>(readU32(property.data, 0));
  return {};
}

std::string decodeProperty(const PiplProperty& property, PiplInfo& info) {
  using namespace host_sdk;
  switch (property.key) {
    case PIKindProperty:
      return decodeU32(property, info.kind);
    case kPiPLKeyName:
      return decodePascal(property, info.name);
    case kPiPLKeyCategory:
      return decodePascal(property, info.category);
    case kPiPLKeyMatchName:
      return decodePascal(property, info.matchName);
    case PIWin64X86CodeProperty:
      return info.entryPoint.empty() ? decodeCString(property, info.entryPoint) : std::string{};
    case kPiPLKeyPiPLVersion:
      return decodeVersionPair(property, info.piplVersion);
    case kPiPLKeySpecVersion:
      return decodeVersionPair(property, info.specVersion);
    case kPiPLKeyEffectVersion:
      return decodeU32(property, info.effectVersion);
    case kPiPLKeyOutFlags:
      return decodeU32(property, info.outFlags);
    case kPiPLKeyOutFlags2:
      return decodeU32(property, info.outFlags2);
    case kPiPLKeyReservedInfo:
      return decodeU32(property, info.reservedInfo);
    case kPiPLKeyInfoFlags:
      if (auto error = needBytes(property, 2); !error.empty()) return error;
      info.infoFlags = readU16(property.data, 0);
      return {};
    default:
      return {};  // properties the host does not read are carried, not judged
  }
}

std::string readProperties(std::span<const std::uint8_t> bytes, std::vector<PiplProperty>& out) {
  if (bytes.size() < kHeaderBytes) return "PiPL resource of " + std::to_string(bytes.size()) + " bytes has no header";
  if (readU16(bytes, 0) != static_cast<std::uint16_t>(host_sdk::kPiPLResourceWord)) {
    return "PiPL resource does not start with the 16-bit word 1";
  }
  if (readU32(bytes, 2) != static_cast<std::uint32_t>(kCurrentPiPLVersion)) return "PiPL list version is not 0";
  const std::uint32_t count = readU32(bytes, 6);
  if (count > (bytes.size() - kHeaderBytes) / kPropertyHeaderBytes) {
    return "PiPL property count " + std::to_string(count) + " does not fit in " + std::to_string(bytes.size()) +
           " bytes";
  }
  std::size_t at = kHeaderBytes;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (bytes.size() - at < kPropertyHeaderBytes) {
      return "PiPL property " + std::to_string(i) + " starts past the end of the resource";
    }
    PiplProperty property;
    property.vendor = readU32(bytes, at);
    property.key = readU32(bytes, at + 4);
    property.id = static_cast<A_long>(readU32(bytes, at + 8));
    const auto length = static_cast<A_long>(readU32(bytes, at + 12));
    at += kPropertyHeaderBytes;
    if (length < 0 || padded(static_cast<std::size_t>(length)) > bytes.size() - at) {
      return "PiPL property " + std::to_string(i) + " (" + describe(property) + ") has length " +
             std::to_string(length) + ", past the end of the resource";
    }
    property.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                         bytes.begin() + static_cast<std::ptrdiff_t>(at) + length);
    at += padded(static_cast<std::size_t>(length));
    out.push_back(std::move(property));
  }
  return {};
}

}  // namespace

std::string fourCharText(PIType code) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; ++i) text[static_cast<std::size_t>(i)] = static_cast<char>(code >> (24 - 8 * i) & 0xFF);
  return text;
}

PiplResult parsePipl(std::span<const std::uint8_t> bytes) {
  PiplResult result;
  result.error = readProperties(bytes, result.properties);
  if (!result.ok()) return result;
  for (const PiplProperty& property : result.properties) {
    if (property.vendor != host_sdk::kPiPLVendor) continue;
    result.error = decodeProperty(property, result.info);
    if (!result.ok()) return result;
  }
  if (result.info.entryPoint.empty()) result.error = "PiPL has no '8664' entry point property";
  return result;
}

}  // namespace fxhost
