#pragma once
// Reading a plug-in's property list ("PiPL" resource 16000) from its raw bytes.
//
// The resource is packed and little-endian: a 16-bit 1, the 32-bit list version 0, the 32-bit
// property count, then per property vendor, key, id and length (32 bits each) and `length` bytes
// of data padded with zeros to a multiple of four. A list that breaks any of this is refused as a
// whole, as is one without a '8664' entry point: the host must never guess at a plug-in.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ae_effect.h"
#include "pipl.h"

namespace fxhost {

struct PiplProperty {
  PIType vendor = 0;
  PIType key = 0;
  A_long id = 0;
  std::vector<std::uint8_t> data;  // exactly `length` bytes, without the padding
};

// The properties an effect host reads, decoded. Absent properties stay empty.
struct PiplInfo {
  std::optional<PIType> kind;
  std::string name;        // 'name', Pascal string
  std::string category;    // 'catg', Pascal string
  std::string matchName;   // 'eMNA', Pascal string
  std::string entryPoint;  // '8664', C string
  std::optional<PF_SpecVersion> piplVersion;  // 'ePVR'
  std::optional<PF_SpecVersion> specVersion;  // 'eSVR'
  std::optional<A_u_long> effectVersion;      // 'eVER'
  std::optional<A_u_short> infoFlags;         // 'eINF'
  std::optional<PF_OutFlags> outFlags;        // 'eGLO'
  std::optional<PF_OutFlags2> outFlags2;      // 'eGL2'
  std::optional<A_long> reservedInfo;         // 'aeFL'
};

struct PiplResult {
  std::vector<PiplProperty> properties;
  PiplInfo info;
  std::string error;  // empty when the list was accepted

  bool ok() const { return error.empty(); }
};

PiplResult parsePipl(std::span<const std::uint8_t> bytes);

// "8664", "eFKT": a four-character code as text, first character from the highest byte.
std::string fourCharText(PIType code);

}  // namespace fxhost
