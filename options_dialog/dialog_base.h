// A small reusable modal dialog: the template comes from a module's resources, and one shared
// dialog procedure hands every message to the object that runs the window.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>

namespace norvaDlg {

class DialogBase {
 public:
  DialogBase(HINSTANCE instance, HWND owner, int templateId)
      : instance_(instance), owner_(owner), templateId_(templateId) {}
  virtual ~DialogBase();
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;

  // Runs the dialog and returns what it ended with; -1 when it could not be shown.
  virtual INT_PTR doModal();
  // Sees every message first; a non-zero result is the message's answer and ends its handling.
  virtual int onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  virtual int onInitDialog(HWND window, WPARAM wParam);
  virtual int onCommand(HWND window, int code, int id, LPARAM lParam);
  virtual int onAppMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  virtual INT_PTR onNotify(HWND window, int id, NMHDR* header);
  virtual int onPaint(HWND window);
  virtual int onDrawItem(HWND window, int id, DRAWITEMSTRUCT* item);
  // The title bar's close button: ends the dialog with 0.
  virtual int onClose(HWND window);
  virtual int onDestroy(HWND window);
  // Centres the window over its parent, or over the monitor under the mouse when it has none,
  // never less than 32 pixels inside that rectangle's top-left corner.
  virtual void centerWindow(HWND window);
  virtual void setText(HWND window, const std::string& text);
  virtual void setText(HWND window, const char* text);
  virtual void endDialog(HWND window, INT_PTR result);

  HWND window() const { return window_; }

 protected:
  HINSTANCE instance_;
  HWND owner_;
  HWND window_ = nullptr;  // set by WM_INITDIALOG
  int templateId_;

  friend INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// The procedure of every DialogBase dialog; the object comes in with WM_INITDIALOG.
INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Each open dialog's window and the object that runs it.
std::unordered_map<HWND, DialogBase*>& dialogWindowMap();

}  // namespace norvaDlg
