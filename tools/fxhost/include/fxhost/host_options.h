#pragma once
// How the simulated host presents itself: version, language, window, time and sizes.

#include <windows.h>

#include <string>

#include "ae_effect.h"

namespace fxhost {

struct HostOptions {
  PF_SpecVersion version{13, 28};  // effect API version in in_data->version
  A_long applId = host_sdk::kApplIdAfterEffects;
  std::string language = "en_US";  // what PF_AppGetLanguage reports
  HWND mainWindow = nullptr;       // get_platform_data(PF_PlatData_MAIN_WND); none when null
  bool provideBasicSuite = true;   // in_data->pica_basicP, null when false

  // Layer size and time before any frame; a frame's own size replaces the size while it renders.
  A_long width = 64;
  A_long height = 64;
  A_long currentTime = 0;
  A_long timeStep = 1;
  A_long totalTime = 240;
  A_u_long timeScale = 24;
  PF_Quality quality = PF_Quality_HI;
  PF_RationalScale downsampleX{1, 1};
  PF_RationalScale downsampleY{1, 1};

  // Extra bytes after each row of every world the plug-in makes, so that code which derives the
  // stride from the width shows up.
  A_long newWorldRowPadding = 0;

  // A host handle left as pre-render data without a delete function is disposed of by the host
  // after the smart render it was meant for; when false it stays and the accounts report it.
  bool reclaimPreRenderHandles = true;
};

}  // namespace fxhost
