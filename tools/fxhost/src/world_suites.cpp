// "PF World Suite" 1 and 2 and "PF World Transform Suite" 1.

#include "ae_suites.h"
#include "host_core.h"
#include "not_implemented.h"
#include "world_ops.h"

namespace fxhost::detail {
namespace {

PF_Err newWorld1(PF_ProgPtr ref, A_long width, A_long height, PF_NewWorldFlags flags, PF_EffectWorld* world) {
  LockedHost host;
  if (!host->checkEffectRef(ref, "new_world")) return PF_Err_BAD_CALLBACK_PARAM;
  const PixelDepth depth = (flags & PF_NewWorldFlag_DEEP_PIXELS) != 0 ? PixelDepth::Sixteen : PixelDepth::Eight;
  return makeWorld(*host, width, height, depth, (flags & PF_NewWorldFlag_CLEAR_PIXELS) != 0, world);
}

PF_Err disposeWorld1(PF_ProgPtr ref, PF_EffectWorld* world) {
  LockedHost host;
  if (!host->checkEffectRef(ref, "dispose_world")) return PF_Err_BAD_CALLBACK_PARAM;
  return disposeWorld(*host, world);
}

PF_Err newWorld2(PF_ProgPtr ref, A_long width, A_long height, PF_Boolean clear, PF_PixelFormat format,
                 PF_EffectWorld* world) {
  LockedHost host;
  if (!host->checkEffectRef(ref, "PF_NewWorld")) return PF_Err_BAD_CALLBACK_PARAM;
  for (const PixelDepth depth : {PixelDepth::Eight, PixelDepth::Sixteen, PixelDepth::Float}) {
    if (pixelFormatOf(depth) == format) return makeWorld(*host, width, height, depth, clear != 0, world);
  }
  return PF_Err_UNRECOGNIZED_PARAM_TYPE;
}

PF_Err getPixelFormat(const PF_EffectWorld* world, PF_PixelFormat* format) {
  return worldPixelFormat(*LockedHost(), world, format);
}

PF_Err copy(PF_ProgPtr ref, PF_EffectWorld* source, PF_EffectWorld* destination, PF_Rect* sourceRect,
            PF_Rect* destinationRect) {
  LockedHost host;
  if (!host->checkEffectRef(ref, "copy")) return PF_Err_BAD_CALLBACK_PARAM;
  return copyWorld(*host, source, destination, sourceRect, destinationRect);
}

PF_WorldSuite1 makeWorldSuite1() {
  PF_WorldSuite1 suite{};
  suite.new_world = newWorld1;
  suite.dispose_world = disposeWorld1;
  return suite;
}

PF_WorldSuite2 makeWorldSuite2() {
  PF_WorldSuite2 suite{};
  suite.PF_NewWorld = newWorld2;
  suite.PF_DisposeWorld = disposeWorld1;
  suite.PF_GetPixelFormat = getPixelFormat;
  return suite;
}

PF_WorldTransformSuite1 makeWorldTransformSuite() {
  PF_WorldTransformSuite1 suite{};
  FXHOST_NOT_IMPLEMENTED(suite, "PF World Transform Suite 1: ", composite_rect);
  FXHOST_NOT_IMPLEMENTED(suite, "PF World Transform Suite 1: ", blend);
  FXHOST_NOT_IMPLEMENTED(suite, "PF World Transform Suite 1: ", convolve);
  suite.copy = copy;
  FXHOST_NOT_IMPLEMENTED(suite, "PF World Transform Suite 1: ", copy_hq);
  FXHOST_NOT_IMPLEMENTED(suite, "PF World Transform Suite 1: ", transfer_rect);
  FXHOST_NOT_IMPLEMENTED(suite, "PF World Transform Suite 1: ", transform_world);
  return suite;
}

}  // namespace

const void* worldSuiteTable(A_long version) {
  static const PF_WorldSuite1 suite1 = makeWorldSuite1();
  static const PF_WorldSuite2 suite2 = makeWorldSuite2();
  if (version == kPFWorldSuiteVersion1) return &suite1;
  if (version == kPFWorldSuiteVersion2) return &suite2;
  return nullptr;
}

const void* worldTransformSuiteTable() {
  static const PF_WorldTransformSuite1 suite = makeWorldTransformSuite();
  return &suite;
}

}  // namespace fxhost::detail
