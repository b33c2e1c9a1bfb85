// The parameters as the host receives them: every definition add_param saw, and the stored defaults
// of the settings file on hosts old and new.

#include <cstring>
#include <tuple>

#include "plugin_test_support.h"

namespace {

using plugin_test::PluginTest;
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

TEST_F(PluginTest, RegistersNineParametersAsTheHostShouldSeeThem) {
  ASSERT_EQ(host->globalSetup(), PF_Err_NONE);
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
  EXPECT_EQ(host->lastOutData().num_params, 10);
  const auto& added = host->records().addedParams;
  ASSERT_EQ(added.size(), std::size(kDefinitions));
  for (std::size_t i = 0; i < added.size(); ++i) expectDefinition(added[i], kDefinitions[i]);
  EXPECT_EQ(host->paramCount(), 10);
}

// Stored defaults as text in the settings file, and what each parameter then registers with.
struct StoredCase {
  const char* key;
  const char* text;
  PF_ParamIndex index;
  A_long value;   // slider or checkbox value; for the colour, the channel's byte
  A_long dflt;    // the definition's default field
};

const StoredCase kStored[] = {
    {"color threshold", "5000", kColorThreshold, 5000, 5000},  // outside the range: passed on unchanged
    {"softness", "-3", kSoftness, -3, -3},
    {"bias", "42", kBias, 42, 42},
    {"color key enable", "255", kKeyEnable, -1, 255},  // the low byte, sign-extended
    {"invert", "257", kInvert, 1, 1},
    {"key color.r", "300", kKeyColor, 44, 44},  // the low byte
    {"key color threshold", "12", kKeyThreshold, 12, 12},
};

A_long storedValue(const PF_ParamDef& d, const char* key, bool dflt) {
  switch (d.param_type) {
    case PF_Param_CHECKBOX:
      return dflt ? static_cast<A_u_char>(d.u.bd.dephault) : d.u.bd.value;
    case PF_Param_COLOR:
      return std::strcmp(key, "key color.r") == 0 ? (dflt ? d.u.cd.dephault.red : d.u.cd.value.red) : -1;
    default:
      return dflt ? d.u.sd.dephault : d.u.sd.value;
  }
}

TEST_F(PluginTest, StoredDefaultsReachNewHostsOnlyAndUnchanged) {
  std::vector<std::pair<std::string, std::string>> keys;
  for (const StoredCase& c : kStored) keys.emplace_back(c.key, c.text);
  keys.emplace_back("key color.a", "0");  // never read: a colour is always opaque
  writeSettings(*appData, keys);
  writeSettings(*appData, {{"bias", "99"}}, "Version=2.0");  // another section changes nothing
  ASSERT_EQ(host->globalSetup(), PF_Err_NONE);

  for (const PF_SpecVersion version : {PF_SpecVersion{12, 11}, PF_SpecVersion{12, 12}, PF_SpecVersion{13, 0}}) {
    SCOPED_TRACE(std::to_string(version.major) + "." + std::to_string(version.minor));
    const bool legacy = version.major == 12 && version.minor == 11;
    host->options().version = version;
    host->records().addedParams.clear();
    ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
    EXPECT_EQ(host->lastOutData().num_params, 10);
    const auto& added = host->records().addedParams;
    ASSERT_EQ(added.size(), std::size(kDefinitions));
    for (const StoredCase& c : kStored) {
      const PF_ParamDef& d = added[static_cast<std::size_t>(c.index) - 1].def;
      const Definition& builtIn = kDefinitions[c.index - 1];
      const A_long builtInValue = builtIn.type == PF_Param_COLOR ? 255 : builtIn.value;
      EXPECT_EQ(storedValue(d, c.key, false), legacy ? builtInValue : c.value) << c.key;
      EXPECT_EQ(storedValue(d, c.key, true), legacy ? builtInValue : c.dflt) << c.key;
    }
    EXPECT_EQ(added[kKeyColor - 1].def.u.cd.value.alpha, 255);
    EXPECT_EQ(added[kKeyColor - 1].def.u.cd.value.green, 255);  // no key: the built-in channel
  }
}

// Without a usable settings path the host gets the built-in defaults, and nothing is created.
TEST_F(PluginTest, NoSettingsAccessWithoutAUsablePath) {
  ASSERT_EQ(host->globalSetup(), PF_Err_NONE);
  for (const bool longPath : {false, true}) {
    SCOPED_TRACE(longPath ? "path beyond 260 characters" : "no application-data folder");
    // A folder whose settings path would not fit, or one that does not exist (the shell then
    // reports no application-data folder at all).
    // 240 characters: a folder Windows can make, whose settings file would end past 260.
    ScopedAppData elsewhere(longPath ? "long" : "missing", longPath, longPath ? 240 : 0);
    if (longPath) {
      ASSERT_TRUE(exists(elsewhere.folder())) << "the test needs a folder of " << elsewhere.folder().size();
      ASSERT_GT(elsewhere.settingsFile().size(), 259u);
    }
    host->records().addedParams.clear();
    ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
    ASSERT_EQ(host->records().addedParams.size(), std::size(kDefinitions));
    EXPECT_EQ(host->records().addedParams[0].def.u.sd.value, 10);
    EXPECT_FALSE(exists(elsewhere.folder() + "\\NORVA"));
  }
}

}  // namespace
