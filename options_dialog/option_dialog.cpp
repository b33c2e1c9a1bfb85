#include "option_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "host_version.h"
#include "plugin_module.h"
#include "settings_file.h"

namespace FxOptionDlg {
namespace {

bool gCommonControlsReady = false;

void copyText(char (&to)[256], const char* from) {
  std::strncpy(to, from != nullptr ? from : "", sizeof to - 1);
  to[sizeof to - 1] = 0;
}

// The host's visible, enabled top-level windows, disabled while the dialog runs and enabled again
// however it ends. A window that was disabled already is not touched.
class DisabledHostWindows {
 public:
  DisabledHostWindows() {
    EnumWindows(collect, reinterpret_cast<LPARAM>(&windows_));
    for (const HWND window : windows_) EnableWindow(window, FALSE);
  }
  ~DisabledHostWindows() {
    for (const HWND window : windows_) EnableWindow(window, TRUE);
  }
  DisabledHostWindows(const DisabledHostWindows&) = delete;
  DisabledHostWindows& operator=(const DisabledHostWindows&) = delete;

 private:
  static BOOL CALLBACK collect(HWND window, LPARAM data) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && IsWindowEnabled(window)) {
      reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    }
    return TRUE;
  }

  std::vector<HWND> windows_;
};

}  // namespace

AEFxOptionDialog::AEFxOptionDialog(HINSTANCE instance, HWND owner, LPARAM, const char* title,
                                   const char* manualAddress, bool storedDefaultsEnabled, AEUtil::Language language)
    : DialogBase(instance, owner, kTemplateId), storedDefaultsEnabled_(storedDefaultsEnabled), language_(language) {
  if (!gCommonControlsReady) {
    // The link control's class is registered once per process.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    gCommonControlsReady = true;
  }
  copyText(title_, title);
  copyText(manualAddress_, manualAddress);
  banner_ = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(kBannerBitmapId), IMAGE_BITMAP, 0, 0, 0));
}

AEFxOptionDialog::~AEFxOptionDialog() {
  if (banner_ != nullptr) DeleteObject(banner_);
}

INT_PTR AEFxOptionDialog::doModal() {
  const INT_PTR result = DialogBase::doModal();
  return result == -1 ? kClosed : result;
}

int AEFxOptionDialog::onMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }

int AEFxOptionDialog::onInitDialog(HWND window, WPARAM) {
  setText(window, title_);
  centerWindow(window);
  setText(GetDlgItem(window, kGroupBox), AEUtil::uiText(0, language_));
  setText(GetDlgItem(window, kStoreButton), AEUtil::uiText(1, language_));
  setText(GetDlgItem(window, kRestoreButton), AEUtil::uiText(2, language_));
  if (!storedDefaultsEnabled_) {
    EnableWindow(GetDlgItem(window, kStoreButton), FALSE);
    EnableWindow(GetDlgItem(window, kRestoreButton), FALSE);
  }
  const HWND link = GetDlgItem(window, kManualLink);
  setText(link, AEUtil::uiText(4, language_));
  if (manualAddress_[0] == 0) {
    EnableWindow(link, FALSE);
    ShowWindow(link, SW_HIDE);
  }
  return 1;  // the dialog manager gives the focus its default place
}

int AEFxOptionDialog::onCommand(HWND window, int, int id, LPARAM) {
  switch (id) {
    case IDOK:
    case IDCANCEL:  // also Escape
      endDialog(window, kClosed);
      return 1;
    case kStoreButton:
      endDialog(window, kSetDefaults);
      return 1;
    case kRestoreButton:
      endDialog(window, kRestoreDefaults);
      return 1;
    default:
      return 0;
  }
}

int AEFxOptionDialog::onAppMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }

INT_PTR AEFxOptionDialog::onNotify(HWND, int id, NMHDR* header) {
  if (id != kManualLink || header == nullptr || header->code != NM_CLICK) return 0;
  // The dialog stays open; a browser that cannot be started is not the dialog's failure.
  ShellExecuteA(nullptr, "open", manualAddress_, nullptr, nullptr, SW_SHOW);
  return 1;
}

int AEFxOptionDialog::onPaint(HWND) { return 0; }

int AEFxOptionDialog::onDrawItem(HWND, int id, DRAWITEMSTRUCT* item) {
  if (id != kBanner || item == nullptr) return 0;
  const RECT& to = item->rcItem;
  if (banner_ == nullptr) {
    // Without its picture the banner is left plain rather than showing whatever was there.
    FillRect(item->hDC, &to, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  BITMAP picture{};
  GetObjectA(banner_, sizeof picture, &picture);
  const HDC memory = CreateCompatibleDC(item->hDC);
  const HGDIOBJ previous = SelectObject(memory, banner_);
  SetStretchBltMode(item->hDC, HALFTONE);
  StretchBlt(item->hDC, to.left, to.top, to.right - to.left, to.bottom - to.top, memory, 0, 0, picture.bmWidth,
             picture.bmHeight, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  return 1;
}

int AEFxOptionDialog::onDestroy(HWND) { return 0; }

PF_Err doOptionsDialog(PF_InData* in_data, PF_ParamDef* params[]) {
  try {
    HWND owner = nullptr;
    if (in_data->utils->get_platform_data(in_data->effect_ref, PF_PlatData_MAIN_WND, &owner) != PF_Err_NONE ||
        !IsWindow(owner)) {
      // No usable main window: the dialog stands on its own, centred under the mouse.
      owner = nullptr;
    }
    const AEUtil::Language language = AEUtil::queryUiLanguage(in_data);
    AEFxOptionDialog dialog(AEUtil::pluginModule(), owner, 0, AEUtil::productText(2, language),
                            AEUtil::productText(3, language), !isLegacyHost(in_data), language);
    INT_PTR result = kClosed;
    {
      const DisabledHostWindows disabled;
      result = dialog.doModal();
    }
    // A host without stored defaults never gets its settings file touched, however the dialog
    // ended (its two buttons are greyed there).
    const bool stored = !isLegacyHost(in_data);
    if (stored && result == kSetDefaults) SetDefaults(in_data, params);
    if (stored && result == kRestoreDefaults) RestoreDefaults();
  } catch (...) {
    // Nothing the dialog meets is the host's concern: the command succeeds whatever happened.
  }
  return PF_Err_NONE;
}

}  // namespace FxOptionDlg
