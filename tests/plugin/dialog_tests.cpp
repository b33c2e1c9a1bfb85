// The options dialog of the real plug-in, driven from outside the way a person uses it: the host's
// user-interface thread sends the options command over windows of its own, and the test finds the
// dialog, reads its controls, presses its buttons, Escape, the title bar's close and the link, and
// checks what follows. Needs a display (scripts/test.sh starts Xvfb). Every wait is bounded: a
// dialog still open when its test is done is closed and the test fails.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <future>
#include <thread>
#include <tuple>

#include "option_dialog.h"
#include "plugin_test_support.h"
#include "program_run.h"

namespace {

using namespace plugin_test;
using Clock = std::chrono::steady_clock;

constexpr auto kBound = std::chrono::seconds(15);

// Checks `holds` every `step` until it holds or the bound has passed; says whether it held.
template <class Condition>
bool waitFor(Condition holds, std::chrono::milliseconds step = std::chrono::milliseconds(20)) {
  for (const auto until = Clock::now() + kBound; !holds(); std::this_thread::sleep_for(step)) {
    if (Clock::now() >= until) return false;
  }
  return true;
}

std::wstring textOf(HWND window) {
  wchar_t text[512] = L"";
  GetWindowTextW(window, text, 512);
  return text;
}

struct Rect {
  LONG left, top, right, bottom;
  bool operator==(const Rect&) const = default;
};
Rect rectOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
Rect rectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return rectOf(r);
}

// Where a dialog of this size lands when centred in `reference`, 32 pixels inside at least.
Rect centred(const Rect& reference, const Rect& dialog) {
  const LONG w = dialog.right - dialog.left, h = dialog.bottom - dialog.top;
  const LONG x = std::max((reference.left + reference.right - w) / 2, reference.left + 32);
  const LONG y = std::max((reference.top + reference.bottom - h) / 2, reference.top + 32);
  return {x, y, x + w, y + h};
}

void press(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// The dialog's controls: place in dialog units, window class and style as its template lays them
// out, and the texts of the English and the Japanese dialog.
struct DialogControl {
  int id;
  std::wstring className;
  LONG x, y, cx, cy, style;
  std::wstring english, japanese;
};
constexpr LONG kChild = WS_CHILD | WS_VISIBLE;
const DialogControl kControls[] = {
    {IDOK, L"Button", 180, 144, 36, 18, kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, L"OK", L"OK"},
    {2000, L"Button", 6, 6, 222, 76, kChild | BS_GROUPBOX, L"Settings (Valid from next start-up)",
     L"設定 （次回起動から有効になります）"},
    {2001, L"Button", 36, 30, 162, 15, kChild | BS_PUSHBUTTON | WS_TABSTOP, L"Set current parameter values to default",
     L"現在のパラメータ設定をデフォルト値として記憶する"},
    {2002, L"Button", 36, 50, 162, 15, kChild | BS_PUSHBUTTON | WS_TABSTOP, L"Restore initial default parameter values",
     L"パラメータのデフォルト値設定を初期状態に復帰する"},
    {2059, L"Static", 13, 90, 209, 43, kChild | SS_OWNERDRAW | SS_CENTERIMAGE, L"", L""},
    {2060, L"SysLink", 11, 147, 142, 15, kChild | WS_TABSTOP, L"<a>Online Manual</a>", L"<a>オンラインマニュアル</a>"},
};

// The host's user-interface thread for one options command: it makes the host's main window, a
// second visible window and one that is disabled already, sends the command, and takes the
// windows down again. The main window is wider than the dialog but lower, so that the dialog
// stands out of it: Wine without a desktop of its own leaves a popup that lies wholly inside
// its owner undrawn.
enum class Owner { kMainWindow, kNone, kNotAWindow };

class OptionsCommand {
 public:
  OptionsCommand(fxhost::Host& host, Owner owner = Owner::kMainWindow) : host_(host) {
    std::promise<void> ready;
    thread_ = std::thread([this, owner, &ready] {
      const auto make = [](const char* title, int x, int y, int w, int h) {
        return CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, w, h, nullptr, nullptr,
                               nullptr, nullptr);
      };
      main = make("host main window", 100, 120, 760, 260);
      other = make("host panel", 900, 100, 200, 150);
      disabled = make("host disabled panel", 900, 300, 200, 150);
      EnableWindow(disabled, FALSE);
      host_.options().mainWindow = owner == Owner::kMainWindow ? main
                                   : owner == Owner::kNone    ? nullptr
                                                              : reinterpret_cast<HWND>(0x7FFF0);
      ready.set_value();
      result_ = host_.doDialog();
      enabledAfter = {IsWindowEnabled(main) != FALSE, IsWindowEnabled(other) != FALSE,
                      IsWindowEnabled(disabled) != FALSE};
      for (HWND window : {main, other, disabled}) DestroyWindow(window);
      done_ = true;
    });
    ready.get_future().wait();
  }

  // Closes a dialog the test left open, so that nothing waits forever, and fails the test.
  ~OptionsCommand() {
    if (!waitFor([this] { return done_.load(); })) {
      ADD_FAILURE() << "the dialog was still open at the end of the test";
      if (HWND open = findDialog()) PostMessageA(open, WM_CLOSE, 0, 0);
    }
    thread_.join();
    host_.options().mainWindow = nullptr;
  }

  // The dialog once it is up, or null after the bound.
  HWND dialog() {
    HWND found = nullptr;
    if (waitFor([&] { return (found = findDialog()) != nullptr && IsWindowVisible(found); })) return found;
    ADD_FAILURE() << "no dialog appeared";
    return nullptr;
  }

  // Waits (bounded) for the command to end and gives its result.
  PF_Err finish() { return waitFor([this] { return done_.load(); }) ? result_ : -1; }

  HWND main = nullptr, other = nullptr, disabled = nullptr;
  std::array<bool, 3> enabledAfter{};

 private:
  // This process's dialog: another test program may have one open at the same time.
  static HWND findDialog() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          char name[64] = "";
          GetClassNameA(window, name, sizeof name);
          DWORD process = 0;
          GetWindowThreadProcessId(window, &process);
          if (process != GetCurrentProcessId() || std::string(name) != "#32770") return TRUE;
          *reinterpret_cast<HWND*>(data) = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }

  fxhost::Host& host_;
  std::thread thread_;
  std::atomic<bool> done_ = false;
  PF_Err result_ = -1;
};

// A real press of the mouse on the middle of a control, once its dialog is the active window
// and the pointer has arrived: input sent any earlier can land on the window that was there before.
void clickOn(HWND control) {
  const HWND dialog = GetAncestor(control, GA_ROOT);
  waitFor([&] { return GetForegroundWindow() == dialog; });
  const Rect r = rectOf(control);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  for (const DWORD button : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = button;
    SendInput(1, &input, sizeof input);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

class DialogTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    startSession();
  }
  // Opens the dialog, presses button `id` and waits for the command to end.
  void pressInDialog(int id) {
    OptionsCommand command(*host);
    press(command.dialog(), id);
    EXPECT_EQ(command.finish(), PF_Err_NONE);
  }
  bool settingsFolderExists() const { return exists(appData->folder() + "\\NORVA"); }
};

// What the user sees, and that OK, Escape and the title bar's close change nothing. Also run under
// a Japanese Windows, whose ANSI texts are code page 932, for the Japanese dialog (see CMakeLists.txt).
TEST_F(DialogTest, ShowsItsControlsOverTheHostAndClosingChangesNothing) {
  const bool japanese = GetACP() == 932;
  host->options().language = japanese ? "ja_JP" : "en_US";
  const char* closings[] = {"OK", "Escape", "close"};
  for (const char* closing : closings) {
    SCOPED_TRACE(closing);
    OptionsCommand command(*host);
    HWND dialog = command.dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(textOf(dialog), L"tessaline");
    const LONG frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(GetWindowLongW(dialog, GWL_STYLE) & frame, frame);
    EXPECT_EQ(GetMenu(dialog), nullptr);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"MS UI Gothic");
    RECT client{0, 0, 235, 170}, seen{};
    MapDialogRect(dialog, &client);
    GetClientRect(dialog, &seen);
    EXPECT_EQ(rectOf(seen), rectOf(client));
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    for (const DialogControl& c : kControls) {
      HWND control = GetDlgItem(dialog, c.id);
      wchar_t className[32] = L"";
      GetClassNameW(control, className, 32);
      EXPECT_EQ(std::tuple(textOf(control), std::wstring(className), GetWindowLongW(control, GWL_STYLE)),
                std::tuple(japanese ? c.japanese : c.english, c.className, c.style)) << c.id;
      RECT place{c.x, c.y, c.cx, c.cy};  // the dialog manager converts the size apart from the position
      MapDialogRect(dialog, &place);
      const LONG x = origin.x + place.left, y = origin.y + place.top;
      EXPECT_EQ(rectOf(control), (Rect{x, y, x + place.right, y + place.bottom})) << c.id;
    }
    EXPECT_EQ(rectOf(dialog), centred(rectOf(command.main), rectOf(dialog)));
    // The host's windows wait while the dialog is up.
    EXPECT_FALSE(IsWindowEnabled(command.main));
    EXPECT_FALSE(IsWindowEnabled(command.other));
    if (closing == closings[0]) clickOn(GetDlgItem(dialog, IDOK));
    if (closing == closings[1]) PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    if (closing == closings[2]) PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(command.finish(), PF_Err_NONE);
    EXPECT_EQ(command.enabledAfter, (std::array<bool, 3>{true, true, false}));
    EXPECT_FALSE(settingsFolderExists());
  }
}

// The first button stores the instance's values and closes the dialog; the second throws them away.
TEST_F(DialogTest, StoresAndRestoresTheDefaults) {
  setValue(kSoftness, 88);
  setValue(kKeyEnable, 1);
  host->param(kKeyColor).u.cd.value = PF_Pixel{255, 9, 8, 7};
  pressInDialog(2001);
  EXPECT_EQ(fileText(appData->settingsFile()),
            "[Version=1.0]\r\ncolor threshold=10\r\nsoftness=88\r\nbias=0\r\ncolor key enable=1\r\n"
            "key color.r=9\r\nkey color.g=8\r\nkey color.b=7\r\nkey color.a=255\r\n"
            "key color threshold=0\r\ninvert=0\r\n");
  pressInDialog(2002);
  EXPECT_FALSE(settingsFolderExists());
  EXPECT_TRUE(exists(appData->folder()));
}

// A host too old for stored defaults gets the two buttons greyed; pressing them does nothing.
TEST_F(DialogTest, LegacyHostsCannotStoreDefaults) {
  host->options().version = PF_SpecVersion{12, 11};
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
  OptionsCommand command(*host);
  HWND dialog = command.dialog();
  ASSERT_NE(dialog, nullptr);
  for (const int id : {2001, 2002}) {
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
    clickOn(GetDlgItem(dialog, id));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 2060)));
  press(dialog, IDOK);
  EXPECT_EQ(command.finish(), PF_Err_NONE);
  EXPECT_FALSE(settingsFolderExists());
}

// Without a main window, or with one that is not a window at all, the dialog stands on the
// monitor under the mouse.
TEST_F(DialogTest, WithoutAMainWindowItIsCentredUnderTheMouse) {
  for (const Owner owner : {Owner::kNone, Owner::kNotAWindow}) {
    SetCursorPos(200, 150);
    OptionsCommand command(*host, owner);
    HWND dialog = command.dialog();
    ASSERT_NE(dialog, nullptr);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(POINT{200, 150}, MONITOR_DEFAULTTONULL), &monitor);
    EXPECT_EQ(rectOf(dialog), centred(rectOf(monitor.rcMonitor), rectOf(dialog)));
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(command.finish(), PF_Err_NONE);
    EXPECT_EQ(command.enabledAfter, (std::array<bool, 3>{true, true, false}));
  }
}

// A dialog that cannot be shown (run here in the test program, whose module has no dialog
// template) closes as if the user had pressed OK: the command succeeds and the host's windows
// are as they were.
TEST_F(DialogTest, ADialogThatCannotOpenLeavesTheHostAsItWas) {
  HWND main = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                              nullptr, nullptr);
  host->options().mainWindow = main;
  EXPECT_EQ(inDialogCommand(
                [](PF_InData& in, PF_ParamDef** params) { return FxOptionDlg::doOptionsDialog(&in, params); }),
            PF_Err_NONE);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_FALSE(settingsFolderExists());
  DestroyWindow(main);
  host->options().mainWindow = nullptr;
}

// Without its banner picture the dialog paints the banner's place plain.
TEST(DialogBanner, WithoutItsPictureThePlaceIsPaintedPlain) {
  FxOptionDlg::AEFxOptionDialog dialog(GetModuleHandleA(nullptr), nullptr, 0, "t", nullptr, true, AEUtil::kEnglish);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, 4, -4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP target = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  SelectObject(memory, target);
  std::memset(bits, 0x5A, 4 * 4 * 4);
  DRAWITEMSTRUCT item{};
  item.hDC = memory;
  item.rcItem = RECT{0, 0, 4, 4};
  EXPECT_EQ(dialog.onDrawItem(nullptr, 2059, &item), 1);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const auto* pixel = static_cast<const BYTE*>(bits);
  EXPECT_EQ(std::tuple(pixel[2], pixel[1], pixel[0]), std::tuple(GetRValue(face), GetGValue(face), GetBValue(face)));
  EXPECT_EQ(dialog.onDrawItem(nullptr, 2060, &item), 0);  // not the banner: not its to draw
  DeleteDC(memory);
  DeleteObject(target);
}

// The link opens the manual installed beside the plug-in through the system's handler for web
// addresses (here a recorder, see CMakeLists.txt), and the dialog stays open.
TEST_F(DialogTest, TheLinkOpensTheManualAndTheDialogStays) {
  constexpr char kBrowsers[] = "Software\\Wine\\WineBrowser";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kBrowsers, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
  RegSetValueExA(key, "Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(RECORD_ADDRESS_SCRIPT),
                 sizeof RECORD_ADDRESS_SCRIPT);
  DeleteFileA(RECORDED_ADDRESSES);
  {
    OptionsCommand command(*host);
    HWND dialog = command.dialog();
    ASSERT_NE(dialog, nullptr);
    HWND link = GetDlgItem(dialog, 2060);
    PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 6));
    PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(8, 6));
    std::string recorded;
    waitFor([&] { std::ifstream file(RECORDED_ADDRESSES); return std::getline(file, recorded) && !recorded.empty(); },
            std::chrono::milliseconds(50));
    EXPECT_EQ(recorded, "file://" + std::string(TESSALINE_DIST_UNIX) + "/tessaline-manual/index.html");
    EXPECT_TRUE(IsWindowVisible(dialog));
    press(dialog, IDOK);
    EXPECT_EQ(command.finish(), PF_Err_NONE);
  }
  RegDeleteValueA(key, "Browsers");
  RegCloseKey(key);
}

// The host program's dialog mode, as a person would use it to try the dialog by hand.
TEST_F(DialogTest, TheHostProgramOpensItForAPerson) {
  for (const int button : {2001, 2002}) {
    auto run = std::async(std::launch::async, [] {
      return test_support::runProgram(
          "\"" + programPath() + "\" \"" + pluginPath() + "\" dialog --param 2=55 --param 6=1,2,3",
          "plugin_dialog_program.", {}, 30000);
    });
    HWND dialog = nullptr;
    waitFor([&] { return (dialog = FindWindowA("#32770", "tessaline")) != nullptr; }, std::chrono::milliseconds(50));
    ASSERT_NE(dialog, nullptr);
    press(dialog, button);
    const test_support::ProgramRun done = run.get();
    EXPECT_EQ(done.exitCode, 0u) << done.err;
    const std::string out = done.outText();
    std::vector<std::string> said{"the settings file was removed"};
    if (button == 2001) said = {"the settings file was written", "softness=55\r\n", "key color.g=2\r\n"};
    for (const std::string& text : said) EXPECT_NE(out.find(text), std::string::npos) << text << " in " << out;
  }
}

}  // namespace
