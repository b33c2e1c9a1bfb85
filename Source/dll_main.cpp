// The library's load and unload.
#include <windows.h>

#include "dialog_base.h"
#include "param_registry.h"
#include "plugin_module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    // The dialog's resources and the manual beside the library are found through this handle.
    AEUtil::setPluginModule(module);
    DisableThreadLibraryCalls(module);
  } else if (reason == DLL_PROCESS_DETACH) {
    destroyParamSet();
    norvaDlg::dialogWindowMap().clear();
  }
  return TRUE;
}
