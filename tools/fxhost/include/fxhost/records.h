#pragma once
// What the plug-in asked of the host, call by call, for tests to compare with what it should have
// asked. The accounts judge balance; these only remember.

#include <cstddef>
#include <string>
#include <vector>

#include "ae_effect.h"
#include "ae_smart_render.h"

namespace fxhost {

struct AddParamRecord {
  PF_ParamIndex index = 0;  // the index argument as passed (-1 appends)
  PF_ParamDef def{};
  std::string checkboxLabel;  // a checkbox's label as it was during the call
  PF_Err result = 0;
};

struct ParamCheckoutRecord {
  PF_Cmd command = 0;
  PF_ParamIndex index = 0;
  A_long time = 0;
  A_long timeStep = 0;
  A_u_long timeScale = 0;
  PF_Err result = 0;
};

struct ParamUIUpdateRecord {
  A_long suiteVersion = 0;  // "PF Param Utils Suite" version the call came through
  PF_ParamIndex index = 0;
  PF_ParamDef def{};
  PF_Err result = 0;
};

struct LayerCheckoutRecord {
  PF_ParamIndex index = 0;
  A_long checkoutId = 0;
  PF_RenderRequest request{};
  A_long time = 0;
  A_long timeStep = 0;
  A_u_long timeScale = 0;
  PF_Err result = 0;
};

struct CopyRecord {
  bool wholeSource = false;  // no source rectangle given
  bool wholeDestination = false;
  PF_Rect sourceRect{};
  PF_Rect destinationRect{};
  PF_Err result = 0;
};

struct Records {
  std::vector<AddParamRecord> addedParams;
  std::vector<ParamCheckoutRecord> paramCheckouts;
  std::vector<ParamUIUpdateRecord> uiUpdates;
  std::vector<LayerCheckoutRecord> layerCheckouts;
  std::vector<CopyRecord> copies;
  std::vector<std::string> suiteCalls;      // "acquire \"PF World Suite\" 1: 0", in call order
  std::vector<std::string> notImplemented;  // "PF World Transform Suite 1: blend"
  std::vector<PF_PlatDataID> platformDataQueries;
  int languageQueries = 0;
  int layerPixelCheckouts = 0;
  int layerPixelCheckins = 0;
  int outputCheckouts = 0;
  int preRenderDataDeletions = 0;  // calls of the plug-in's delete_pre_render_data_func
  std::size_t worldBytes = 0;      // pixel bytes of the worlds the plug-in made and still holds
  std::size_t worldBytesPeak = 0;  // the most they ever were at once
  double worldMakingMilliseconds = 0;  // the host's own time in making them
};

}  // namespace fxhost
