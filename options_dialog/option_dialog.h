// The options dialog: store the instance's current values as the user's defaults, or throw the
// stored defaults away; a banner and a link to the manual.
#pragma once

#include <windows.h>

#include "ae_effect.h"
#include "dialog_base.h"
#include "ui_language.h"

namespace FxOptionDlg {

// Control and resource ids of dialog template 206.
enum : int {
  kTemplateId = 206,
  kBannerBitmapId = 203,
  kGroupBox = 2000,
  kStoreButton = 2001,
  kRestoreButton = 2002,
  kBanner = 2059,
  kManualLink = 2060,
};

// What the dialog ended with.
enum : INT_PTR { kClosed = 0, kSetDefaults = 1, kRestoreDefaults = 2 };

class AEFxOptionDialog : public norvaDlg::DialogBase {
 public:
  // `extra` is not consulted; `manualAddress` may be null (no link).
  AEFxOptionDialog(HINSTANCE instance, HWND owner, LPARAM extra, const char* title, const char* manualAddress,
                   bool storedDefaultsEnabled, AEUtil::Language language);
  ~AEFxOptionDialog() override;

  // As DialogBase's, but a dialog that could not be shown counts as closed.
  INT_PTR doModal() override;
  int onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  int onInitDialog(HWND window, WPARAM wParam) override;
  int onCommand(HWND window, int code, int id, LPARAM lParam) override;
  int onAppMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  INT_PTR onNotify(HWND window, int id, NMHDR* header) override;
  int onPaint(HWND window) override;
  int onDrawItem(HWND window, int id, DRAWITEMSTRUCT* item) override;
  int onDestroy(HWND window) override;

 private:
  char title_[256];
  char manualAddress_[256];
  bool storedDefaultsEnabled_;
  AEUtil::Language language_;
  HBITMAP banner_;
};

// The options command: shows the dialog over the host's main window with the host's other windows
// disabled, then stores or discards the defaults as the user chose. Always succeeds.
PF_Err doOptionsDialog(PF_InData* in_data, PF_ParamDef* params[]);

}  // namespace FxOptionDlg
