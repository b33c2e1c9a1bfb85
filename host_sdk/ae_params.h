#pragma once
// The parameter definition record, its per-type value parts, and the parameter types and flags.

#include "ae_types.h"
#include "ae_world.h"

inline constexpr A_long PF_MAX_EFFECT_PARAM_NAME_LEN = 31;  // PF_ParamDef.name holds 32 chars
inline constexpr A_long PF_MAX_PARAM_DESCRIPTION_LEN = 31;
inline constexpr A_long PF_MAX_PARAM_VALUE_LEN = 31;

// ---- Value parts, one per parameter type ------------------------------------------------------

// Integer slider (obsolete type, still supported).
struct PF_SliderDef {
  PF_ParamValue value;
  A_char value_str[PF_MAX_PARAM_VALUE_LEN + 1];
  A_char value_desc[PF_MAX_PARAM_DESCRIPTION_LEN + 1];
  PF_ParamValue valid_min;
  PF_ParamValue valid_max;
  PF_ParamValue slider_min;
  PF_ParamValue slider_max;
  PF_ParamValue dephault;
};

struct PF_FixedSliderDef {
  PF_Fixed value;
  A_char value_str[PF_MAX_PARAM_VALUE_LEN + 1];
  A_char value_desc[PF_MAX_PARAM_DESCRIPTION_LEN + 1];
  PF_Fixed valid_min;
  PF_Fixed valid_max;
  PF_Fixed slider_min;
  PF_Fixed slider_max;
  PF_Fixed dephault;
  A_short precision;
  PF_ValueDisplayFlags display_flags;
};

struct PF_FloatSliderDef {
  PF_FpLong value;
  PF_FpLong phase;
  A_char value_desc[PF_MAX_PARAM_DESCRIPTION_LEN + 1];
  PF_FpShort valid_min;
  PF_FpShort valid_max;
  PF_FpShort slider_min;
  PF_FpShort slider_max;
  PF_FpShort dephault;
  A_short precision;
  PF_ValueDisplayFlags display_flags;
  PF_FSliderFlags fs_flags;
  PF_FpShort curve_tolerance;
  PF_Boolean useExponent;
  PF_FpShort exponent;
};

struct PF_AngleDef {  // degrees as PF_Fixed
  PF_Fixed value;
  PF_Fixed dephault;
  PF_Fixed valid_min;
  PF_Fixed valid_max;
};

struct PF_CheckBoxDef {
  PF_ParamValue value;
  PF_Boolean dephault;
  PF_Boolean reserved;
  A_short reserved1;
  union {
    const A_char* nameptr;  // label shown beside the box
  } u;
};

struct PF_ColorDef {
  PF_Pixel value;
  PF_Pixel dephault;
};

struct PF_PointDef {  // PF_Fixed coordinates
  PF_Fixed x_value;
  PF_Fixed y_value;
  A_char reserved[3];
  PF_Boolean restrict_bounds;
  PF_Fixed x_dephault;
  PF_Fixed y_dephault;
};

struct PF_Point3DDef {
  PF_FpLong x_value;
  PF_FpLong y_value;
  PF_FpLong z_value;
  PF_FpLong x_dephault;
  PF_FpLong y_dephault;
  PF_FpLong z_dephault;
  A_char reserved[16];
};

struct PF_PopupDef {
  PF_ParamValue value;  // 1-based choice
  A_short num_choices;
  A_short dephault;
  union {
    const A_char* namesptr;  // choices separated by '|'
  } u;
};

struct PF_ButtonDef {
  PF_ParamValue value;
  union {
    const A_char* namesptr;
  } u;
};

struct PF_PathDef {
  A_u_long path_id;
  A_long reserved0;
  A_long dephault;
};

typedef PF_Handle PF_ArbitraryH;

struct PF_ArbitraryDef {
  A_short id;
  A_short pad;
  PF_ArbitraryH dephault;
  PF_ArbitraryH value;
  void* refconPV;
};

// The value part of PF_ParamDef; the layer member is the largest and decides the size.
union PF_ParamDefUnion {
  PF_LayerDef ld;
  PF_SliderDef sd;
  PF_FixedSliderDef fd;
  PF_AngleDef ad;
  PF_CheckBoxDef bd;
  PF_ColorDef cd;
  PF_PointDef td;
  PF_PopupDef pd;
  PF_FloatSliderDef fs_d;
  PF_ArbitraryDef arb_d;
  PF_PathDef path_d;
  PF_ButtonDef button_d;
  PF_Point3DDef point3d_d;
};

// ---- The parameter definition ------------------------------------------------------------------

struct PF_ParamDef {
  union {
    A_long id;                    // when registering: the persistent id
    PF_ChangeFlags change_flags;  // when the host reports a change
  } uu;
  PF_ParamUIFlags ui_flags;
  A_short ui_width;
  A_short ui_height;
  PF_ParamType param_type;
  A_char name[PF_MAX_EFFECT_PARAM_NAME_LEN + 1];
  PF_ParamFlags flags;
  A_long unused;
  PF_ParamDefUnion u;
};

typedef PF_ParamDef** PF_ParamList;

// ---- Parameter types ---------------------------------------------------------------------------

inline constexpr PF_ParamType PF_Param_RESERVED = -1;
inline constexpr PF_ParamType PF_Param_LAYER = 0;
inline constexpr PF_ParamType PF_Param_SLIDER = 1;      // obsolete, still supported
inline constexpr PF_ParamType PF_Param_FIX_SLIDER = 2;  // obsolete
inline constexpr PF_ParamType PF_Param_ANGLE = 3;
inline constexpr PF_ParamType PF_Param_CHECKBOX = 4;
inline constexpr PF_ParamType PF_Param_COLOR = 5;
inline constexpr PF_ParamType PF_Param_POINT = 6;
inline constexpr PF_ParamType PF_Param_POPUP = 7;
inline constexpr PF_ParamType PF_Param_CUSTOM = 8;  // obsolete
inline constexpr PF_ParamType PF_Param_NO_DATA = 9;
inline constexpr PF_ParamType PF_Param_FLOAT_SLIDER = 10;
inline constexpr PF_ParamType PF_Param_ARBITRARY_DATA = 11;
inline constexpr PF_ParamType PF_Param_PATH = 12;
inline constexpr PF_ParamType PF_Param_GROUP_START = 13;
inline constexpr PF_ParamType PF_Param_GROUP_END = 14;
inline constexpr PF_ParamType PF_Param_BUTTON = 15;
inline constexpr PF_ParamType PF_Param_RESERVED2 = 16;
inline constexpr PF_ParamType PF_Param_RESERVED3 = 17;
inline constexpr PF_ParamType PF_Param_POINT_3D = 18;

// ---- Definition flags --------------------------------------------------------------------------

inline constexpr PF_ParamFlags PF_ParamFlag_RESERVED1 = 1 << 0;
inline constexpr PF_ParamFlags PF_ParamFlag_CANNOT_TIME_VARY = 1 << 1;
inline constexpr PF_ParamFlags PF_ParamFlag_CANNOT_INTERP = 1 << 2;
inline constexpr PF_ParamFlags PF_ParamFlag_RESERVED2 = 1 << 3;
inline constexpr PF_ParamFlags PF_ParamFlag_RESERVED3 = 1 << 4;
inline constexpr PF_ParamFlags PF_ParamFlag_COLLAPSE_TWIRLY = 1 << 5;
inline constexpr PF_ParamFlags PF_ParamFlag_SUPERVISE = 1 << 6;
inline constexpr PF_ParamFlags PF_ParamFlag_START_COLLAPSED = PF_ParamFlag_COLLAPSE_TWIRLY;
inline constexpr PF_ParamFlags PF_ParamFlag_USE_VALUE_FOR_OLD_PROJECTS = 1 << 7;
// Same bit as USE_VALUE_FOR_OLD_PROJECTS; it means this only on layer parameters.
inline constexpr PF_ParamFlags PF_ParamFlag_LAYER_PARAM_IS_TRACKMATTE = 1 << 7;
inline constexpr PF_ParamFlags PF_ParamFlag_EXCLUDE_FROM_HAVE_INPUTS_CHANGED = 1 << 8;
inline constexpr PF_ParamFlags PF_ParamFlag_SKIP_REVEAL_WHEN_UNHIDDEN = 1 << 9;

// ---- User-interface flags ----------------------------------------------------------------------

inline constexpr PF_ParamUIFlags PF_PUI_NONE = 0;
inline constexpr PF_ParamUIFlags PF_PUI_TOPIC = 1 << 0;
inline constexpr PF_ParamUIFlags PF_PUI_CONTROL = 1 << 1;
inline constexpr PF_ParamUIFlags PF_PUI_STD_CONTROL_ONLY = 1 << 2;
inline constexpr PF_ParamUIFlags PF_PUI_NO_ECW_UI = 1 << 3;
inline constexpr PF_ParamUIFlags PF_PUI_ECW_SEPARATOR = 1 << 4;
inline constexpr PF_ParamUIFlags PF_PUI_DISABLED = 1 << 5;
inline constexpr PF_ParamUIFlags PF_PUI_DONT_ERASE_TOPIC = 1 << 6;
inline constexpr PF_ParamUIFlags PF_PUI_DONT_ERASE_CONTROL = 1 << 7;
inline constexpr PF_ParamUIFlags PF_PUI_RADIO_BUTTON = 1 << 8;
inline constexpr PF_ParamUIFlags PF_PUI_INVISIBLE = 1 << 9;

// ---- Change flags (uu.change_flags) ------------------------------------------------------------

inline constexpr PF_ChangeFlags PF_ChangeFlag_NONE = 0;
inline constexpr PF_ChangeFlags PF_ChangeFlag_CHANGED_VALUE = 1 << 0;
inline constexpr PF_ChangeFlags PF_ChangeFlag_RESERVED = 1 << 1;
inline constexpr PF_ChangeFlags PF_ChangeFlag_SET_TO_VARY = 1 << 2;
inline constexpr PF_ChangeFlags PF_ChangeFlag_SET_TO_CONSTANT = 1 << 3;

// ---- Slider display and float-slider flags -----------------------------------------------------

inline constexpr PF_ValueDisplayFlags PF_ValueDisplayFlag_NONE = 0;
inline constexpr PF_ValueDisplayFlags PF_ValueDisplayFlag_PERCENT = 1 << 0;
inline constexpr PF_ValueDisplayFlags PF_ValueDisplayFlag_PIXEL = 1 << 1;
inline constexpr PF_ValueDisplayFlags PF_ValueDisplayFlag_RESERVED1 = 1 << 2;
inline constexpr PF_ValueDisplayFlags PF_ValueDisplayFlag_REVERSE = 1 << 3;

inline constexpr PF_FSliderFlags PF_FSliderFlag_NONE = 0;
inline constexpr PF_FSliderFlags PF_FSliderFlag_WANT_PHASE = 1u << 0;

// ---- Layer parameter defaults and special indices ----------------------------------------------

inline constexpr A_long PF_LayerDefault_MYSELF = -1;
inline constexpr A_long PF_LayerDefault_NONE = 0;

inline constexpr PF_ParamIndex PF_ParamIndex_NONE = -1;
inline constexpr PF_ParamIndex PF_ParamIndex_CHECK_ALL = -2;
