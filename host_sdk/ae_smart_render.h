#pragma once
// The extra arguments of PF_Cmd_SMART_PRE_RENDER and PF_Cmd_SMART_RENDER, and what they point to.
//
// The host allocates the input records and has appended members to them across releases; members
// are only ever added at the end, so the prefixes declared here stay valid on older hosts.

#include "ae_types.h"
#include "ae_world.h"

inline constexpr PF_ChannelMask PF_ChannelMask_ALPHA = 1 << 0;
inline constexpr PF_ChannelMask PF_ChannelMask_RED = 1 << 1;
inline constexpr PF_ChannelMask PF_ChannelMask_GREEN = 1 << 2;
inline constexpr PF_ChannelMask PF_ChannelMask_BLUE = 1 << 3;
inline constexpr PF_ChannelMask PF_ChannelMask_ARGB =
    PF_ChannelMask_ALPHA | PF_ChannelMask_RED | PF_ChannelMask_GREEN | PF_ChannelMask_BLUE;

inline constexpr PF_RenderOutputFlags PF_RenderOutputFlag_RETURNS_EXTRA_PIXELS = 1 << 0;
inline constexpr PF_RenderOutputFlags PF_RenderOutputFlag_GPU_RENDER_POSSIBLE = 1 << 1;
inline constexpr PF_RenderOutputFlags PF_RenderOutputFlag_RESERVED1 = 1 << 2;

inline constexpr PF_GPU_Framework PF_GPU_Framework_NONE = 0;
inline constexpr PF_GPU_Framework PF_GPU_Framework_OPENCL = 1;
inline constexpr PF_GPU_Framework PF_GPU_Framework_METAL = 2;
inline constexpr PF_GPU_Framework PF_GPU_Framework_CUDA = 3;

// What the host asks of the effect, and what the effect asks of its input layer.
struct PF_RenderRequest {
  PF_LRect rect;
  PF_Field field;
  PF_ChannelMask channel_mask;
  PF_Boolean preserve_rgb_of_zero_alpha;
  A_char unused[3];
  A_long reserved[4];
};

// ---- Pre-render ---------------------------------------------------------------------------------

struct PF_PreRenderInput {
  PF_RenderRequest output_request;
  A_short bitdepth;  // 8, 16 or 32
  const void* gpu_data;
  PF_GPU_Framework what_gpu;
  A_u_long device_index;
};

typedef void (*PF_DeletePreRenderDataFunc)(void* pre_render_data);

struct PF_PreRenderOutput {
  PF_LRect result_rect;
  PF_LRect max_result_rect;
  PF_Boolean solid;
  PF_Boolean reserved;
  PF_RenderOutputFlags flags;  // 2 bytes, then padding up to pre_render_data
  void* pre_render_data;
  PF_DeletePreRenderDataFunc delete_pre_render_data_func;
};

struct PF_CheckoutResult {
  PF_LRect result_rect;
  PF_LRect max_result_rect;
  PF_RationalScale par;
  PF_Boolean solid;
  PF_Boolean reservedB[3];
  A_long ref_width;
  A_long ref_height;
  A_long reserved[6];
};

struct PF_PreRenderCallbacks {
  SPAPI PF_Err (*checkout_layer)(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long checkout_id,
                                 const PF_RenderRequest* req, A_long what_time, A_long time_step,
                                 A_u_long time_scale, PF_CheckoutResult* checkout_result);
  SPAPI PF_Err (*GuidMixInPtr)(PF_ProgPtr effect_ref, A_u_long buf_size, const void* buf);
};

// Extra argument of PF_Cmd_SMART_PRE_RENDER.
struct PF_PreRenderExtra {
  PF_PreRenderInput* input;
  PF_PreRenderOutput* output;
  PF_PreRenderCallbacks* cb;
};

// ---- Smart render -------------------------------------------------------------------------------

struct PF_SmartRenderInput {
  PF_RenderRequest output_request;
  A_short bitdepth;
  void* pre_render_data;  // what the pre-render put into PF_PreRenderOutput
  const void* gpu_data;
  PF_GPU_Framework what_gpu;
  A_u_long device_index;
};

struct PF_SmartRenderCallbacks {
  SPAPI PF_Err (*checkout_layer_pixels)(PF_ProgPtr effect_ref, A_long checkout_id,
                                        PF_EffectWorld** pixels);
  SPAPI PF_Err (*checkin_layer_pixels)(PF_ProgPtr effect_ref, A_long checkout_id);
  SPAPI PF_Err (*checkout_output)(PF_ProgPtr effect_ref, PF_EffectWorld** output);
};

// Extra argument of PF_Cmd_SMART_RENDER.
struct PF_SmartRenderExtra {
  PF_SmartRenderInput* input;
  PF_SmartRenderCallbacks* cb;
};
