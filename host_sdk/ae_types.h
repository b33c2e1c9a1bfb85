#pragma once
// Scalar types, error codes and the small plain records (points, rectangles, pixels) that every
// other host interface is built from.
//
// The host is an MSVC program for Windows x64 (LLP64). We build with mingw-w64 for the plug-in and
// with g++ on Linux (LP64) for the native tests, so every width is spelled with a fixed-width type:
// `long` is 4 bytes in the host and 8 on Linux, and never appears in these headers.

#include <cstdint>

// Host functions use the platform's calling convention. On x64 there is only one, so the macro
// marks the place and expands to nothing.
#define SPAPI

// ---- Scalars ----------------------------------------------------------------------------------

typedef int32_t A_long;
typedef uint32_t A_u_long;
typedef char A_char;
typedef int16_t A_short;
typedef uint16_t A_u_short;
typedef uint8_t A_u_char;
typedef uint8_t A_Boolean;
typedef double A_FpLong;
typedef float A_FpShort;
typedef A_long A_Err;
typedef void** A_Handle;
typedef intptr_t A_intptr_t;
typedef unsigned long long A_u_longlong;  // spelled out: uint64_t is `unsigned long` on Linux
typedef A_u_longlong A_HandleSize;        // handle sizes are 64-bit on Win64
typedef A_u_short A_UTF16Char;

// The host declares some parameters and fields with an enumeration type that MSVC makes 4 bytes
// wide. GCC would make a 1-byte type of the same declaration, so we spell the host's width.
typedef A_long A_LegacyEnumType;

typedef A_long PF_Err;
typedef A_long PF_Cmd;
typedef A_long PF_Fixed;  // 16.16 fixed point
typedef A_u_long PF_UFixed;
typedef A_FpLong PF_FpLong;
typedef A_FpShort PF_FpShort;
typedef A_char PF_Boolean;  // 1 byte, unlike the basic suite's SPBoolean
typedef void** PF_Handle;

// The host's reference to the effect instance; opaque to us, passed back on every callback.
struct PF_ProgressInfo;
typedef PF_ProgressInfo* PF_ProgPtr;

typedef A_long PF_ParamIndex;
typedef A_long PF_ParamValue;
typedef A_long PF_ParamType;
typedef A_long PF_ParamFlags;
typedef A_long PF_ParamUIFlags;
typedef A_long PF_ChangeFlags;
typedef A_long PF_OutFlags;
typedef A_long PF_OutFlags2;
typedef A_long PF_InFlags;
typedef A_long PF_Quality;
typedef A_long PF_ModeFlags;
typedef A_long PF_Field;
typedef A_long PF_WorldFlags;
typedef A_long PF_PixelFormat;
typedef A_long PF_NewWorldFlags;
typedef A_long PF_PlatDataID;
typedef A_long PF_ChannelMask;
typedef A_long PF_GPU_Framework;
typedef A_long PF_XferMode;
typedef A_long PF_CursorType;
typedef A_long PF_TimeDir;
typedef A_long PF_KeyIndex;
typedef A_long PF_Stage;
typedef A_u_long PF_FSliderFlags;
typedef A_u_long PF_KernelFlags;
typedef A_short PF_RenderOutputFlags;  // 2 bytes: PF_PreRenderOutput pads after it
typedef A_short PF_ValueDisplayFlags;
typedef A_short PF_App_ColorType;
typedef A_short PF_EyeDropperSampleMode;
typedef A_LegacyEnumType PF_FontStyleSheet;
typedef A_LegacyEnumType PF_SuiteTool;
typedef A_LegacyEnumType PF_Step;

// ---- Four-character codes -------------------------------------------------------------------

namespace host_sdk {

// Pixel-format codes put the first character in the lowest byte, so that the code's bytes in
// memory spell the characters: 'argb' is 0x62677261.
constexpr A_long fourCharLowFirst(const char (&code)[5]) {
  return static_cast<A_long>(static_cast<uint32_t>(static_cast<uint8_t>(code[0])) |
                             static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 8 |
                             static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 16 |
                             static_cast<uint32_t>(static_cast<uint8_t>(code[3])) << 24);
}

// Property-list keys, effect kinds, the application id and the basic suite's error codes put the
// first character in the highest byte, as a C multi-character literal reads: 'FXTC' is 0x46585443.
constexpr uint32_t fourCharHighFirst(const char (&code)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24 |
         static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(code[3]));
}

}  // namespace host_sdk

// ---- Error codes ------------------------------------------------------------------------------

inline constexpr A_Err A_Err_NONE = 0;
inline constexpr A_Err A_Err_GENERIC = 1;
inline constexpr A_Err A_Err_STRUCT = 2;
inline constexpr A_Err A_Err_PARAMETER = 3;
inline constexpr A_Err A_Err_ALLOC = 4;
inline constexpr A_Err A_Err_WRONG_THREAD = 5;
inline constexpr A_Err A_Err_CONST_PROJECT_MODIFICATION = 6;
inline constexpr A_Err A_Err_MISSING_SUITE = 13;

inline constexpr PF_Err PF_FIRST_ERR = 512;
inline constexpr PF_Err PF_Err_NONE = 0;
inline constexpr PF_Err PF_Err_OUT_OF_MEMORY = 4;
inline constexpr PF_Err PF_Err_INTERNAL_STRUCT_DAMAGED = PF_FIRST_ERR;
inline constexpr PF_Err PF_Err_INVALID_INDEX = PF_FIRST_ERR + 1;
inline constexpr PF_Err PF_Err_UNRECOGNIZED_PARAM_TYPE = PF_FIRST_ERR + 2;
inline constexpr PF_Err PF_Err_INVALID_CALLBACK = PF_FIRST_ERR + 3;
inline constexpr PF_Err PF_Err_BAD_CALLBACK_PARAM = PF_FIRST_ERR + 4;
inline constexpr PF_Err PF_Interrupt_CANCEL = PF_FIRST_ERR + 5;
inline constexpr PF_Err PF_Err_CANNOT_PARSE_KEYFRAME_TEXT = PF_FIRST_ERR + 6;

// ---- Time -------------------------------------------------------------------------------------

struct A_Time {
  A_long value;
  A_u_long scale;
};

// ---- Points and rectangles --------------------------------------------------------------------

struct PF_Point {
  A_long h;  // x
  A_long v;  // y
};

struct PF_LRect {
  A_long left;
  A_long top;
  A_long right;
  A_long bottom;
};
typedef PF_LRect PF_Rect;
typedef PF_LRect PF_UnionableRect;

struct PF_RationalScale {
  A_long num;
  A_u_long den;
};

// ---- Pixels -----------------------------------------------------------------------------------
// Channel order in memory is alpha, red, green, blue at every depth; colours are not premultiplied.

struct PF_Pixel {
  A_u_char alpha;
  A_u_char red;
  A_u_char green;
  A_u_char blue;
};
typedef PF_Pixel PF_Pixel8;

struct PF_Pixel16 {  // full scale is PF_MAX_CHAN16 (32768), not 65535
  A_u_short alpha;
  A_u_short red;
  A_u_short green;
  A_u_short blue;
};

struct PF_PixelFloat {
  PF_FpShort alpha;
  PF_FpShort red;
  PF_FpShort green;
  PF_FpShort blue;
};
typedef PF_PixelFloat PF_Pixel32;

typedef PF_Pixel* PF_PixelPtr;
typedef PF_Fixed PF_HLS_Pixel[3];
typedef PF_Fixed PF_YIQ_Pixel[3];

inline constexpr A_long PF_MAX_CHAN8 = 255;
inline constexpr A_long PF_HALF_CHAN8 = 128;
inline constexpr A_long PF_MAX_CHAN16 = 32768;
inline constexpr A_long PF_HALF_CHAN16 = 16384;

// ---- Pixel formats ----------------------------------------------------------------------------

inline constexpr PF_PixelFormat PF_PixelFormat_ARGB32 = host_sdk::fourCharLowFirst("argb");
inline constexpr PF_PixelFormat PF_PixelFormat_ARGB64 = host_sdk::fourCharLowFirst("ae16");
inline constexpr PF_PixelFormat PF_PixelFormat_ARGB128 = host_sdk::fourCharLowFirst("ae32");
inline constexpr PF_PixelFormat PF_PixelFormat_GPU_BGRA128 = host_sdk::fourCharLowFirst("@CDA");
inline constexpr PF_PixelFormat PF_PixelFormat_RESERVED = host_sdk::fourCharLowFirst("@CDa");
inline constexpr PF_PixelFormat PF_PixelFormat_BGRA32 = host_sdk::fourCharLowFirst("bgra");
inline constexpr PF_PixelFormat PF_PixelFormat_VUYA32 = host_sdk::fourCharLowFirst("vuya");
inline constexpr PF_PixelFormat PF_PixelFormat_NTSCDV25 = host_sdk::fourCharLowFirst("dvn2");
inline constexpr PF_PixelFormat PF_PixelFormat_PALDV25 = host_sdk::fourCharLowFirst("dvp2");
inline constexpr PF_PixelFormat PF_PixelFormat_INVALID = host_sdk::fourCharLowFirst("badf");
inline constexpr PF_PixelFormat PF_PixelFormat_FORCE_LONG_INT = static_cast<PF_PixelFormat>(0xFFFFFFFFu);

// ---- Parameter state --------------------------------------------------------------------------

// A snapshot of a parameter's inputs, compared by the host only; opaque to plug-ins.
struct PF_State {
  A_long reservedAL[4];
};

// ---- Records declared elsewhere ---------------------------------------------------------------
// Named here so that callback types in any header can point at them.

struct PF_LayerDef;
typedef PF_LayerDef PF_EffectWorld;
struct PF_ParamDef;
struct PF_InData;
struct PF_OutData;
struct SPBasicSuite;
