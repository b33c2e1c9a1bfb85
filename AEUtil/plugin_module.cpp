#include "plugin_module.h"

namespace AEUtil {
namespace {

HINSTANCE gModule = nullptr;

}  // namespace

void setPluginModule(HINSTANCE module) { gModule = module; }
HINSTANCE pluginModule() { return gModule; }

}  // namespace AEUtil
