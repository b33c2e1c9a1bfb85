#include "dialog_session.h"

#include <windows.h>
#include <shlobj.h>

#include <fstream>
#include <optional>
#include <sstream>

#include "program_host.h"

namespace fxhost::program {
namespace {

constexpr char kWindowClass[] = "fxhostMainWindow";

// The host's main window: what a plug-in's dialog is shown over.
class MainWindow {
 public:
  explicit MainWindow(const std::string& title) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, 40, 40, 800, 300, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (window_ != nullptr) {
      ShowWindow(window_, SW_SHOW);
      UpdateWindow(window_);
    }
  }
  ~MainWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  HWND handle() const { return window_; }

 private:
  HWND window_ = nullptr;
};

std::string defaultSettingsFile() {
  char folder[MAX_PATH] = "";
  if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, FALSE)) return {};
  return std::string(folder) + "\\NORVA\\tessaline\\tessaline.ini";
}

std::optional<std::string> fileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// "12", or "R,G,B" for a colour, into the host's definition.
void setValue(PF_ParamDef& def, const std::string& text) {
  if (def.param_type == PF_Param_COLOR) {
    int red = 0, green = 0, blue = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%d,%d,%d%c", &red, &green, &blue, &end) != 3) {
      throw std::invalid_argument("a colour is R,G,B, not \"" + text + "\"");
    }
    def.u.cd.value = PF_Pixel{255, static_cast<A_u_char>(red), static_cast<A_u_char>(green), static_cast<A_u_char>(blue)};
    return;
  }
  std::size_t used = 0;
  const long value = std::stol(text, &used);
  if (used != text.size()) throw std::invalid_argument("\"" + text + "\" is not a number");
  if (def.param_type == PF_Param_CHECKBOX) {
    def.u.bd.value = static_cast<PF_ParamValue>(value);
  } else if (def.param_type == PF_Param_SLIDER) {
    def.u.sd.value = static_cast<PF_ParamValue>(value);
  } else {
    throw std::invalid_argument("only sliders, checkboxes and colours take a value here");
  }
}

}  // namespace

int runDialogSession(const ProgramOptions& options, std::ostream& out, std::ostream& log) {
  Host host(options.host);
  if (!loadPlugin(host, options, log)) return kExitSetupFailed;
  const MainWindow main("fxhost - " + options.pluginPath);
  if (main.handle() == nullptr) {
    log << "fxhost: cannot open the host's main window (is there a display?)\n";
    return kExitSetupFailed;
  }
  host.options().mainWindow = main.handle();
  for (const auto step : {&Host::globalSetup, &Host::paramsSetup, &Host::sequenceSetup}) {
    if (const PF_Err err = (host.*step)(); err != PF_Err_NONE) {
      log << "fxhost: setting the plug-in up failed with " << err << ": " << host.returnMessage() << "\n";
      host.shutdown();
      return kExitSetupFailed;
    }
  }
  try {
    for (const auto& [index, text] : options.paramValues) {
      if (index >= host.paramCount()) throw std::invalid_argument("no parameter " + std::to_string(index));
      setValue(host.param(index), text);
    }
  } catch (const std::exception& error) {
    log << "fxhost: --param: " << error.what() << "\n";
    host.shutdown();
    return kExitSetupFailed;
  }

  const std::string settings = options.settingsFile.empty() ? defaultSettingsFile() : options.settingsFile;
  const std::optional<std::string> before = fileText(settings);
  const PF_Err result = host.doDialog();
  const std::optional<std::string> after = fileText(settings);
  const char* outcome = before == after ? "the settings file did not change"
                        : !after        ? "the settings file was removed"
                                        : "the settings file was written";
  out << "options command: " << result << "\n" << outcome << ": " << settings << "\n";
  if (after) out << *after;

  const PF_Err down = host.shutdown();
  const AccountsReport accounts = host.accounts();
  log << accounts.text();
  if (result != PF_Err_NONE || down != PF_Err_NONE) return kExitFailed;
  return accounts.balanced() ? kExitSuccess : kExitImbalance;
}

}  // namespace fxhost::program
