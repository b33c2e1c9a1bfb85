#pragma once
// Image buffers ("worlds") as the host hands them over, and the small vocabulary that goes with
// them: world flags, quality, fields, transfer modes.

#include "ae_types.h"

// A host image buffer. Rows are `rowbytes` apart, which includes the host's padding: never derive a
// row stride from width and pixel size. PF_EffectWorld (ae_types.h) is the same type.
struct PF_LayerDef {
  void* reserved0;
  void* reserved1;
  PF_WorldFlags world_flags;
  PF_PixelPtr data;
  A_long rowbytes;
  A_long width;
  A_long height;
  PF_UnionableRect extent_hint;
  void* platform_ref;
  A_long reserved_long1;
  void* reserved_long4;  // pointer-sized despite its name
  PF_RationalScale pix_aspect_ratio;
  void* reserved_long2;  // pointer-sized despite its name
  A_long origin_x;
  A_long origin_y;
  A_long reserved_long3;
  A_long dephault;
};

inline constexpr PF_WorldFlags PF_WorldFlag_DEEP = 1 << 0;  // 16 bits per channel
inline constexpr PF_WorldFlags PF_WorldFlag_WRITEABLE = 1 << 1;
inline constexpr PF_WorldFlags PF_WorldFlag_RESERVED0 = 1 << 24;
inline constexpr PF_WorldFlags PF_WorldFlag_RESERVED1 = 1 << 25;
inline constexpr PF_WorldFlags PF_WorldFlag_RESERVED2 = 1 << 26;
inline constexpr PF_WorldFlags PF_WorldFlag_RESERVED3 = 1 << 27;
inline constexpr PF_WorldFlags PF_WorldFlag_RESERVED4 = 1 << 28;
inline constexpr PF_WorldFlags PF_WorldFlag_RESERVED5 = 1 << 29;
inline constexpr PF_WorldFlags PF_WorldFlag_RESERVED6 = 1 << 30;
inline constexpr PF_WorldFlags PF_WorldFlag_RESERVED = static_cast<PF_WorldFlags>(1u << 31);

inline constexpr PF_NewWorldFlags PF_NewWorldFlag_NONE = 0;
inline constexpr PF_NewWorldFlags PF_NewWorldFlag_CLEAR_PIXELS = 1 << 0;
inline constexpr PF_NewWorldFlags PF_NewWorldFlag_DEEP_PIXELS = 1 << 1;
inline constexpr PF_NewWorldFlags PF_NewWorldFlag_RESERVED0 = 1 << 2;
inline constexpr PF_NewWorldFlags PF_NewWorldFlag_RESERVED1 = 1 << 3;

inline constexpr PF_Quality PF_Quality_DRAWING_AUDIO = -1;
inline constexpr PF_Quality PF_Quality_LO = 0;
inline constexpr PF_Quality PF_Quality_HI = 1;

inline constexpr PF_ModeFlags PF_MF_Alpha_PREMUL = 0;
inline constexpr PF_ModeFlags PF_MF_Alpha_STRAIGHT = 1 << 0;

inline constexpr PF_Field PF_Field_FRAME = 0;
inline constexpr PF_Field PF_Field_UPPER = 1;
inline constexpr PF_Field PF_Field_LOWER = 2;

inline constexpr PF_XferMode PF_Xfer_NONE = -1;
inline constexpr PF_XferMode PF_Xfer_COPY = 0;
inline constexpr PF_XferMode PF_Xfer_BEHIND = 1;
inline constexpr PF_XferMode PF_Xfer_IN_FRONT = 2;

inline constexpr A_long PF_MAX_WORLD_WIDTH = 30000;
inline constexpr A_long PF_MAX_WORLD_HEIGHT = 30000;

// How a transfer blends a source into a destination.
struct PF_CompositeMode {
  PF_XferMode xfer;
  A_long rand_seed;
  A_u_char opacity;
  PF_Boolean rgb_only;
  A_u_short opacitySu;
};

// Records that only travel by pointer through host functions we declare but do not call.
struct PF_SampPB;
struct PF_MaskWorld;
struct PF_FloatMatrix;
