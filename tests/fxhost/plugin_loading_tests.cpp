// Loading a plug-in: its property list from the file, then its code and the entry point it names;
// and what the host refuses to do at all.

#include <windows.h>

#include <tuple>

#include "fxhost/plugin_module.h"
#include "test_support.h"

namespace {

using fxhost_test::besideTests;
using fxhost_test::fixturePath;
using fxhost_test::hostErrorOf;

// The code the property list names is what runs, and goes when the module does. (The list's
// decoding, as the resource compiler lays it out, is checked on the real plug-in in
// tests/plugin/artefact_tests and on this fixture by the program's describe.)
TEST(PluginLoading, LoadsTheEntryPointThePropertyListNamesAndUnloads) {
  {
    const fxhost::PluginModule plugin = fxhost::PluginModule::load(fixturePath());
    EXPECT_EQ(reinterpret_cast<void*>(plugin.entry()),
              reinterpret_cast<void*>(GetProcAddress(plugin.module(), "FixtureEntry")));
    EXPECT_EQ(std::tuple(plugin.pipl().info.name, plugin.path()), std::tuple("fxhost fixture", fixturePath()));
    EXPECT_EQ(GetModuleHandleA(fixturePath().c_str()), plugin.module());
  }
  EXPECT_EQ(GetModuleHandleA(fixturePath().c_str()), nullptr);
}

TEST(PluginLoading, RefusesWhatItCannotLoad) {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  const std::string badEntry = besideTests("fxhost_fixture_bad_entry.aex");
  const std::string kernel = std::string(folder) + "\\kernel32.dll";
  EXPECT_EQ(hostErrorOf([&] { fxhost::PluginModule::load(badEntry); }),
            "plug-in \"" + badEntry + "\" exports no entry point \"NoSuchEntry\"");
  EXPECT_EQ(hostErrorOf([&] { fxhost::PluginModule::load(kernel); }),
            "plug-in \"" + kernel + "\" has no PiPL resource 16000");
  const std::string missing = hostErrorOf([] { fxhost::PluginModule::load(besideTests("no_such_plugin.aex")); });
  EXPECT_TRUE(missing.starts_with("cannot open plug-in \"")) << missing;
}

// Misuses of the host's own programming interface by a test.
TEST(HostInterface, RefusesWhatCannotBeDone) {
  {
    fxhost::Host host;
    fxhost::OwnedWorld output(fxhost::PixelDepth::Eight, 1, 1);
    const PF_ParamDefUnion value{};
    const std::pair<std::function<void()>, const char*> refusals[] = {
        {[&] { host.globalSetup(); }, "no plug-in is loaded"},
        {[&] { host.plugin(); }, "no plug-in is loaded"},
        {[] { fxhost::Host second; }, "only one simulated host can exist at a time"},
        {[&] { host.smartRender(output); }, "a smart render needs a smart pre-render first"},
        {[&] { host.param(1); }, "no parameter 1"},
        {[&] { host.setKeyframe(0, 0, value); }, "no parameter 0 to set a keyframe of"},
        {[&] { host.setKeyframe(0, 1, value); }, "no parameter 1 to set a keyframe of"},
        {[&] { host.setSequenceDataBytes(std::vector<std::uint8_t>{1}); }, ""},
        {[&] { host.setSequenceDataBytes(std::vector<std::uint8_t>{1}); }, "the instance still has sequence data"},
    };
    for (const auto& [action, refusal] : refusals) EXPECT_EQ(hostErrorOf(action), refusal);
  }
  fxhost::Host afterwards;
  afterwards.loadPlugin(fixturePath());
  EXPECT_EQ(afterwards.globalSetup(), PF_Err_NONE);
}

}  // namespace
