#include "dialog_base.h"

#include <algorithm>

namespace norvaDlg {
namespace {

std::unordered_map<HWND, DialogBase*> gDialogWindows;

struct MonitorSearch {
  RECT rect{};
  bool found = false;
};

BOOL CALLBACK firstMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto* search = reinterpret_cast<MonitorSearch*>(data);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) {
    search->rect = info.rcMonitor;
    search->found = true;
  }
  return FALSE;  // the first one is enough
}

// The monitor under the mouse cursor. With none there (the cursor off every screen), the monitor
// nearest to it: a window must land somewhere the user can see it.
RECT monitorUnderCursor() {
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT pixel{cursor.x, cursor.y, cursor.x + 1, cursor.y + 1};
  MonitorSearch search;
  EnumDisplayMonitors(nullptr, &pixel, firstMonitor, reinterpret_cast<LPARAM>(&search));
  if (search.found) return search.rect;
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoA(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcMonitor;
}

}  // namespace

std::unordered_map<HWND, DialogBase*>& dialogWindowMap() { return gDialogWindows; }

DialogBase::~DialogBase() = default;

INT_PTR DialogBase::doModal() {
  return DialogBoxParamA(instance_, MAKEINTRESOURCEA(templateId_), owner_, dialogProcedure,
                         reinterpret_cast<LPARAM>(this));
}

int DialogBase::onMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }
int DialogBase::onInitDialog(HWND, WPARAM) { return 0; }
int DialogBase::onCommand(HWND, int, int, LPARAM) { return 0; }
int DialogBase::onAppMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR DialogBase::onNotify(HWND, int, NMHDR*) { return 0; }
int DialogBase::onPaint(HWND) { return 0; }
int DialogBase::onDrawItem(HWND, int, DRAWITEMSTRUCT*) { return 0; }

int DialogBase::onClose(HWND window) {
  endDialog(window, 0);
  return 1;
}

int DialogBase::onDestroy(HWND) { return 0; }

void DialogBase::centerWindow(HWND window) {
  RECT own{};
  GetWindowRect(window, &own);
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  RECT reference{};
  const HWND parent = GetParent(window);
  if (parent != nullptr) {
    GetWindowRect(parent, &reference);
  } else {
    reference = monitorUnderCursor();
  }
  const int x = static_cast<int>(std::max((reference.left + reference.right - width) / 2, reference.left + 32));
  const int y = static_cast<int>(std::max((reference.top + reference.bottom - height) / 2, reference.top + 32));
  MoveWindow(window, x, y, width, height, TRUE);
}

void DialogBase::setText(HWND window, const std::string& text) { SetWindowTextA(window, text.c_str()); }
void DialogBase::setText(HWND window, const char* text) { SetWindowTextA(window, text); }
void DialogBase::endDialog(HWND window, INT_PTR result) { EndDialog(window, result); }

INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogBase* dialog = nullptr;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<DialogBase*>(lParam);
    gDialogWindows[window] = dialog;
    dialog->window_ = window;
  } else {
    const auto found = gDialogWindows.find(window);
    if (found == gDialogWindows.end()) return 0;
    dialog = found->second;
    if (message == WM_DESTROY) gDialogWindows.erase(found);
  }
  if (const int handled = dialog->onMessage(window, message, wParam, lParam); handled != 0) return handled;
  switch (message) {
    case WM_DRAWITEM:
      return dialog->onDrawItem(window, static_cast<int>(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    case WM_DESTROY:
      return dialog->onDestroy(window);
    case WM_PAINT:
      return dialog->onPaint(window);
    case WM_CLOSE:
      return dialog->onClose(window);
    case WM_NOTIFY:
      return dialog->onNotify(window, static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam));
    case WM_INITDIALOG:
      return dialog->onInitDialog(window, wParam);
    case WM_COMMAND:
      return dialog->onCommand(window, HIWORD(wParam), LOWORD(wParam), lParam);
    default:
      if (message >= WM_APP && message <= 0xBFFF) return dialog->onAppMessage(window, message, wParam, lParam);
      return 0;
  }
}

}  // namespace norvaDlg
