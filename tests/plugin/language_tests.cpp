// The language of the plug-in's texts: the host's tag, and when the host cannot tell it, the host's
// command line, then Windows' own language. The JapaneseWindows tests run in a second start of this
// program, under a Japanese Windows and with "-L en_US" on its command line (see CMakeLists.txt).

#include <windows.h>

#include <algorithm>

#include "plugin_test_support.h"
#include "program_run.h"
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

// The About text of `fxhost.exe tessaline.aex describe` with these host options.
std::string aboutFromDescribe(const std::string& options) {
  std::string line = "\"";
  for (const std::string& part : {programPath(), std::string("\" \""), pluginPath(),
                                  std::string("\" describe --refuse-suite \"PF AE App Suite:7\" "), options}) {
    line += part;
  }
  const test_support::ProgramRun run = test_support::runProgram(line, "plugin_describe_run.");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  const std::string out = run.outText();
  const std::string key = "\"about\":\"";
  const auto begin = std::search(out.begin(), out.end(), key.begin(), key.end());
  if (begin == out.end()) return "(no about text) " + out;
  const std::string end = "\",";
  return std::string(begin + static_cast<std::ptrdiff_t>(key.size()),
                     std::search(begin + static_cast<std::ptrdiff_t>(key.size()), out.end(), end.begin(), end.end()));
}

constexpr char kEnglishAbout[] =
    "tessaline 1.1.1 Release\\r\\rSmooths stair-stepped edges in cel footage. (c) 2026 the tessaline developers";
constexpr char kJapaneseAbout[] =
    "tessaline 1.1.1 Release\\r\\rセル画の階段状のエッジを滑らかにします。(c) 2026 tessaline 開発チーム";

TEST(JapaneseWindows, WindowsLanguageDecidesWithoutTheHostsLanguage) {
  ASSERT_EQ(GetUserDefaultUILanguage(), 0x0411) << "this test runs under a Japanese Windows only";
  // Only hosts of effect API 9.0 or older are asked for -L; the first answer holds for the process.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"9.0", "-L en_US", kEnglishAbout},
      {"9.1", "-L en_US", kJapaneseAbout},
      {"9.0", "-L ja_JP", kJapaneseAbout},
      {"9.0", "", kJapaneseAbout},
  };
  for (const auto& [version, language, about] : cases) {
    EXPECT_EQ(aboutFromDescribe(std::string("--version ") + version + " " + language), about)
        << version << " " << language;
  }
}

// This program's own command line carries -L en_US, which a new enough host never looks at.
TEST(JapaneseWindows, InProcessTheVersionOfTheFirstCallerDecides) {
  ASSERT_EQ(GetUserDefaultUILanguage(), 0x0411);
  fxhost::Host host;
  host.faults().refuseSuite("PF AE App Suite", 7);
  for (const auto& [major, minor, expected] : {std::tuple{13, 28, AEUtil::kJapanese}, {9, 0, AEUtil::kEnglish}}) {
    AEUtil::forgetCommandLineAnswer();
    host.options().version = PF_SpecVersion{static_cast<A_short>(major), static_cast<A_short>(minor)};
    EXPECT_EQ(languageIn(host), expected) << major << "." << minor;
  }
  AEUtil::forgetCommandLineAnswer();
}

}  // namespace
