// The utility callbacks (in_data->utils): host handles, the ANSI functions, platform data and the
// world functions. Sampling, compositing, iteration and colour conversion are not offered.

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "host_core.h"
#include "not_implemented.h"
#include "world_ops.h"

namespace fxhost::detail {
namespace {

PF_Handle newHandle(A_HandleSize size) {
  LockedHost host;
  if (host->faults.handleAllocation.fires()) return nullptr;
  return host->handles.allocate(static_cast<std::size_t>(size), host->options.guardHandleEnds);
}

void* lockHandle(PF_Handle handle) {
  LockedHost host;
  if (host->faults.handleLock.fires()) return nullptr;
  return host->handles.lock(handle);
}

void unlockHandle(PF_Handle handle) { LockedHost()->handles.unlock(handle); }

void disposeHandle(PF_Handle handle) { LockedHost()->handles.dispose(handle); }

A_HandleSize handleSize(PF_Handle handle) {
  LockedHost host;
  const auto size = host->handles.size(handle);
  if (!size) {
    host->accounts.imbalance(host->accounts.where() + ": host_get_handle_size of a handle the host did not allocate");
    return 0;
  }
  return *size;
}

PF_Err resizeHandle(A_HandleSize size, PF_Handle* handle) {
  return LockedHost()->handles.resize(static_cast<std::size_t>(size), handle);
}

int ansiSprintf(A_char* buffer, const A_char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int written = std::vsprintf(buffer, format, arguments);
  va_end(arguments);
  return written;
}

A_char* ansiStrcpy(A_char* destination, const A_char* source) { return std::strcpy(destination, source); }

PF_Err copyPath(HMODULE module, void* data) {
  const DWORD length = GetModuleFileNameW(module, static_cast<wchar_t*>(data), AEFX_MAX_PATH);
  return length == 0 || length >= static_cast<DWORD>(AEFX_MAX_PATH) ? PF_Err_INTERNAL_STRUCT_DAMAGED : PF_Err_NONE;
}

PF_Err getPlatformData(PF_ProgPtr ref, PF_PlatDataID which, void* data) {
  LockedHost host;
  host->records.platformDataQueries.push_back(which);
  if (!host->checkEffectRef(ref, "get_platform_data") || data == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  const HMODULE plugin = host->plugin ? host->plugin->module() : nullptr;
  switch (which) {
    case PF_PlatData_MAIN_WND:
      *static_cast<HWND*>(data) = host->options.mainWindow;
      return host->options.mainWindow != nullptr ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
    case PF_PlatData_RES_DLLINSTANCE:
      *static_cast<HINSTANCE*>(data) = plugin;
      return PF_Err_NONE;
    case PF_PlatData_EXE_FILE_PATH_W:
      return copyPath(nullptr, data);
    case PF_PlatData_RES_FILE_PATH_W:
      return plugin != nullptr ? copyPath(plugin, data) : PF_Err_BAD_CALLBACK_PARAM;
    default:
      return PF_Err_BAD_CALLBACK_PARAM;
  }
}

PF_Err newWorld(PF_ProgPtr ref, A_long width, A_long height, PF_NewWorldFlags flags, PF_EffectWorld* world) {
  LockedHost host;
  if (!host->checkEffectRef(ref, "new_world")) return PF_Err_BAD_CALLBACK_PARAM;
  const PixelDepth depth = (flags & PF_NewWorldFlag_DEEP_PIXELS) != 0 ? PixelDepth::Sixteen : PixelDepth::Eight;
  return makeWorld(*host, width, height, depth, (flags & PF_NewWorldFlag_CLEAR_PIXELS) != 0, world);
}

PF_Err disposeWorldCallback(PF_ProgPtr ref, PF_EffectWorld* world) {
  LockedHost host;
  if (!host->checkEffectRef(ref, "dispose_world")) return PF_Err_BAD_CALLBACK_PARAM;
  return disposeWorld(*host, world);
}

PF_Err copyCallback(PF_ProgPtr ref, PF_EffectWorld* source, PF_EffectWorld* destination, PF_Rect* sourceRect,
                    PF_Rect* destinationRect) {
  LockedHost host;
  if (!host->checkEffectRef(ref, "copy")) return PF_Err_BAD_CALLBACK_PARAM;
  return copyWorld(*host, source, destination, sourceRect, destinationRect);
}

void fillAnsi(PF_ANSICallbacks& ansi) {
  ansi.atan = [](A_FpLong x) { return std::atan(x); };
  ansi.atan2 = [](A_FpLong y, A_FpLong x) { return std::atan2(y, x); };
  ansi.ceil = [](A_FpLong x) { return std::ceil(x); };
  ansi.cos = [](A_FpLong x) { return std::cos(x); };
  ansi.exp = [](A_FpLong x) { return std::exp(x); };
  ansi.fabs = [](A_FpLong x) { return std::fabs(x); };
  ansi.floor = [](A_FpLong x) { return std::floor(x); };
  ansi.fmod = [](A_FpLong x, A_FpLong y) { return std::fmod(x, y); };
  ansi.hypot = [](A_FpLong x, A_FpLong y) { return std::hypot(x, y); };
  ansi.log = [](A_FpLong x) { return std::log(x); };
  ansi.log10 = [](A_FpLong x) { return std::log10(x); };
  ansi.pow = [](A_FpLong x, A_FpLong y) { return std::pow(x, y); };
  ansi.sin = [](A_FpLong x) { return std::sin(x); };
  ansi.sqrt = [](A_FpLong x) { return std::sqrt(x); };
  ansi.tan = [](A_FpLong x) { return std::tan(x); };
  ansi.sprintf = ansiSprintf;
  ansi.strcpy = ansiStrcpy;
  ansi.asin = [](A_FpLong x) { return std::asin(x); };
  ansi.acos = [](A_FpLong x) { return std::acos(x); };
}

void fillColor(PF_ColorCallbacks& color) {
  FXHOST_NOT_IMPLEMENTED(color, "utility callbacks: ", RGBtoHLS);
  FXHOST_NOT_IMPLEMENTED(color, "utility callbacks: ", HLStoRGB);
  FXHOST_NOT_IMPLEMENTED(color, "utility callbacks: ", RGBtoYIQ);
  FXHOST_NOT_IMPLEMENTED(color, "utility callbacks: ", YIQtoRGB);
  FXHOST_NOT_IMPLEMENTED(color, "utility callbacks: ", Luminance);
  FXHOST_NOT_IMPLEMENTED(color, "utility callbacks: ", Hue);
  FXHOST_NOT_IMPLEMENTED(color, "utility callbacks: ", Lightness);
  FXHOST_NOT_IMPLEMENTED(color, "utility callbacks: ", Saturation);
}

}  // namespace

void fillUtilCallbacks(PF_UtilCallbacks& utils) {
  utils = PF_UtilCallbacks{};
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", begin_sampling);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", subpixel_sample);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", area_sample);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", end_sampling);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", composite_rect);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", blend);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", convolve);
  utils.copy = copyCallback;
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", fill);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", gaussian_kernel);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", iterate);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", premultiply);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", premultiply_color);
  utils.new_world = newWorld;
  utils.dispose_world = disposeWorldCallback;
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", iterate_origin);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", iterate_lut);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", transfer_rect);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", transform_world);
  utils.host_new_handle = newHandle;
  utils.host_lock_handle = lockHandle;
  utils.host_unlock_handle = unlockHandle;
  utils.host_dispose_handle = disposeHandle;
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", get_callback_addr);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", app);
  fillAnsi(utils.ansi);
  fillColor(utils.colorCB);
  utils.get_platform_data = getPlatformData;
  utils.host_get_handle_size = handleSize;
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", iterate_origin_non_clip_src);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", iterate_generic);
  utils.host_resize_handle = resizeHandle;
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", subpixel_sample16);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", area_sample16);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", fill16);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", premultiply_color16);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", iterate16);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", iterate_origin16);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", iterate_origin_non_clip_src16);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", get_pixel_data8);
  FXHOST_NOT_IMPLEMENTED(utils, "utility callbacks: ", get_pixel_data16);
}

}  // namespace fxhost::detail
