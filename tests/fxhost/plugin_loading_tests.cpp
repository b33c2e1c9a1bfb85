// Loading a plug-in: its property list from the file, then its code and the entry point it names.

#include <windows.h>

#include "fxhost/host_error.h"
#include "fxhost/plugin_module.h"
#include "test_support.h"

namespace {

using fxhost_test::besideTests;
using fxhost_test::fixturePath;

std::string systemLibrary(const char* name) {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\" + name;
}

// The message of the HostError that `action` throws, or "" when it throws none.
template <typename Action>
std::string hostErrorOf(Action action) {
  try {
    action();
  } catch (const fxhost::HostError& error) {
    return error.what();
  }
  return "";
}

TEST(PluginLoading, ReadsTheFixturePropertyListFromItsFile) {
  const fxhost::PiplResult pipl = fxhost::readPiplFromFile(fixturePath());
  ASSERT_TRUE(pipl.ok()) << pipl.error;
  EXPECT_EQ(pipl.properties.size(), 12u);
  const fxhost::PiplInfo& info = pipl.info;
  EXPECT_EQ(info.kind, host_sdk::kPiPLKindEffect);
  EXPECT_EQ(info.name, "fxhost fixture");
  EXPECT_EQ(info.category, "TESTS");
  EXPECT_EQ(info.entryPoint, "FixtureEntry");
  EXPECT_EQ(info.matchName, "FXHOST FIXTURE");
  ASSERT_TRUE(info.specVersion);
  EXPECT_EQ(info.specVersion->major, 13);
  EXPECT_EQ(info.specVersion->minor, 28);
  EXPECT_EQ(info.effectVersion, fixture::kVersion);
  EXPECT_EQ(info.outFlags, fixture::kOutFlags);
  EXPECT_EQ(info.outFlags2, fixture::kOutFlags2);
  EXPECT_EQ(info.infoFlags, 0);
  EXPECT_EQ(info.reservedInfo, 0);
}

TEST(PluginLoading, LooksUpTheEntryPointTheListNames) {
  const fxhost::PluginModule plugin = fxhost::PluginModule::load(fixturePath());
  ASSERT_NE(plugin.module(), nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(plugin.entry()),
            reinterpret_cast<void*>(GetProcAddress(plugin.module(), "FixtureEntry")));
  EXPECT_EQ(plugin.pipl().info.name, "fxhost fixture");
  EXPECT_EQ(plugin.path(), fixturePath());
}

TEST(PluginLoading, UnloadsThePluginWithTheModule) {
  HMODULE loaded = nullptr;
  {
    const fxhost::PluginModule plugin = fxhost::PluginModule::load(fixturePath());
    loaded = plugin.module();
    HMODULE again = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, fixturePath().c_str(), &again));
    EXPECT_EQ(again, loaded);
  }
  EXPECT_EQ(GetModuleHandleA(fixturePath().c_str()), nullptr);
}

TEST(PluginLoading, RefusesAnEntryPointTheLibraryDoesNotExport) {
  const std::string path = besideTests("fxhost_fixture_bad_entry.aex");
  EXPECT_EQ(hostErrorOf([&] { fxhost::PluginModule::load(path); }),
            "plug-in \"" + path + "\" exports no entry point \"NoSuchEntry\"");
}

TEST(PluginLoading, RefusesALibraryWithoutPropertyList) {
  const std::string path = systemLibrary("kernel32.dll");
  EXPECT_EQ(hostErrorOf([&] { fxhost::PluginModule::load(path); }),
            "plug-in \"" + path + "\" has no PiPL resource 16000");
}

TEST(PluginLoading, RefusesAMissingFile) {
  const std::string message = hostErrorOf([] { fxhost::PluginModule::load(besideTests("no_such_plugin.aex")); });
  EXPECT_EQ(message.rfind("cannot open plug-in \"", 0), 0u) << message;
}

TEST(PluginLoading, AHostWithoutPluginSendsNoCommand) {
  fxhost::Host host;
  EXPECT_EQ(hostErrorOf([&] { host.globalSetup(); }), "no plug-in is loaded");
  EXPECT_EQ(hostErrorOf([&] { host.plugin(); }), "no plug-in is loaded");
}

TEST(PluginLoading, OnlyOneHostExistsAtATime) {
  {
    fxhost::Host first;
    EXPECT_EQ(hostErrorOf([] { fxhost::Host second; }), "only one simulated host can exist at a time");
  }
  fxhost::Host afterwards;
  afterwards.loadPlugin(fixturePath());
  EXPECT_EQ(afterwards.about(), PF_Err_NONE);
}

}  // namespace
