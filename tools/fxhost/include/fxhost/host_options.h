#pragma once
// How the simulated host presents itself: version, language, window, time, sizes and keyboard.

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

  // While a command runs, GetKeyState(VK_SHIFT) on the thread that sent it reports the key down
  // exactly when this is set; the thread's own keyboard state comes back afterwards.
  bool shiftKeyDown = false;

  // Every host handle's bytes end exactly where an inaccessible page begins, so that a plug-in
  // reading or writing past a handle's end faults at once (for feeding it arbitrary stored bytes).
  bool guardHandleEnds = false;
};

}  // namespace fxhost
