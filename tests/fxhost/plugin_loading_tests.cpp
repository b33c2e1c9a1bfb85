// Loading a plug-in: its property list from the file, then its code and the entry point it names.

#include <windows.h>

#include "fxhost/host_error.h"
#include "fxhost/plugin_module.h"
#include "test_support.h"

namespace {

using fxhost_test::besideTests;
using fxhost_test::fixturePath;

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

TEST(PluginLoading, ReadsThePropertyListThenLoadsTheEntryPointItNamesAndUnloads) {
  const fxhost::PiplResult pipl = fxhost::readPiplFromFile(fixturePath());
  ASSERT_TRUE(pipl.ok()) << pipl.error;
  // Decoding is the reader's; here the resource as the resource compiler laid it out.
  EXPECT_EQ(pipl.properties.size(), 12u);
  EXPECT_EQ(pipl.info.kind, host_sdk::kPiPLKindEffect);
  EXPECT_EQ(pipl.info.name, "fxhost fixture");
  EXPECT_EQ(pipl.info.entryPoint, "FixtureEntry");
  EXPECT_EQ(pipl.info.matchName, "FXHOST FIXTURE");
  EXPECT_EQ(pipl.info.outFlags2, fixture::kOutFlags2);
  {
    const fxhost::PluginModule plugin = fxhost::PluginModule::load(fixturePath());
    ASSERT_NE(plugin.module(), nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(plugin.entry()),
              reinterpret_cast<void*>(GetProcAddress(plugin.module(), "FixtureEntry")));
    EXPECT_EQ(plugin.pipl().info.name, "fxhost fixture");
    EXPECT_EQ(plugin.path(), fixturePath());
    HMODULE again = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, fixturePath().c_str(), &again));
    EXPECT_EQ(again, plugin.module());
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

// Without a plug-in no command is sent; only one host exists at a time.
TEST(PluginLoading, TheHostNeedsAPluginAndIsAlone) {
  {
    fxhost::Host first;
    EXPECT_EQ(hostErrorOf([&] { first.globalSetup(); }), "no plug-in is loaded");
    EXPECT_EQ(hostErrorOf([&] { first.plugin(); }), "no plug-in is loaded");
    EXPECT_EQ(hostErrorOf([] { fxhost::Host second; }), "only one simulated host can exist at a time");
  }
  fxhost::Host afterwards;
  afterwards.loadPlugin(fixturePath());
  EXPECT_EQ(afterwards.about(), PF_Err_NONE);
}

}  // namespace
