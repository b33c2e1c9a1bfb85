// The parameters as the host receives them: every definition add_param saw, and the stored defaults
// of the settings file on hosts old and new.

#include <cstring>
#include <tuple>

#include "plugin_test_support.h"

namespace {

using namespace plugin_test;

struct Definition {
  PF_ParamType type;
  const char* name;
  A_long id;
  PF_ParamFlags flags;
  A_long validMin, validMax, sliderMin, sliderMax, value;  // sliders; checkboxes use value only
  PF_Pixel color;                                          // colours
};

constexpr PF_ParamFlags kCollapsed = PF_ParamFlag_START_COLLAPSED;
constexpr PF_Pixel kWhite{255, 255, 255, 255};

const Definition kDefinitions[] = {
    {PF_Param_SLIDER, "color threshold", 1, kCollapsed, 1, 1020, 1, 255, 10, {}},
    {PF_Param_SLIDER, "softness", 2, kCollapsed, 0, 100, 0, 100, 70, {}},
    {PF_Param_SLIDER, "bias", 7, kCollapsed, 0, 100, 0, 100, 0, {}},
    {PF_Param_GROUP_START, "color key", 1000, 0, 0, 0, 0, 0, 0, {}},
    {PF_Param_CHECKBOX, "color key enable", 3, kCollapsed | PF_ParamFlag_SUPERVISE, 0, 0, 0, 0, 0, {}},
    {PF_Param_COLOR, "key color", 4, kCollapsed, 0, 0, 0, 0, 0, kWhite},
    {PF_Param_SLIDER, "key color threshold", 5, kCollapsed, 0, 1020, 0, 255, 0, {}},
    {PF_Param_CHECKBOX, "invert", 6, kCollapsed, 0, 0, 0, 0, 0, {}},
    {PF_Param_GROUP_END, "", 1001, 0, 0, 0, 0, 0, 0, {}},
};

bool samePixel(const PF_Pixel& a, const PF_Pixel& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Compares what the host received with the expected definition, value and default alike.
void expectDefinition(const fxhost::AddParamRecord& got, const Definition& want) {
  const PF_ParamDef& d = got.def;
  SCOPED_TRACE(want.name);
  EXPECT_EQ(got.index, -1);  // appended
  EXPECT_EQ(d.param_type, want.type);
  char name[32] = {};
  std::strcpy(name, want.name);
  EXPECT_EQ(std::memcmp(d.name, name, sizeof name), 0) << "name bytes";
  EXPECT_EQ(d.uu.id, want.id);
  EXPECT_EQ(d.flags, want.flags);
  EXPECT_EQ(d.ui_flags, 0);
  switch (want.type) {
    case PF_Param_SLIDER:
      EXPECT_EQ(std::tuple(d.u.sd.valid_min, d.u.sd.valid_max, d.u.sd.slider_min, d.u.sd.slider_max),
                std::tuple(want.validMin, want.validMax, want.sliderMin, want.sliderMax));
      EXPECT_EQ(std::tuple(d.u.sd.value, d.u.sd.dephault), std::tuple(want.value, want.value));
      EXPECT_EQ(std::tuple(d.u.sd.value_str[0], d.u.sd.value_desc[0]), std::tuple('\0', '\0'));
      break;
    case PF_Param_CHECKBOX:
      EXPECT_EQ(std::tuple(d.u.bd.value, static_cast<int>(d.u.bd.dephault)), std::tuple(want.value, want.value));
      EXPECT_EQ(got.checkboxLabel, "");
      break;
    case PF_Param_COLOR:
      EXPECT_TRUE(samePixel(d.u.cd.value, want.color));
      EXPECT_TRUE(samePixel(d.u.cd.dephault, want.color));
      break;
    default:
      break;
  }
}

// The host's record of the last parameter setup: ten parameters, nine of them added as `want`.
void expectDefinitions(fxhost::Host& host, const Definition (&want)[9]) {
  EXPECT_EQ(host.lastOutData().num_params, 10);
  const auto& added = host.records().addedParams;
  ASSERT_EQ(added.size(), std::size(want));
  for (std::size_t i = 0; i < added.size(); ++i) expectDefinition(added[i], want[i]);
}

TEST_F(PluginTest, RegistersNineParametersAsTheHostShouldSeeThem) {
  ASSERT_EQ(host->globalSetup(), PF_Err_NONE);
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
  expectDefinitions(*host, kDefinitions);
  EXPECT_EQ(host->paramCount(), 10);
}

// Stored defaults as text in the settings file reach new hosts as the definitions' values and
// defaults: outside their range unchanged, a checkbox's low byte sign-extended, a colour channel's
// low byte, the colour's alpha never read (always opaque). Another section changes nothing.
TEST_F(PluginTest, StoredDefaultsReachNewHostsOnlyAndUnchanged) {
  writeSettings(*appData, {{"color threshold", "5000"}, {"softness", "-3"}, {"bias", "42"}, {"invert", "257"},
                           {"color key enable", "255"}, {"key color.r", "300"}, {"key color.a", "0"},
                           {"key color threshold", "12"}});
  writeSettings(*appData, {{"bias", "99"}}, "Version=2.0");
  Definition stored[9];
  std::copy(std::begin(kDefinitions), std::end(kDefinitions), stored);
  for (const auto& [index, value] : {std::pair{kColorThreshold, 5000}, {kSoftness, -3}, {kBias, 42}, {kKeyEnable, -1},
                                     {kKeyThreshold, 12}, {kInvert, 1}}) {
    stored[index - 1].value = value;
  }
  stored[kKeyColor - 1].color.red = 44;
  ASSERT_EQ(host->globalSetup(), PF_Err_NONE);
  for (const PF_SpecVersion version : {PF_SpecVersion{12, 11}, PF_SpecVersion{12, 12}, PF_SpecVersion{13, 0}}) {
    SCOPED_TRACE(std::to_string(version.major) + "." + std::to_string(version.minor));
    host->options().version = version;
    host->records().addedParams.clear();
    ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
    expectDefinitions(*host, version.minor == 11 ? kDefinitions : stored);
  }
}

// Without a usable settings path the host gets the built-in defaults, and nothing is created.
TEST_F(PluginTest, NoSettingsAccessWithoutAUsablePath) {
  ASSERT_EQ(host->globalSetup(), PF_Err_NONE);
  for (const bool longPath : {false, true}) {
    SCOPED_TRACE(longPath ? "path beyond 260 characters" : "no application-data folder");
    // A folder that does not exist (the shell then reports no application-data folder at all), or
    // one of 240 characters, which Windows can make but whose settings file would end past 260.
    ScopedAppData elsewhere(longPath ? "long" : "missing", longPath, longPath ? 240 : 0);
    if (longPath) {
      ASSERT_TRUE(exists(elsewhere.folder())) << "the test needs a folder of " << elsewhere.folder().size();
      ASSERT_GT(elsewhere.settingsFile().size(), 259u);
    }
    host->records().addedParams.clear();
    ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
    expectDefinitions(*host, kDefinitions);
    EXPECT_FALSE(exists(elsewhere.folder() + "\\NORVA"));
  }
}

}  // namespace
