#pragma once
// The plug-in property list ("PiPL"): how the host finds the effect, its name, category, entry
// point, version and flags without running any of its code.
//
// In memory the host describes the list with PIPropertyList. The Windows resource of type "PiPL"
// stores the same properties after a short header of its own, packed, little-endian:
//   a 16-bit 1, the 32-bit list version (kCurrentPiPLVersion), the 32-bit property count,
//   then each property: vendor, key, id, length (four 32-bit values) and `length` bytes of data,
//   padded with zeros to a multiple of four bytes.
// Four-character codes are 32-bit values with the first character in the highest byte, so in the
// little-endian resource their bytes appear reversed ('8BIM' is stored as "MIB8").

#include "ae_types.h"

typedef A_u_long PIType;

inline constexpr A_long kCurrentPiPLVersion = 0;
inline constexpr PIType PIAdobeVendorID = host_sdk::fourCharHighFirst("ADBE");  // not used by effects
inline constexpr PIType PIKindProperty = host_sdk::fourCharHighFirst("kind");
inline constexpr PIType PIWin64X86CodeProperty = host_sdk::fourCharHighFirst("8664");  // entry point name

namespace host_sdk {

// Vendor code of every property an effect's list carries.
inline constexpr PIType kPiPLVendor = fourCharHighFirst("8BIM");

// Property keys, beside PIKindProperty and PIWin64X86CodeProperty above.
inline constexpr PIType kPiPLKeyName = fourCharHighFirst("name");              // Pascal string
inline constexpr PIType kPiPLKeyCategory = fourCharHighFirst("catg");          // Pascal string
inline constexpr PIType kPiPLKeyWin32Code = fourCharHighFirst("wx86");         // obsolete
inline constexpr PIType kPiPLKeyPiPLVersion = fourCharHighFirst("ePVR");       // 2 x int16
inline constexpr PIType kPiPLKeySpecVersion = fourCharHighFirst("eSVR");       // 2 x int16: major, minor
inline constexpr PIType kPiPLKeyEffectVersion = fourCharHighFirst("eVER");     // int32, PF_VERSION(...)
inline constexpr PIType kPiPLKeyInfoFlags = fourCharHighFirst("eINF");         // int16, padded to 4
inline constexpr PIType kPiPLKeyOutFlags = fourCharHighFirst("eGLO");          // int32, = out_flags
inline constexpr PIType kPiPLKeyOutFlags2 = fourCharHighFirst("eGL2");         // int32, = out_flags2
inline constexpr PIType kPiPLKeyMatchName = fourCharHighFirst("eMNA");         // Pascal string
inline constexpr PIType kPiPLKeyReservedInfo = fourCharHighFirst("aeFL");      // int32
inline constexpr PIType kPiPLKeyReserved = fourCharHighFirst("aeRD");          // int32
inline constexpr PIType kPiPLKeySupportURL = fourCharHighFirst("eURL");        // Pascal string

// Value of the 'kind' property that makes the plug-in an effect.
inline constexpr PIType kPiPLKindEffect = fourCharHighFirst("eFKT");

// First 16-bit word of the Windows resource.
inline constexpr A_short kPiPLResourceWord = 1;

}  // namespace host_sdk

// ---- The list as the host describes it in memory ------------------------------------------------

struct PIProperty {
  PIType vendorID;
  PIType propertyKey;
  A_long propertyID;
  A_long propertyLength;  // bytes of data, before padding
  A_char propertyData[1];  // propertyLength bytes, padded to a multiple of 4
};

struct PIPropertyList {
  A_long version;
  A_long count;
  PIProperty properties[1];  // count properties of varying size
};

// ---- The Windows resource ------------------------------------------------------------------------
// Packed: the resource's 32-bit fields follow its 16-bit first word without alignment.

#pragma pack(push, 1)

struct PiPL_property_header_win {
  PIType vendorID;
  PIType propertyKey;
  A_long propertyID;
  A_long propertyLength;
};

struct PiPL_resource_win {
  A_short reserved_word;  // host_sdk::kPiPLResourceWord
  A_long version;         // kCurrentPiPLVersion
  A_long count;
  PiPL_property_header_win first_property;  // then its data, then the next property
};

#pragma pack(pop)
