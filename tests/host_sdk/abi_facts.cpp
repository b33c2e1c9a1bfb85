// Every fact host_sdk/ declares: the generated ones, and the rows the table names in words rather
// than by a host name, measured here by hand. The one file that spells a multi-character literal on
// purpose (its build switches the warning about them off).
#include <cstddef>

#include "abi.h"
#include "ae_effect.h"
#include "pipl.h"
#include "sp_basic_suite.h"

namespace host_abi {

#define ABI_WORDS(row, value) ABI_VALUE("const", "", row, value)

std::vector<Fact> declaredFacts() {
  std::vector<Fact> facts;
  appendGeneratedFacts(facts);

  ABI_WORDS("appl_id 'FXTC'", host_sdk::kApplIdAfterEffects);
  ABI_WORDS("appl_id 'PrMr'", host_sdk::kApplIdPremierePro);
  ABI_WORDS("PF_REGISTER_EFFECT kind 'eFKT'", host_sdk::kPiPLKindEffect);
  ABI_WORDS("sizeof(void*)", sizeof(void*));
#ifdef _WIN32
  // The host's data model; a native Linux build is LP64 and has no such row to match.
  ABI_WORDS("sizeof(long)", sizeof(long));
  ABI_WORDS("sizeof(wchar_t)", sizeof(wchar_t));
#endif
  ABI_WORDS("sizeof(enum PF_Cmd values)", sizeof(PF_Cmd_ABOUT));
  ABI_WORDS("EntryPointFunc signature", typeName<PF_FilterProc>());

  ABI_WORDS("PiPL 'name'", host_sdk::kPiPLKeyName);
  ABI_WORDS("PiPL 'catg'", host_sdk::kPiPLKeyCategory);
  ABI_WORDS("PiPL 'wx86'", host_sdk::kPiPLKeyWin32Code);
  ABI_WORDS("PiPL 'ePVR'", host_sdk::kPiPLKeyPiPLVersion);
  ABI_WORDS("PiPL 'eSVR'", host_sdk::kPiPLKeySpecVersion);
  ABI_WORDS("PiPL 'eVER'", host_sdk::kPiPLKeyEffectVersion);
  ABI_WORDS("PiPL 'eINF'", host_sdk::kPiPLKeyInfoFlags);
  ABI_WORDS("PiPL 'eGLO'", host_sdk::kPiPLKeyOutFlags);
  ABI_WORDS("PiPL 'eGL2'", host_sdk::kPiPLKeyOutFlags2);
  ABI_WORDS("PiPL 'eMNA'", host_sdk::kPiPLKeyMatchName);
  ABI_WORDS("PiPL 'aeFL'", host_sdk::kPiPLKeyReservedInfo);
  ABI_WORDS("PiPL 'aeRD'", host_sdk::kPiPLKeyReserved);
  ABI_WORDS("PiPL 'eURL'", host_sdk::kPiPLKeySupportURL);
  ABI_WORDS("PiPL vendor '8BIM'", host_sdk::kPiPLVendor);
  ABI_WORDS("PiPL kind value 'eFKT'", host_sdk::kPiPLKindEffect);
  // What the compiler makes of a multi-character literal must agree with fourCharHighFirst.
  ABI_WORDS("PiPL multichar check 'eFKT'", 'eFKT');

  // The table measures the resource's property header from the start of each property, not from
  // the start of the resource.
  facts.push_back(memberFact("field", "PiPL_resource_win", "property_header",
                             offsetof(PiPL_property_header_win, vendorID), sizeof(PiPL_property_header_win), ""));
  return facts;
}

}  // namespace host_abi
