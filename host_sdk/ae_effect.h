#pragma once
// What the host passes to the effect's entry point on every command: the input and output blocks,
// the command numbers, the capability flags and the version encoding.

#include "ae_callbacks.h"
#include "ae_params.h"
#include "ae_types.h"
#include "ae_world.h"

inline constexpr A_long PF_MAX_EFFECT_NAME_LEN = 31;
inline constexpr A_long PF_MAX_EFFECT_CATEGORY_NAME_LEN = 31;
inline constexpr A_long PF_MAX_EFFECT_MSG_LEN = 255;  // PF_OutData.return_msg holds 256 chars
inline constexpr A_long PF_AE65_AND_EARLIER_MAX_NUM_EFFECT_PARAMS = 127;

// ---- Records embedded in the blocks ------------------------------------------------------------

struct PF_SpecVersion {
  A_short major;
  A_short minor;
};

struct PF_SoundFormatInfo {
  PF_FpLong rateF;
  A_short num_channels;
  A_short format;
  A_short sample_size;
};

struct PF_SoundWorld {
  PF_SoundFormatInfo fi;
  A_long num_samples;
  void* dataP;
};

// ---- The input block ---------------------------------------------------------------------------

struct PF_InData {
  PF_InteractCallbacks inter;  // by value, not a pointer
  PF_UtilCallbacks* utils;
  PF_ProgPtr effect_ref;
  PF_Quality quality;
  PF_SpecVersion version;
  A_long serial_num;
  A_long appl_id;  // host_sdk::kApplIdAfterEffects in the host we serve
  A_long num_params;
  A_long reserved;
  A_long what_cpu;
  A_long what_fpu;
  A_long current_time;
  A_long time_step;
  A_long total_time;
  A_long local_time_step;
  A_u_long time_scale;
  PF_Field field;
  PF_Fixed shutter_angle;
  A_long width;
  A_long height;
  PF_Rect extent_hint;
  A_long output_origin_x;
  A_long output_origin_y;
  PF_RationalScale downsample_x;
  PF_RationalScale downsample_y;
  PF_RationalScale pixel_aspect_ratio;
  PF_InFlags in_flags;
  PF_Handle global_data;
  PF_Handle sequence_data;
  PF_Handle frame_data;
  A_long start_sampL;
  A_long dur_sampL;
  A_long total_sampL;
  PF_SoundWorld src_snd;
  SPBasicSuite* pica_basicP;
  A_long pre_effect_source_origin_x;
  A_long pre_effect_source_origin_y;
  PF_Fixed shutter_phase;
};

// ---- The output block --------------------------------------------------------------------------

struct PF_OutData {
  A_u_long my_version;  // PF_VERSION(...)
  A_char name[PF_MAX_EFFECT_NAME_LEN + 1];
  PF_Handle global_data;
  A_long num_params;
  PF_Handle sequence_data;
  A_long flat_sdata_size;
  PF_Handle frame_data;
  A_long width;
  A_long height;
  PF_Point origin;
  PF_OutFlags out_flags;
  A_char return_msg[PF_MAX_EFFECT_MSG_LEN + 1];
  A_long start_sampL;
  A_long dur_sampL;
  PF_SoundWorld dest_snd;
  PF_OutFlags2 out_flags2;
};

// Extra argument of PF_Cmd_USER_CHANGED_PARAM.
struct PF_UserChangedParamExtra {
  PF_ParamIndex param_index;
};

// ---- The entry point ---------------------------------------------------------------------------

// The exported entry point has this type. It must be exported unmangled, under the name the
// property list's '8664' entry gives.
typedef SPAPI PF_Err (*PF_FilterProc)(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                      PF_ParamDef* params[], PF_LayerDef* output, void* extra);

inline constexpr PF_Cmd PF_Cmd_ABOUT = 0;
inline constexpr PF_Cmd PF_Cmd_GLOBAL_SETUP = 1;
inline constexpr PF_Cmd PF_Cmd_UNUSED_0 = 2;
inline constexpr PF_Cmd PF_Cmd_GLOBAL_SETDOWN = 3;
inline constexpr PF_Cmd PF_Cmd_PARAMS_SETUP = 4;
inline constexpr PF_Cmd PF_Cmd_SEQUENCE_SETUP = 5;
inline constexpr PF_Cmd PF_Cmd_SEQUENCE_RESETUP = 6;
inline constexpr PF_Cmd PF_Cmd_SEQUENCE_FLATTEN = 7;
inline constexpr PF_Cmd PF_Cmd_SEQUENCE_SETDOWN = 8;
inline constexpr PF_Cmd PF_Cmd_DO_DIALOG = 9;
inline constexpr PF_Cmd PF_Cmd_FRAME_SETUP = 10;
inline constexpr PF_Cmd PF_Cmd_RENDER = 11;
inline constexpr PF_Cmd PF_Cmd_FRAME_SETDOWN = 12;
inline constexpr PF_Cmd PF_Cmd_USER_CHANGED_PARAM = 13;
inline constexpr PF_Cmd PF_Cmd_UPDATE_PARAMS_UI = 14;
inline constexpr PF_Cmd PF_Cmd_EVENT = 15;
inline constexpr PF_Cmd PF_Cmd_GET_EXTERNAL_DEPENDENCIES = 16;
inline constexpr PF_Cmd PF_Cmd_COMPLETELY_GENERAL = 17;
inline constexpr PF_Cmd PF_Cmd_QUERY_DYNAMIC_FLAGS = 18;
inline constexpr PF_Cmd PF_Cmd_AUDIO_RENDER = 19;
inline constexpr PF_Cmd PF_Cmd_AUDIO_SETUP = 20;
inline constexpr PF_Cmd PF_Cmd_AUDIO_SETDOWN = 21;
inline constexpr PF_Cmd PF_Cmd_ARBITRARY_CALLBACK = 22;
inline constexpr PF_Cmd PF_Cmd_SMART_PRE_RENDER = 23;
inline constexpr PF_Cmd PF_Cmd_SMART_RENDER = 24;
inline constexpr PF_Cmd PF_Cmd_RESERVED1 = 25;
inline constexpr PF_Cmd PF_Cmd_RESERVED2 = 26;
inline constexpr PF_Cmd PF_Cmd_RESERVED3 = 27;
inline constexpr PF_Cmd PF_Cmd_GET_FLATTENED_SEQUENCE_DATA = 28;
inline constexpr PF_Cmd PF_Cmd_TRANSLATE_PARAMS_TO_PREFS = 29;
inline constexpr PF_Cmd PF_Cmd_RESERVED4 = 30;
inline constexpr PF_Cmd PF_Cmd_SMART_RENDER_GPU = 31;
inline constexpr PF_Cmd PF_Cmd_GPU_DEVICE_SETUP = 32;
inline constexpr PF_Cmd PF_Cmd_GPU_DEVICE_SETDOWN = 33;
inline constexpr PF_Cmd PF_Cmd_NUM_CMDS = 34;  // a count, not a command

// ---- Capability flags (out_flags) --------------------------------------------------------------

inline constexpr PF_OutFlags PF_OutFlag_NONE = 0;
inline constexpr PF_OutFlags PF_OutFlag_KEEP_RESOURCE_OPEN = 1 << 0;
inline constexpr PF_OutFlags PF_OutFlag_WIDE_TIME_INPUT = 1 << 1;
inline constexpr PF_OutFlags PF_OutFlag_NON_PARAM_VARY = 1 << 2;
inline constexpr PF_OutFlags PF_OutFlag_RESERVED6 = 1 << 3;
inline constexpr PF_OutFlags PF_OutFlag_SEQUENCE_DATA_NEEDS_FLATTENING = 1 << 4;
inline constexpr PF_OutFlags PF_OutFlag_I_DO_DIALOG = 1 << 5;
inline constexpr PF_OutFlags PF_OutFlag_USE_OUTPUT_EXTENT = 1 << 6;
inline constexpr PF_OutFlags PF_OutFlag_SEND_DO_DIALOG = 1 << 7;
inline constexpr PF_OutFlags PF_OutFlag_DISPLAY_ERROR_MESSAGE = 1 << 8;
inline constexpr PF_OutFlags PF_OutFlag_I_EXPAND_BUFFER = 1 << 9;
inline constexpr PF_OutFlags PF_OutFlag_PIX_INDEPENDENT = 1 << 10;
inline constexpr PF_OutFlags PF_OutFlag_I_WRITE_INPUT_BUFFER = 1 << 11;
inline constexpr PF_OutFlags PF_OutFlag_I_SHRINK_BUFFER = 1 << 12;
inline constexpr PF_OutFlags PF_OutFlag_WORKS_IN_PLACE = 1 << 13;
inline constexpr PF_OutFlags PF_OutFlag_RESERVED8 = 1 << 14;
inline constexpr PF_OutFlags PF_OutFlag_CUSTOM_UI = 1 << 15;
inline constexpr PF_OutFlags PF_OutFlag_RESERVED7 = 1 << 16;
inline constexpr PF_OutFlags PF_OutFlag_REFRESH_UI = 1 << 17;
inline constexpr PF_OutFlags PF_OutFlag_NOP_RENDER = 1 << 18;
inline constexpr PF_OutFlags PF_OutFlag_I_USE_SHUTTER_ANGLE = 1 << 19;
inline constexpr PF_OutFlags PF_OutFlag_I_USE_AUDIO = 1 << 20;
inline constexpr PF_OutFlags PF_OutFlag_I_AM_OBSOLETE = 1 << 21;
inline constexpr PF_OutFlags PF_OutFlag_FORCE_RERENDER = 1 << 22;
inline constexpr PF_OutFlags PF_OutFlag_PiPL_OVERRIDES_OUTDATA_OUTFLAGS = 1 << 23;
inline constexpr PF_OutFlags PF_OutFlag_I_HAVE_EXTERNAL_DEPENDENCIES = 1 << 24;
inline constexpr PF_OutFlags PF_OutFlag_DEEP_COLOR_AWARE = 1 << 25;
inline constexpr PF_OutFlags PF_OutFlag_SEND_UPDATE_PARAMS_UI = 1 << 26;
inline constexpr PF_OutFlags PF_OutFlag_AUDIO_FLOAT_ONLY = 1 << 27;
inline constexpr PF_OutFlags PF_OutFlag_AUDIO_IIR = 1 << 28;
inline constexpr PF_OutFlags PF_OutFlag_I_SYNTHESIZE_AUDIO = 1 << 29;
inline constexpr PF_OutFlags PF_OutFlag_AUDIO_EFFECT_TOO = 1 << 30;
inline constexpr PF_OutFlags PF_OutFlag_AUDIO_EFFECT_ONLY = static_cast<PF_OutFlags>(1u << 31);

// ---- Capability flags (out_flags2) -------------------------------------------------------------

inline constexpr PF_OutFlags2 PF_OutFlag2_NONE = 0;
inline constexpr PF_OutFlags2 PF_OutFlag2_SUPPORTS_QUERY_DYNAMIC_FLAGS = 1 << 0;
inline constexpr PF_OutFlags2 PF_OutFlag2_I_USE_3D_CAMERA = 1 << 1;
inline constexpr PF_OutFlags2 PF_OutFlag2_I_USE_3D_LIGHTS = 1 << 2;
inline constexpr PF_OutFlags2 PF_OutFlag2_PARAM_GROUP_START_COLLAPSED_FLAG = 1 << 3;
inline constexpr PF_OutFlags2 PF_OutFlag2_I_AM_THREADSAFE = 1 << 4;
inline constexpr PF_OutFlags2 PF_OutFlag2_CAN_COMBINE_WITH_DESTINATION = 1 << 5;
inline constexpr PF_OutFlags2 PF_OutFlag2_DOESNT_NEED_EMPTY_PIXELS = 1 << 6;
inline constexpr PF_OutFlags2 PF_OutFlag2_REVEALS_ZERO_ALPHA = 1 << 7;
inline constexpr PF_OutFlags2 PF_OutFlag2_PRESERVES_FULLY_OPAQUE_PIXELS = 1 << 8;
// Bit 9 is unused.
inline constexpr PF_OutFlags2 PF_OutFlag2_SUPPORTS_SMART_RENDER = 1 << 10;
inline constexpr PF_OutFlags2 PF_OutFlag2_RESERVED9 = 1 << 11;
inline constexpr PF_OutFlags2 PF_OutFlag2_FLOAT_COLOR_AWARE = 1 << 12;
inline constexpr PF_OutFlags2 PF_OutFlag2_I_USE_COLORSPACE_ENUMERATION = 1 << 13;
inline constexpr PF_OutFlags2 PF_OutFlag2_I_AM_DEPRECATED = 1 << 14;
inline constexpr PF_OutFlags2 PF_OutFlag2_PPRO_DO_NOT_CLONE_SEQUENCE_DATA_FOR_RENDER = 1 << 15;
inline constexpr PF_OutFlags2 PF_OutFlag2_RESERVED10 = 1 << 16;
inline constexpr PF_OutFlags2 PF_OutFlag2_AUTOMATIC_WIDE_TIME_INPUT = 1 << 17;
inline constexpr PF_OutFlags2 PF_OutFlag2_I_USE_TIMECODE = 1 << 18;
inline constexpr PF_OutFlags2 PF_OutFlag2_DEPENDS_ON_UNREFERENCED_MASKS = 1 << 19;
inline constexpr PF_OutFlags2 PF_OutFlag2_OUTPUT_IS_WATERMARKED = 1 << 20;
inline constexpr PF_OutFlags2 PF_OutFlag2_I_MIX_GUID_DEPENDENCIES = 1 << 21;
inline constexpr PF_OutFlags2 PF_OutFlag2_AE13_5_THREADSAFE = 1 << 22;
inline constexpr PF_OutFlags2 PF_OutFlag2_SUPPORTS_GET_FLATTENED_SEQUENCE_DATA = 1 << 23;
inline constexpr PF_OutFlags2 PF_OutFlag2_CUSTOM_UI_ASYNC_MANAGER = 1 << 24;
inline constexpr PF_OutFlags2 PF_OutFlag2_SUPPORTS_GPU_RENDER_F32 = 1 << 25;
inline constexpr PF_OutFlags2 PF_OutFlag2_RESERVED12 = 1 << 26;
inline constexpr PF_OutFlags2 PF_OutFlag2_SUPPORTS_THREADED_RENDERING = 1 << 27;
inline constexpr PF_OutFlags2 PF_OutFlag2_MUTABLE_RENDER_SEQUENCE_DATA_SLOWER = 1 << 28;

// ---- Input flags (in_flags) --------------------------------------------------------------------

inline constexpr PF_InFlags PF_InFlag_NONE = 0;
inline constexpr PF_InFlags PF_InFlag_PROJECT_IS_RENDER_ONLY = 1 << 0;

// ---- Version encoding (my_version, the property list's version) --------------------------------

inline constexpr PF_Stage PF_Stage_DEVELOP = 0;
inline constexpr PF_Stage PF_Stage_ALPHA = 1;
inline constexpr PF_Stage PF_Stage_BETA = 2;
inline constexpr PF_Stage PF_Stage_RELEASE = 3;

inline constexpr A_u_long PF_Vers_BUILD_BITS = 0x1FF;
inline constexpr A_u_long PF_Vers_BUILD_SHIFT = 0;
inline constexpr A_u_long PF_Vers_STAGE_BITS = 0x3;
inline constexpr A_u_long PF_Vers_STAGE_SHIFT = 9;
inline constexpr A_u_long PF_Vers_BUGFIX_BITS = 0xF;
inline constexpr A_u_long PF_Vers_BUGFIX_SHIFT = 11;
inline constexpr A_u_long PF_Vers_SUBVERS_BITS = 0xF;
inline constexpr A_u_long PF_Vers_SUBVERS_SHIFT = 15;
inline constexpr A_u_long PF_Vers_VERS_BITS = 0x7;  // the low 3 bits of the major version
inline constexpr A_u_long PF_Vers_VERS_SHIFT = 19;
inline constexpr A_u_long PF_Vers_VERS_HIGH_BITS = 0xF;  // the major version above its low 3 bits
inline constexpr A_u_long PF_Vers_VERS_HIGH_SHIFT = 26;
inline constexpr A_u_long PF_Vers_VERS_LOW_SHIFT = 3;

// Packs a version the way the host reads my_version and the property list's 'eVER'. Each part is
// cut to its field, so a sub-version above 15 wraps (13.28 packs as 13.12).
constexpr A_u_long PF_VERSION(A_long vers, A_long subvers, A_long bugvers, PF_Stage stage, A_long build) {
  const auto part = [](A_long value, A_u_long bits, A_u_long shift) {
    return (static_cast<A_u_long>(value) & bits) << shift;
  };
  return part(static_cast<A_long>(static_cast<A_u_long>(vers) >> PF_Vers_VERS_LOW_SHIFT),
              PF_Vers_VERS_HIGH_BITS, PF_Vers_VERS_HIGH_SHIFT) |
         part(vers, PF_Vers_VERS_BITS, PF_Vers_VERS_SHIFT) |
         part(subvers, PF_Vers_SUBVERS_BITS, PF_Vers_SUBVERS_SHIFT) |
         part(bugvers, PF_Vers_BUGFIX_BITS, PF_Vers_BUGFIX_SHIFT) |
         part(stage, PF_Vers_STAGE_BITS, PF_Vers_STAGE_SHIFT) |
         part(build, PF_Vers_BUILD_BITS, PF_Vers_BUILD_SHIFT);
}

// ---- Effect API versions the host reports in in_data->version ---------------------------------

inline constexpr A_long PF_PLUG_IN_VERSION = 13;
inline constexpr A_long PF_PLUG_IN_SUBVERS = 28;
inline constexpr A_long PF_AE_PLUG_IN_VERSION = 13;
inline constexpr A_long PF_AE_PLUG_IN_SUBVERS = 28;
inline constexpr A_long PF_AE234_PLUG_IN_VERSION = 13;
inline constexpr A_long PF_AE234_PLUG_IN_SUBVERS = 28;
inline constexpr A_long PF_AE220_PLUG_IN_SUBVERS = 27;
inline constexpr A_long PF_AE184_PLUG_IN_SUBVERS = 26;
inline constexpr A_long PF_AE180_PLUG_IN_SUBVERS = 24;
inline constexpr A_long PF_AE171_PLUG_IN_SUBVERS = 20;
inline constexpr A_long PF_AE160_PLUG_IN_SUBVERS = 16;
inline constexpr A_long PF_AE150_PLUG_IN_SUBVERS = 15;
inline constexpr A_long PF_AE140_PLUG_IN_SUBVERS = 13;
inline constexpr A_long PF_AE135_PLUG_IN_SUBVERS = 9;
inline constexpr A_long PF_AE130_PLUG_IN_SUBVERS = 7;
inline constexpr A_long PF_AE120_PLUG_IN_SUBVERS = 4;
inline constexpr A_long PF_AE110_PLUG_IN_SUBVERS = 2;
inline constexpr A_long PF_AE100_PLUG_IN_VERSION = 13;
inline constexpr A_long PF_AE100_PLUG_IN_SUBVERS = 0;
inline constexpr A_long PF_AE90_PLUG_IN_VERSION = 12;
inline constexpr A_long PF_AE90_PLUG_IN_SUBVERS = 14;

inline constexpr A_long AEFX_API_VERSION = 8;
inline constexpr A_long AE_RESERVED_INFO = 8;

// ---- Host application ids (in_data->appl_id) ---------------------------------------------------

namespace host_sdk {
inline constexpr A_long kApplIdAfterEffects = static_cast<A_long>(fourCharHighFirst("FXTC"));
inline constexpr A_long kApplIdPremierePro = static_cast<A_long>(fourCharHighFirst("PrMr"));
}  // namespace host_sdk
