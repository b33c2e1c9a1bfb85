#pragma once
// The host's callback tables reached through PF_InData: the interaction callbacks (embedded by
// value at the start of PF_InData) and the utility callbacks (reached through its `utils` pointer),
// with the ANSI and colour tables embedded in the latter.

#include "ae_types.h"
#include "ae_world.h"

// Host records that plug-ins only hold by pointer. The tag names are the host's.
struct _PF_CustomUIInfo;
typedef _PF_CustomUIInfo PF_CustomUIInfo;
struct _PF_LayerAudio;
typedef _PF_LayerAudio* PF_LayerAudio;
typedef void* PF_SndSamplePtr;

// get_callback_addr hands back a function the caller must cast to its real type.
struct PF_YouMustCastThisToActualFunctionType;
typedef PF_YouMustCastThisToActualFunctionType* PF_CallbackFunc;
typedef A_long PF_CallbackID;

// ---- Interaction callbacks ---------------------------------------------------------------------

struct PF_InteractCallbacks {
  SPAPI PF_Err (*checkout_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long what_time,
                                 A_long time_step, A_u_long time_scale, PF_ParamDef* param);
  SPAPI PF_Err (*checkin_param)(PF_ProgPtr effect_ref, PF_ParamDef* param);
  SPAPI PF_Err (*add_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDef* def);
  SPAPI PF_Err (*abort)(PF_ProgPtr effect_ref);
  SPAPI PF_Err (*progress)(PF_ProgPtr effect_ref, A_long current, A_long total);
  SPAPI PF_Err (*register_ui)(PF_ProgPtr effect_ref, PF_CustomUIInfo* cust_info);
  SPAPI PF_Err (*checkout_layer_audio)(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long start_time,
                                       A_long duration, A_u_long time_scale, A_u_long rate,
                                       A_long bytes_per_sample, A_long num_channels, A_long fmt_signed,
                                       PF_LayerAudio* audio);
  SPAPI PF_Err (*checkin_layer_audio)(PF_ProgPtr effect_ref, PF_LayerAudio audio);
  SPAPI PF_Err (*get_audio_data)(PF_ProgPtr effect_ref, PF_LayerAudio audio, PF_SndSamplePtr* data0,
                                 A_long* num_samples0, A_u_long* rate0, A_long* bytes_per_sample0,
                                 A_long* num_channels0, A_long* fmt_signed0);
  void* reserved_str[3];
  void* reserved[10];
};

// ---- ANSI callbacks ----------------------------------------------------------------------------

struct PF_ANSICallbacks {
  SPAPI A_FpLong (*atan)(A_FpLong);
  SPAPI A_FpLong (*atan2)(A_FpLong y, A_FpLong x);
  SPAPI A_FpLong (*ceil)(A_FpLong);
  SPAPI A_FpLong (*cos)(A_FpLong);
  SPAPI A_FpLong (*exp)(A_FpLong);
  SPAPI A_FpLong (*fabs)(A_FpLong);
  SPAPI A_FpLong (*floor)(A_FpLong);
  SPAPI A_FpLong (*fmod)(A_FpLong x, A_FpLong y);
  SPAPI A_FpLong (*hypot)(A_FpLong x, A_FpLong y);
  SPAPI A_FpLong (*log)(A_FpLong);
  SPAPI A_FpLong (*log10)(A_FpLong);
  SPAPI A_FpLong (*pow)(A_FpLong x, A_FpLong y);
  SPAPI A_FpLong (*sin)(A_FpLong);
  SPAPI A_FpLong (*sqrt)(A_FpLong);
  SPAPI A_FpLong (*tan)(A_FpLong);
  SPAPI int (*sprintf)(A_char* buffer, const A_char* format, ...);
  SPAPI A_char* (*strcpy)(A_char* dest, const A_char* src);
  SPAPI A_FpLong (*asin)(A_FpLong);
  SPAPI A_FpLong (*acos)(A_FpLong);
  A_long ansi_procs[1];  // followed by 4 bytes of tail padding
};

// ---- Colour callbacks --------------------------------------------------------------------------

struct PF_ColorCallbacks {
  SPAPI PF_Err (*RGBtoHLS)(PF_ProgPtr effect_ref, PF_Pixel* rgb, PF_HLS_Pixel hls);
  SPAPI PF_Err (*HLStoRGB)(PF_ProgPtr effect_ref, PF_HLS_Pixel hls, PF_Pixel* rgb);
  SPAPI PF_Err (*RGBtoYIQ)(PF_ProgPtr effect_ref, PF_Pixel* rgb, PF_YIQ_Pixel yiq);
  SPAPI PF_Err (*YIQtoRGB)(PF_ProgPtr effect_ref, PF_YIQ_Pixel yiq, PF_Pixel* rgb);
  SPAPI PF_Err (*Luminance)(PF_ProgPtr effect_ref, PF_Pixel* rgb, A_long* lum100);
  SPAPI PF_Err (*Hue)(PF_ProgPtr effect_ref, PF_Pixel* rgb, A_long* hue);
  SPAPI PF_Err (*Lightness)(PF_ProgPtr effect_ref, PF_Pixel* rgb, A_long* lightness);
  SPAPI PF_Err (*Saturation)(PF_ProgPtr effect_ref, PF_Pixel* rgb, A_long* saturation);
};

// ---- Utility callbacks -------------------------------------------------------------------------

// Per-pixel and per-iteration functions handed to the host's iterators.
typedef PF_Err (*PF_IteratePixel8Func)(void* refcon, A_long x, A_long y, PF_Pixel* in, PF_Pixel* out);
typedef PF_Err (*PF_IteratePixel16Func)(void* refcon, A_long x, A_long y, PF_Pixel16* in,
                                        PF_Pixel16* out);
typedef PF_Err (*PF_IterateGenericFunc)(void* refcon, A_long thread_index, A_long i, A_long iterations);

struct _PF_UtilCallbacks {
  SPAPI PF_Err (*begin_sampling)(PF_ProgPtr effect_ref, PF_Quality qual, PF_ModeFlags mf,
                                 PF_SampPB* params);
  SPAPI PF_Err (*subpixel_sample)(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params,
                                  PF_Pixel* dst_pixel);
  SPAPI PF_Err (*area_sample)(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params,
                              PF_Pixel* dst_pixel);
  void* get_batch_func_is_deprecated;  // the unused fifth slot
  SPAPI PF_Err (*end_sampling)(PF_ProgPtr effect_ref, PF_Quality qual, PF_ModeFlags mf,
                               PF_SampPB* params);
  SPAPI PF_Err (*composite_rect)(PF_ProgPtr effect_ref, PF_Rect* src_rect, A_long src_opacity,
                                 PF_EffectWorld* source_wld, A_long dest_x, A_long dest_y,
                                 PF_Field field_rdr, PF_XferMode xfer_mode, PF_EffectWorld* dest_wld);
  SPAPI PF_Err (*blend)(PF_ProgPtr effect_ref, const PF_EffectWorld* src1, const PF_EffectWorld* src2,
                        PF_Fixed ratio, PF_EffectWorld* dst);
  SPAPI PF_Err (*convolve)(PF_ProgPtr effect_ref, PF_EffectWorld* src, const PF_Rect* area,
                           PF_KernelFlags flags, A_long kernel_size, void* a_kernel, void* r_kernel,
                           void* g_kernel, void* b_kernel, PF_EffectWorld* dst);
  SPAPI PF_Err (*copy)(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r,
                       PF_Rect* dst_r);
  SPAPI PF_Err (*fill)(PF_ProgPtr effect_ref, const PF_Pixel* color, const PF_Rect* dst_rect,
                       PF_EffectWorld* world);
  SPAPI PF_Err (*gaussian_kernel)(PF_ProgPtr effect_ref, A_FpLong k_radius, PF_KernelFlags flags,
                                  A_FpLong multiplier, A_long* diameter, void* kernel);
  SPAPI PF_Err (*iterate)(PF_InData* in_data, A_long progress_base, A_long progress_final,
                          PF_EffectWorld* src, const PF_Rect* area, void* refcon,
                          PF_IteratePixel8Func pix_fn, PF_EffectWorld* dst);
  SPAPI PF_Err (*premultiply)(PF_ProgPtr effect_ref, A_long forward, PF_EffectWorld* dst);
  SPAPI PF_Err (*premultiply_color)(PF_ProgPtr effect_ref, PF_EffectWorld* src, const PF_Pixel* color,
                                    A_long forward, PF_EffectWorld* dst);
  SPAPI PF_Err (*new_world)(PF_ProgPtr effect_ref, A_long width, A_long height, PF_NewWorldFlags flags,
                            PF_EffectWorld* world);
  SPAPI PF_Err (*dispose_world)(PF_ProgPtr effect_ref, PF_EffectWorld* world);
  SPAPI PF_Err (*iterate_origin)(PF_InData* in_data, A_long progress_base, A_long progress_final,
                                 PF_EffectWorld* src, const PF_Rect* area, const PF_Point* origin,
                                 void* refcon, PF_IteratePixel8Func pix_fn, PF_EffectWorld* dst);
  SPAPI PF_Err (*iterate_lut)(PF_InData* in_data, A_long progress_base, A_long progress_final,
                              PF_EffectWorld* src, const PF_Rect* area, A_u_char* a_lut0,
                              A_u_char* r_lut0, A_u_char* g_lut0, A_u_char* b_lut0,
                              PF_EffectWorld* dst);
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
  SPAPI PF_Handle (*host_new_handle)(A_HandleSize size);
  SPAPI void* (*host_lock_handle)(PF_Handle handle);
  SPAPI void (*host_unlock_handle)(PF_Handle handle);
  SPAPI void (*host_dispose_handle)(PF_Handle handle);
  SPAPI PF_Err (*get_callback_addr)(PF_ProgPtr effect_ref, PF_Quality quality, PF_ModeFlags mode_flags,
                                    PF_CallbackID which_callback, PF_CallbackFunc* fn_ptr);
  SPAPI PF_Err (*app)(PF_ProgPtr effect_ref, A_long selector, ...);
  PF_ANSICallbacks ansi;
  PF_ColorCallbacks colorCB;
  SPAPI PF_Err (*get_platform_data)(PF_ProgPtr effect_ref, PF_PlatDataID which, void* data);
  SPAPI A_HandleSize (*host_get_handle_size)(PF_Handle handle);
  SPAPI PF_Err (*iterate_origin_non_clip_src)(PF_InData* in_data, A_long progress_base,
                                              A_long progress_final, PF_EffectWorld* src,
                                              const PF_Rect* area, const PF_Point* origin, void* refcon,
                                              PF_IteratePixel8Func pix_fn, PF_EffectWorld* dst);
  SPAPI PF_Err (*iterate_generic)(A_long iterations, void* refcon, PF_IterateGenericFunc fn);
  SPAPI PF_Err (*host_resize_handle)(A_HandleSize new_size, PF_Handle* handle);
  SPAPI PF_Err (*subpixel_sample16)(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y,
                                    const PF_SampPB* params, PF_Pixel16* dst_pixel);
  SPAPI PF_Err (*area_sample16)(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params,
                                PF_Pixel16* dst_pixel);
  SPAPI PF_Err (*fill16)(PF_ProgPtr effect_ref, const PF_Pixel16* color, const PF_Rect* dst_rect,
                         PF_EffectWorld* world);
  SPAPI PF_Err (*premultiply_color16)(PF_ProgPtr effect_ref, PF_EffectWorld* src,
                                      const PF_Pixel16* color, A_long forward, PF_EffectWorld* dst);
  SPAPI PF_Err (*iterate16)(PF_InData* in_data, A_long progress_base, A_long progress_final,
                            PF_EffectWorld* src, const PF_Rect* area, void* refcon,
                            PF_IteratePixel16Func pix_fn, PF_EffectWorld* dst);
  SPAPI PF_Err (*iterate_origin16)(PF_InData* in_data, A_long progress_base, A_long progress_final,
                                   PF_EffectWorld* src, const PF_Rect* area, const PF_Point* origin,
                                   void* refcon, PF_IteratePixel16Func pix_fn, PF_EffectWorld* dst);
  SPAPI PF_Err (*iterate_origin_non_clip_src16)(PF_InData* in_data, A_long progress_base,
                                                A_long progress_final, PF_EffectWorld* src,
                                                const PF_Rect* area, const PF_Point* origin,
                                                void* refcon, PF_IteratePixel16Func pix_fn,
                                                PF_EffectWorld* dst);
  SPAPI PF_Err (*get_pixel_data8)(PF_EffectWorld* world, PF_PixelPtr pixels0, PF_Pixel8** pixels);
  SPAPI PF_Err (*get_pixel_data16)(PF_EffectWorld* world, PF_PixelPtr pixels0, PF_Pixel16** pixels);
  A_long reserved[1];  // followed by 4 bytes of tail padding
};
typedef _PF_UtilCallbacks PF_UtilCallbacks;

// ---- Platform data (get_platform_data) ---------------------------------------------------------

inline constexpr PF_PlatDataID PF_PlatData_MAIN_WND = 0;  // HWND of the host's main window
inline constexpr PF_PlatDataID PF_PlatData_EXE_FILE_PATH_DEPRECATED = 1;
inline constexpr PF_PlatDataID PF_PlatData_RES_FILE_PATH_DEPRECATED = 2;
inline constexpr PF_PlatDataID PF_PlatData_RES_REFNUM = 3;
inline constexpr PF_PlatDataID PF_PlatData_RES_DLLINSTANCE = 4;  // HINSTANCE of the plug-in
inline constexpr PF_PlatDataID PF_PlatData_SP_PLUG_REF = 5;
inline constexpr PF_PlatDataID PF_PlatData_BUNDLE_REF = 6;
inline constexpr PF_PlatDataID PF_PlatData_EXE_FILE_PATH_W = 7;  // UTF-16, AEFX_MAX_PATH chars
inline constexpr PF_PlatDataID PF_PlatData_RES_FILE_PATH_W = 8;  // UTF-16, AEFX_MAX_PATH chars

inline constexpr A_long AEFX_MAX_PATH = 260;

inline constexpr A_long PF_Iterations_ONCE_PER_PROCESSOR = -1;
