#pragma once
// The basic suite: the host's directory of every other suite, reached as in_data->pica_basicP.
// Every suite acquired through it must be released with the same name and version before the
// command that acquired it returns.

#include "ae_types.h"

typedef A_long SPErr;
typedef A_long SPBoolean;  // 4 bytes on Windows, unlike PF_Boolean

inline constexpr SPErr kSPNoError = 0;
inline constexpr SPErr kSPSuiteNotFoundError = static_cast<SPErr>(host_sdk::fourCharHighFirst("S!Fd"));
inline constexpr SPErr kSPUnimplementedError = static_cast<SPErr>(host_sdk::fourCharHighFirst("!IMP"));

inline constexpr char kSPBasicSuite[] = "SP Basic Suite";
inline constexpr A_long kSPBasicSuiteVersion = 4;

struct SPBasicSuite {
  SPAPI SPErr (*AcquireSuite)(const char* name, A_long version, const void** suite);
  SPAPI SPErr (*ReleaseSuite)(const char* name, A_long version);
  SPAPI SPBoolean (*IsEqual)(const char* token1, const char* token2);
  SPAPI SPErr (*AllocateBlock)(A_u_longlong size, void** block);
  SPAPI SPErr (*FreeBlock)(void* block);
  SPAPI SPErr (*ReallocateBlock)(void* block, A_u_longlong new_size, void** new_block);
  SPAPI SPErr (*Undefined)(void);
};
