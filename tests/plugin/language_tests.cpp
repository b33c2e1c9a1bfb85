// The language of the plug-in's texts: the host's tag, and when the host cannot tell it, the host's
// command line, then Windows' own language. The JapaneseWindows test runs in a second start of this
// program, under a Japanese Windows and with "-L en_US" on its command line (see CMakeLists.txt).

#include <windows.h>

#include "plugin_test_support.h"
#include "ui_language.h"

namespace {

using namespace plugin_test;

// The language the plug-in's texts take in a command of this host.
AEUtil::Language languageIn(fxhost::Host& host) {
  AEUtil::Language got{};
  host.runInProcess(PF_Cmd_ABOUT, [&](PF_InData& in, PF_OutData&) {
    got = AEUtil::queryUiLanguage(&in);
    return PF_Err_NONE;
  });
  return got;
}

TEST(Language, FollowsTheHostsTagAndFallsBackWithoutItsSuite) {
  fxhost::Host host;
  struct Case {
    const char* tag;
    bool suite;
    PF_Err languageError;
    AEUtil::Language expected;
  };
  // This program's command line has no -L, and Wine here speaks English.
  const Case cases[] = {{"ja_JP", true, 0, AEUtil::kJapanese}, {"JA_jp", true, 0, AEUtil::kJapanese},
                        {"en_US", true, 0, AEUtil::kEnglish},  {"de_DE", true, 0, AEUtil::kEnglish},
                        {"ja_JP", true, 1, AEUtil::kEnglish},  {"ja_JP", false, 0, AEUtil::kEnglish}};
  for (const Case& c : cases) {
    host.options().language = c.tag;
    host.faults() = fxhost::Faults{};
    host.faults().appLanguageError = c.languageError;
    if (!c.suite) host.faults().refuseSuite("PF AE App Suite", 7);
    EXPECT_EQ(languageIn(host), c.expected) << c.tag << (c.suite ? "" : " without the suite");
  }
  EXPECT_TRUE(host.accounts().balanced()) << host.accounts().text();
}

// The texts themselves are read off the dialog (dialog_tests) and the About box (entry_tests); here
// what has no text.
TEST(Language, TextsThatDoNotExistAreEmpty) {
  for (const std::int32_t missing : {3, 5, -1}) {
    EXPECT_STREQ(AEUtil::uiText(missing, AEUtil::kJapanese), "");
    EXPECT_STREQ(AEUtil::uiText(missing, AEUtil::kEnglish), "");
  }
  EXPECT_STREQ(AEUtil::uiText(1, static_cast<AEUtil::Language>(2)), "");
  // No manual beside this test program: no address, so the dialog hides its link.
  EXPECT_STREQ(AEUtil::productText(3, AEUtil::kEnglish), "");
}

TEST(Language, CommandLinesThatAskForEnglish) {
  const std::pair<const wchar_t*, bool> cases[] = {
      {L"AfterFX.exe -L en_US", true},  {L"AfterFX.exe -l EN", true},   {L"AfterFX.exe -L en-GB", true},
      {L"AfterFX.exe -L \"en US\"", true}, {L"AfterFX.exe -L ja_JP", false}, {L"AfterFX.exe -L english", false},
      {L"AfterFX.exe -L", false},       {L"AfterFX.exe", false},        {L"AfterFX.exe -L fr -L en", false},
      {L"-L en", true},  // the program's own name is an argument too
  };
  for (const auto& [line, english] : cases) {
    EXPECT_EQ(AEUtil::commandLineAsksForEnglish(line), english) << std::wstring(line);
  }
}

// This program's own command line carries -L en_US. Only a host of effect API 9.0 or older is
// asked for it, and the first caller's answer holds for the process.
TEST(JapaneseWindows, TheFirstCallersVersionDecidesWhetherTheCommandLineCounts) {
  ASSERT_EQ(GetUserDefaultUILanguage(), 0x0411) << "this test runs under a Japanese Windows only";
  fxhost::Host host;
  host.faults().refuseSuite("PF AE App Suite", 7);
  const std::tuple<bool, A_short, A_short, AEUtil::Language> calls[] = {  // forget first, version
      {true, 9, 1, AEUtil::kJapanese}, {false, 9, 0, AEUtil::kJapanese},
      {true, 9, 0, AEUtil::kEnglish},  {false, 13, 28, AEUtil::kEnglish}};
  for (const auto& [forget, major, minor, expected] : calls) {
    if (forget) AEUtil::forgetCommandLineAnswer();
    host.options().version = PF_SpecVersion{major, minor};
    EXPECT_EQ(languageIn(host), expected) << major << "." << minor;
  }
  AEUtil::forgetCommandLineAnswer();
}

}  // namespace
