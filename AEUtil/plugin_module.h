// The plug-in's own module, recorded when the library is loaded: its resources (dialog, banner)
// and the files installed beside it (the manual) are found through it.
#pragma once

#include <windows.h>

namespace AEUtil {

void setPluginModule(HINSTANCE module);
// Null until recorded (in a test program that links the effect's code directly).
HINSTANCE pluginModule();

}  // namespace AEUtil
