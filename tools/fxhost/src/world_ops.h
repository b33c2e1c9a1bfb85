#pragma once
// The world operations behind every table that offers them (World Suite 1 and 2, the World
// Transform Suite, the utility callbacks), so that all entries behave and fail alike.

#include "host_core.h"

namespace fxhost::detail {

PF_Err makeWorld(HostCore& host, A_long width, A_long height, PixelDepth depth, bool clear, PF_EffectWorld* world);
PF_Err disposeWorld(HostCore& host, PF_EffectWorld* world);
PF_Err copyWorld(HostCore& host, const PF_EffectWorld* source, PF_EffectWorld* destination,
                 const PF_Rect* sourceRect, const PF_Rect* destinationRect);
PF_Err worldPixelFormat(HostCore& host, const PF_EffectWorld* world, PF_PixelFormat* format);

}  // namespace fxhost::detail
