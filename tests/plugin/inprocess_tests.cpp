// Pieces of the plug-in run inside the test program, through the simulated host's blocks: the
// failure guard, the registry's tables and the two actions on the settings file.

#include <windows.h>

#include <new>
#include <stdexcept>
#include <tuple>

#include "base_filter.h"
#include "entry_point.h"
#include "param_registry.h"
#include "plugin_test_support.h"
#include "render_job.h"
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
      {"bare 516", []() -> PF_Err { throw PF_Err_BAD_CALLBACK_PARAM; }, 516, "error code = 516\nPF_Err_BAD_CALLBACK_PARAM"},
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

// ---- The registry ----------------------------------------------------------------------------------

TEST(ParamRegistry, TablesIdsControllersAndJobFields) {
  buildParamSet();
  buildParamSet();  // a rebuild gives the same indices
  const ParamRegistry& r = paramRegistry();
  EXPECT_EQ(std::tuple(r.descriptorCount, r.paramCount, r.nextIndex), std::tuple(9, 10, 10));
  EXPECT_EQ(r.byIndex[0], nullptr);
  EXPECT_EQ(r.byIndex[10], nullptr);
  EXPECT_EQ(r.byId[9], nullptr);
  const A_u_long ids[] = {1, 2, 3, 4, 5, 6, 7, 1000, 1001};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(r.byId[i]->id, ids[i]);
  // By index: id, controller index, RenderJob offset and size.
  const std::tuple<A_u_long, A_u_long, A_u_long, A_u_long> fields[] = {
      {1, 0, 0, 4}, {2, 0, 4, 4}, {7, 0, 8, 4}, {1000, 0, 0, 0}, {3, 0, 12, 1},
      {4, 5, 13, 4}, {5, 5, 20, 4}, {6, 5, 24, 1}, {1001, 0, 0, 0}};
  for (int i = 1; i <= 9; ++i) {
    const BaseParam& d = *r.byIndex[i];
    EXPECT_EQ(d.index, static_cast<A_u_long>(i));
    EXPECT_EQ(std::tuple(d.id, d.controllerIndex, d.valueOffset, d.valueSize), fields[i - 1]) << "index " << i;
  }
  // The job every render starts from holds the built-in defaults.
  const RenderJob job = prefilledRenderJob();
  EXPECT_EQ(std::tuple(job.colorThreshold, job.softness, job.bias, job.colorKeyEnable, job.keyColorThreshold,
                       job.invert, job.pixelFormat),
            std::tuple(10, 70, 0, '\0', 0, '\0', PF_PixelFormat_INVALID));
  EXPECT_EQ(std::tuple(job.keyColor.alpha, job.keyColor.red, job.keyColor.green, job.keyColor.blue),
            std::tuple(255, 255, 255, 255));
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

TEST_F(SettingsTest, SetDefaultsWritesTheInstancesValues) {
  startSession();
  setValue(kColorThreshold, 33);
  setValue(kSoftness, 100);
  setValue(kKeyEnable, 1);
  setColor(kKeyColor, PF_Pixel{255, 1, 2, 3});
  storeFromHost();
  EXPECT_EQ(fileText(appData->settingsFile()),
            "[Version=1.0]\r\ncolor threshold=33\r\nsoftness=100\r\nbias=0\r\ncolor key enable=1\r\n"
            "key color.r=1\r\nkey color.g=2\r\nkey color.b=3\r\nkey color.a=255\r\n"
            "key color threshold=0\r\ninvert=0\r\n");
  // The next parameter setup registers them.
  host->records().addedParams.clear();
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
  EXPECT_EQ(host->records().addedParams[0].def.u.sd.value, 33);
  EXPECT_EQ(host->records().addedParams[4].def.u.bd.value, 1);
  EXPECT_EQ(host->records().addedParams[5].def.u.cd.value.blue, 3);
}

TEST_F(SettingsTest, RestoreDefaultsRemovesTheFileAndOnlyItsEmptyFolders) {
  startSession();
  for (const bool neighbour : {false, true}) {
    storeFromHost();
    ASSERT_TRUE(exists(appData->settingsFile()));
    const std::string other = appData->folder() + "\\NORVA\\other-product";
    if (neighbour) CreateDirectoryA(other.c_str(), nullptr);
    RestoreDefaults();
    EXPECT_FALSE(exists(appData->settingsFolder()));
    EXPECT_EQ(exists(appData->folder() + "\\NORVA"), neighbour);
    EXPECT_TRUE(exists(appData->folder()));
  }
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
