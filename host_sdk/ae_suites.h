#pragma once
// Host suites we acquire through the basic suite (sp_basic_suite.h): their names, the version
// numbers to ask for, and their function tables.
//
// A suite's version number is not the number in its table's name. Two tables may share a name
// string ("PF World Suite" 1 and 2), and one name's numbering may restart ("PF AE App Suite").

#include "ae_types.h"
#include "ae_world.h"

// ---- "PF World Suite" ---------------------------------------------------------------------------

inline constexpr char kPFWorldSuite[] = "PF World Suite";
inline constexpr A_long kPFWorldSuiteVersion1 = 1;
inline constexpr A_long kPFWorldSuiteVersion2 = 2;

struct PF_WorldSuite1 {
  SPAPI PF_Err (*new_world)(PF_ProgPtr effect_ref, A_long width, A_long height, PF_NewWorldFlags flags,
                            PF_EffectWorld* world);
  SPAPI PF_Err (*dispose_world)(PF_ProgPtr effect_ref, PF_EffectWorld* world);
};

struct PF_WorldSuite2 {
  SPAPI PF_Err (*PF_NewWorld)(PF_ProgPtr effect_ref, A_long width, A_long height, PF_Boolean clear_pix,
                              PF_PixelFormat pixel_format, PF_EffectWorld* world);
  SPAPI PF_Err (*PF_DisposeWorld)(PF_ProgPtr effect_ref, PF_EffectWorld* world);
  SPAPI PF_Err (*PF_GetPixelFormat)(const PF_EffectWorld* world, PF_PixelFormat* pixel_format);
};

// ---- "PF World Transform Suite" -----------------------------------------------------------------

inline constexpr char kPFWorldTransformSuite[] = "PF World Transform Suite";
inline constexpr A_long kPFWorldTransformSuiteVersion1 = 1;

struct PF_WorldTransformSuite1 {
  SPAPI PF_Err (*composite_rect)(PF_ProgPtr effect_ref, PF_Rect* src_rect, A_long src_opacity,
                                 PF_EffectWorld* source_wld, A_long dest_x, A_long dest_y,
                                 PF_Field field_rdr, PF_XferMode xfer_mode, PF_EffectWorld* dest_wld);
  SPAPI PF_Err (*blend)(PF_ProgPtr effect_ref, const PF_EffectWorld* src1, const PF_EffectWorld* src2,
                        PF_Fixed ratio, PF_EffectWorld* dst);
  SPAPI PF_Err (*convolve)(PF_ProgPtr effect_ref, PF_EffectWorld* src, const PF_Rect* area,
                           PF_KernelFlags flags, A_long kernel_size, void* a_kernel, void* r_kernel,
                           void* g_kernel, void* b_kernel, PF_EffectWorld* dst);
  // Both rectangles may be null: the whole source into the whole destination.
  SPAPI PF_Err (*copy)(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r,
                       PF_Rect* dst_r);
  SPAPI PF_Err (*copy_hq)(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst,
                          PF_Rect* src_r, PF_Rect* dst_r);
  SPAPI PF_Err (*transfer_rect)(PF_ProgPtr effect_ref, PF_Quality quality, PF_ModeFlags m_flags,
                                PF_Field field, const PF_Rect* src_rec, const PF_EffectWorld* src_world,
                                const PF_CompositeMode* comp_mode, const PF_MaskWorld* mask_world0,
                                A_long dest_x, A_long dest_y, PF_EffectWorld* dst_world);
  SPAPI PF_Err (*transform_world)(PF_ProgPtr effect_ref, PF_Quality quality, PF_ModeFlags m_flags,
                                  PF_Field field, const PF_EffectWorld* src_world,
                                  const PF_CompositeMode* comp_mode, const PF_MaskWorld* mask_world0,
                                  const PF_FloatMatrix* matrices, A_long num_matrices,
                                  PF_Boolean src2dst_matrix, const PF_Rect* dest_rect,
                                  PF_EffectWorld* dst_world);
};

// ---- "PF Param Utils Suite" ---------------------------------------------------------------------
// Version 2 is the table PF_ParamUtilsSuite1; version 3 dropped its obsolete state functions.
// PF_UpdateParamUI is the first function in both.

inline constexpr char kPFParamUtilsSuite[] = "PF Param Utils Suite";
inline constexpr A_long kPFParamUtilsSuiteVersion1 = 2;
inline constexpr A_long kPFParamUtilsSuiteVersion3 = 3;

struct PF_ParamUtilsSuite1 {
  SPAPI PF_Err (*PF_UpdateParamUI)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                                   const PF_ParamDef* param);
  SPAPI PF_Err (*PF_GetCurrentStateObsolete)(PF_ProgPtr effect_ref, PF_State* state);
  SPAPI PF_Err (*PF_HasParamChangedObsolete)(PF_ProgPtr effect_ref, const PF_State* state,
                                             PF_ParamIndex param_index, PF_Boolean* changed);
  SPAPI PF_Err (*PF_HaveInputsChangedOverTimeSpanObsolete)(PF_ProgPtr effect_ref, const PF_State* state,
                                                           const A_Time* start0, const A_Time* duration0,
                                                           PF_Boolean* changed);
  SPAPI PF_Err (*PF_IsIdenticalCheckout)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                                         A_long what_time1, A_long time_step1, A_u_long time_scale1,
                                         A_long what_time2, A_long time_step2, A_u_long time_scale2,
                                         PF_Boolean* identical);
  SPAPI PF_Err (*PF_FindKeyframeTime)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, A_long what_time,
                                      A_u_long time_scale, PF_TimeDir time_dir, PF_Boolean* found,
                                      PF_KeyIndex* key_index0, A_long* key_time0,
                                      A_u_long* key_timescale0);
  SPAPI PF_Err (*PF_GetKeyframeCount)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                                      PF_KeyIndex* key_count);
  SPAPI PF_Err (*PF_CheckoutKeyframe)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                                      PF_KeyIndex key_index, A_long* key_time0, A_u_long* key_timescale0,
                                      PF_ParamDef* param0);
  SPAPI PF_Err (*PF_CheckinKeyframe)(PF_ProgPtr effect_ref, PF_ParamDef* param);
  SPAPI PF_Err (*PF_KeyIndexToTime)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                                    PF_KeyIndex key_index, A_long* key_time, A_u_long* key_timescale);
};

struct PF_ParamUtilsSuite3 {
  SPAPI PF_Err (*PF_UpdateParamUI)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                                   const PF_ParamDef* param);
  SPAPI PF_Err (*PF_GetCurrentState)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                                     const A_Time* start0, const A_Time* duration0, PF_State* state);
  SPAPI PF_Err (*PF_AreStatesIdentical)(PF_ProgPtr effect_ref, const PF_State* state1,
                                        const PF_State* state2, A_Boolean* same);
  SPAPI PF_Err (*PF_IsIdenticalCheckout)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                                         A_long what_time1, A_long time_step1, A_u_long time_scale1,
                                         A_long what_time2, A_long time_step2, A_u_long time_scale2,
                                         PF_Boolean* identical);
  SPAPI PF_Err (*PF_FindKeyframeTime)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, A_long what_time,
                                      A_u_long time_scale, PF_TimeDir time_dir, PF_Boolean* found,
                                      PF_KeyIndex* key_index0, A_long* key_time0,
                                      A_u_long* key_timescale0);
  SPAPI PF_Err (*PF_GetKeyframeCount)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                                      PF_KeyIndex* key_count);
  SPAPI PF_Err (*PF_CheckoutKeyframe)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                                      PF_KeyIndex key_index, A_long* key_time0, A_u_long* key_timescale0,
                                      PF_ParamDef* param0);
  SPAPI PF_Err (*PF_CheckinKeyframe)(PF_ProgPtr effect_ref, PF_ParamDef* param);
  SPAPI PF_Err (*PF_KeyIndexToTime)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                                    PF_KeyIndex key_index, A_long* key_time, A_u_long* key_timescale);
};

// ---- "PF AE App Suite" --------------------------------------------------------------------------
// Version 6 is the table PFAppSuite4 (no language query); version 7 is PFAppSuite5, the first with
// PF_AppGetLanguage (third function); the numbering then restarted, so version 1 is PFAppSuite6.

inline constexpr char kPFAppSuite[] = "PF AE App Suite";
inline constexpr A_long kPFAppSuiteVersion4 = 6;
inline constexpr A_long kPFAppSuiteVersion5 = 7;
inline constexpr A_long kPFAppSuiteVersion6 = 1;

inline constexpr A_long PF_APP_LANG_TAG_SIZE = 6;  // five characters such as "ja_JP" and the NUL
inline constexpr A_long PF_APP_MAX_PERS_LEN = 63;
inline constexpr A_long PF_FONT_NAME_LEN = 255;

struct PF_App_Color {
  A_u_short red;
  A_u_short green;
  A_u_short blue;
};

// Records that only travel by pointer through app-suite functions we do not call.
struct PF_AppPersonalTextInfo;
struct PF_FontName;
struct PF_Context;
typedef PF_Context** PF_ContextH;
struct _PF_AppProgressDialog;
typedef _PF_AppProgressDialog* PF_AppProgressDialogP;

struct PFAppSuite4 {
  SPAPI PF_Err (*PF_AppGetBgColor)(PF_App_Color* bg_color);
  SPAPI PF_Err (*PF_AppGetColor)(PF_App_ColorType color_type, PF_App_Color* app_color);
  SPAPI PF_Err (*PF_GetPersonalInfo)(PF_AppPersonalTextInfo* pers_info);
  SPAPI PF_Err (*PF_GetFontStyleSheet)(PF_FontStyleSheet sheet, PF_FontName* font_name0,
                                       A_short* font_num0, A_short* size0, A_short* style0);
  SPAPI PF_Err (*PF_SetCursor)(PF_CursorType cursor);
  SPAPI PF_Err (*PF_IsRenderEngine)(PF_Boolean* render_only);
  SPAPI PF_Err (*PF_AppColorPickerDialog)(const A_char* dialog_title0, const PF_PixelFloat* sample,
                                          PF_Boolean use_ws_to_monitor_xform, PF_PixelFloat* new_color);
  SPAPI PF_Err (*PF_GetMouse)(PF_Point* point);
  SPAPI PF_Err (*PF_InvalidateRect)(PF_ContextH context, const PF_Rect* rect0);
  SPAPI PF_Err (*PF_ConvertLocalToGlobal)(const PF_Point* local, PF_Point* global);
  SPAPI PF_Err (*PF_GetColorAtGlobalPoint)(const PF_Point* global, PF_EyeDropperSampleMode sample_mode,
                                           A_short sample_size, PF_PixelFloat* color);
};

struct PFAppSuite5 {
  SPAPI PF_Err (*PF_AppGetBgColor)(PF_App_Color* bg_color);
  SPAPI PF_Err (*PF_AppGetColor)(PF_App_ColorType color_type, PF_App_Color* app_color);
  // Fills PF_APP_LANG_TAG_SIZE characters, e.g. "ja_JP" or "en_US".
  SPAPI PF_Err (*PF_AppGetLanguage)(A_char* lang_tag);
  SPAPI PF_Err (*PF_GetPersonalInfo)(PF_AppPersonalTextInfo* pers_info);
  SPAPI PF_Err (*PF_GetFontStyleSheet)(PF_FontStyleSheet sheet, PF_FontName* font_name0,
                                       A_short* font_num0, A_short* size0, A_short* style0);
  SPAPI PF_Err (*PF_SetCursor)(PF_CursorType cursor);
  SPAPI PF_Err (*PF_IsRenderEngine)(PF_Boolean* render_only);
  SPAPI PF_Err (*PF_AppColorPickerDialog)(const A_char* dialog_title0, const PF_PixelFloat* sample,
                                          PF_Boolean use_ws_to_monitor_xform, PF_PixelFloat* new_color);
  SPAPI PF_Err (*PF_GetMouse)(PF_Point* point);
  SPAPI PF_Err (*PF_InvalidateRect)(PF_ContextH context, const PF_Rect* rect0);
  SPAPI PF_Err (*PF_ConvertLocalToGlobal)(const PF_Point* local, PF_Point* global);
  SPAPI PF_Err (*PF_GetColorAtGlobalPoint)(const PF_Point* global, PF_EyeDropperSampleMode sample_mode,
                                           A_short sample_size, PF_PixelFloat* color);
};

struct PFAppSuite6 {
  SPAPI PF_Err (*PF_AppGetBgColor)(PF_App_Color* bg_color);
  SPAPI PF_Err (*PF_AppGetColor)(PF_App_ColorType color_type, PF_App_Color* app_color);
  SPAPI PF_Err (*PF_AppGetLanguage)(A_char* lang_tag);
  SPAPI PF_Err (*PF_GetPersonalInfo)(PF_AppPersonalTextInfo* pers_info);
  SPAPI PF_Err (*PF_GetFontStyleSheet)(PF_FontStyleSheet sheet, PF_FontName* font_name0,
                                       A_short* font_num0, A_short* size0, A_short* style0);
  SPAPI PF_Err (*PF_SetCursor)(PF_CursorType cursor);
  SPAPI PF_Err (*PF_IsRenderEngine)(PF_Boolean* render_only);
  SPAPI PF_Err (*PF_AppColorPickerDialog)(const A_char* dialog_title0, const PF_PixelFloat* sample,
                                          PF_Boolean use_ws_to_monitor_xform, PF_PixelFloat* new_color);
  SPAPI PF_Err (*PF_GetMouse)(PF_Point* point);
  SPAPI PF_Err (*PF_InvalidateRect)(PF_ContextH context, const PF_Rect* rect0);
  SPAPI PF_Err (*PF_ConvertLocalToGlobal)(const PF_Point* local, PF_Point* global);
  SPAPI PF_Err (*PF_GetColorAtGlobalPoint)(const PF_Point* global, PF_EyeDropperSampleMode sample_mode,
                                           A_short sample_size, PF_PixelFloat* color);
  SPAPI PF_Err (*PF_CreateNewAppProgressDialog)(const A_UTF16Char* title, const A_UTF16Char* cancel0,
                                                PF_Boolean indeterminate,
                                                PF_AppProgressDialogP* dialog);
  SPAPI PF_Err (*PF_AppProgressDialogUpdate)(PF_AppProgressDialogP dialog, A_long count, A_long total);
  SPAPI PF_Err (*PF_DisposeAppProgressDialog)(PF_AppProgressDialogP dialog);
};

// ---- "PF Handle Suite" --------------------------------------------------------------------------
// The same handle functions as the utility callbacks, as a suite.

inline constexpr char kPFHandleSuite[] = "PF Handle Suite";
inline constexpr A_long kPFHandleSuiteVersion1 = 2;

struct PF_HandleSuite1 {
  SPAPI PF_Handle (*host_new_handle)(A_HandleSize size);
  SPAPI void* (*host_lock_handle)(PF_Handle handle);
  SPAPI void (*host_unlock_handle)(PF_Handle handle);
  SPAPI void (*host_dispose_handle)(PF_Handle handle);
  SPAPI A_HandleSize (*host_get_handle_size)(PF_Handle handle);
  SPAPI PF_Err (*host_resize_handle)(A_HandleSize new_size, PF_Handle* handle);
};
