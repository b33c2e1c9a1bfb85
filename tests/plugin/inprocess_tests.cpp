// Pieces of the plug-in run inside the test program, through the simulated host's blocks: the
// failure guard and the two actions on the settings file. (The registry's ids, controllers and job
// fields show through the real plug-in: param_tests, session_tests' greying and frames; the file
// SetDefaults writes, and reading it back, in dialog_tests and param_tests.)

#include <windows.h>

#include <new>
#include <stdexcept>

#include "entry_point.h"
#include "param_registry.h"
#include "plugin_test_support.h"
#include "settings_file.h"

namespace {

using namespace plugin_test;

// ---- The failure guard ----------------------------------------------------------------------------

struct GuardCase {
  const char* name;
  std::function<PF_Err()> body;
  PF_Err result;
  std::string message;
};

TEST(FailureGuard, TurnsEveryKindOfThrowIntoACodeAndText) {
  const GuardCase cases[] = {
      {"host code", [] { throw AEUtil::AEException(PF_Err_INVALID_INDEX, 12, "a.cpp", "index %d", 7); return 0; },
       PF_Err_INVALID_INDEX, "a.cpp(12): index 7"},
      {"standard", []() -> PF_Err { throw std::bad_alloc(); }, PF_Err_INTERNAL_STRUCT_DAMAGED, std::bad_alloc().what()},
      {"windows", []() -> PF_Err { throw AEUtil::Win32Exception(5, "b.cpp", 3, "denied"); }, 512, "b.cpp(3): denied"},
      {"bare 13", []() -> PF_Err { throw 13; }, 13, "error code = 13\nunknown"},
      {"anything else", []() -> PF_Err { throw 2.5; }, 512, AEUtil::unknownErrorText()},
      {"long text", []() -> PF_Err { throw std::runtime_error(std::string(300, 'x')); }, 512, std::string(255, 'x')},
      // A two-byte character that would straddle the last byte is left out whole.
      {"cut at a character", []() -> PF_Err { throw std::runtime_error("ab" + std::string(300, '\x82')); }, 512,
       "ab" + std::string(252, '\x82')},
  };
  for (const GuardCase& c : cases) {
    PF_OutData out{};
    EXPECT_EQ(runGuarded(&out, c.body), c.result) << c.name;
    EXPECT_EQ(std::string(out.return_msg), c.message) << c.name;
  }
}

TEST(FailureGuard, NamesTheHostsErrorCodes) {
  const std::pair<PF_Err, const char*> names[] = {
      {0, "PF_Err_NONE"}, {1, ""}, {3, ""}, {4, "PF_Err_OUT_OF_MEMORY"}, {5, "unknown"}, {511, "unknown"},
      {512, "PF_Err_INTERNAL_STRUCT_DAMAGED"}, {513, "PF_Err_INVALID_INDEX"}, {514, "PF_Err_UNRECOGNIZED_PARAM_TYPE"},
      {515, "PF_Err_INVALID_CALLBACK"}, {516, "PF_Err_BAD_CALLBACK_PARAM"}, {517, "PF_Interrupt_CANCEL"},
      {518, "PF_Err_CANNOT_PARSE_KEYFRAME_TEXT"}, {519, "unknown"}, {-1, "unknown"}};
  for (const auto& [code, name] : names) EXPECT_STREQ(hostErrorName(code), name) << code;
}

// ---- The settings file -----------------------------------------------------------------------------

class SettingsTest : public PluginTest {
 protected:
  // The host's current definitions after a parameter setup, as the options command receives them.
  void storeFromHost() {
    buildParamSet();
    useSettingsSection();
    inDialogCommand([](PF_InData& in, PF_ParamDef** params) {
      SetDefaults(&in, params);
      return PF_Err_NONE;
    });
  }
};

// A folder that still holds something stays (dialog_tests sees a lone file go with its folders).
TEST_F(SettingsTest, RestoreDefaultsRemovesTheFileAndOnlyItsEmptyFolders) {
  startSession();
  storeFromHost();
  ASSERT_TRUE(exists(appData->settingsFile()));
  CreateDirectoryA((appData->folder() + "\\NORVA\\other-product").c_str(), nullptr);
  RestoreDefaults();
  EXPECT_FALSE(exists(appData->settingsFolder()));
  EXPECT_TRUE(exists(appData->folder() + "\\NORVA"));
  // With no file at all, the folders it makes on the way are removed again.
  removeTree(appData->folder() + "\\NORVA");
  RestoreDefaults();
  EXPECT_FALSE(exists(appData->folder() + "\\NORVA"));
}

// Without an application-data folder neither action creates or removes anything anywhere.
TEST_F(SettingsTest, NoFolderNoFileAccess) {
  startSession();
  const ScopedAppData missing("missing", false);
  storeFromHost();
  RestoreDefaults();
  EXPECT_FALSE(exists(missing.folder()));
  EXPECT_FALSE(exists(appData->folder() + "\\NORVA"));
  // Nor at the root of the drive, where a path built on an empty folder would lead, nor in the
  // Windows folder, where the profile functions put a file given without a path.
  EXPECT_FALSE(exists("\\NORVA"));
  char section[64];
  EXPECT_EQ(GetPrivateProfileSectionA("Version=1.0", section, sizeof section, "win.ini"), 0u);
}

}  // namespace
