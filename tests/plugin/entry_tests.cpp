// The entry point as a host meets it: commands without a handler, the About box, what comes after
// global setdown, and frames rendered on several host threads at once.

#include <thread>

#include "plugin_test_support.h"
#include "render_harness.h"

namespace {

using namespace plugin_test;
using fxhost::OwnedWorld;
using fxhost::PixelDepth;

TEST_F(PluginTest, CommandsWithoutAHandlerSucceedAndDoNothing) {
  startSession();
  for (const PF_Cmd command : {2, 10, 12, 13, 15, 16, 17, 18, 19, 20, 21, 22, 25, 26, 27, 29, 33, 40, -1}) {
    host->records() = fxhost::Records{};
    EXPECT_EQ(host->sendCommand(command), PF_Err_NONE) << fxhost::commandName(command);
    EXPECT_EQ(host->returnMessage(), "") << fxhost::commandName(command);
    EXPECT_TRUE(host->records().suiteCalls.empty()) << fxhost::commandName(command);
  }
}

TEST_F(PluginTest, AboutNamesTheVersionAndTheBuildWithShift) {
  const std::wstring english = L"Smooths stair-stepped edges in cel footage. (c) 2026 the tessaline developers";
  const std::tuple<const char*, bool, std::wstring> cases[] = {
      {"en_US", false, L"tessaline 1.1.1 Release\r\r" + english},
      {"en_US", true, L"tessaline 1.1.1 Release build:7\r\r" + english},
      {"ja_JP", false, L"tessaline 1.1.1 Release\r\rセル画の階段状のエッジを滑らかにします。(c) 2026 tessaline 開発チーム"},
  };
  for (const auto& [language, shift, text] : cases) {
    host->options().language = language;
    host->options().shiftKeyDown = shift;
    ASSERT_EQ(host->about(), PF_Err_NONE);
    EXPECT_EQ(fromCp932(host->returnMessage()), text) << language << (shift ? " with Shift" : "");
  }
}

// The effect object is gone after global setdown and is not made again: every later command is
// refused without touching it, and says why.
TEST_F(PluginTest, CommandsAfterGlobalSetdownAreRefused) {
  startSession();
  ASSERT_EQ(host->sequenceSetdown(), PF_Err_NONE);
  ASSERT_EQ(host->globalSetdown(), PF_Err_NONE);
  for (const PF_Cmd command : {PF_Cmd_ABOUT, PF_Cmd_GLOBAL_SETUP, PF_Cmd_PARAMS_SETUP, PF_Cmd_GLOBAL_SETDOWN}) {
    EXPECT_EQ(host->sendCommand(command), PF_Err_INTERNAL_STRUCT_DAMAGED) << fxhost::commandName(command);
    EXPECT_NE(host->returnMessage().find("global setdown"), std::string::npos) << host->returnMessage();
  }
}

// Frames of every depth, each with its own values at its own time, on four host threads at once,
// come out exactly as they do one by one.
TEST_F(PluginTest, FramesOnSeveralHostThreadsEqualFramesOneByOne) {
  startSession();
  constexpr int kFrames = 24;
  const PixelDepth depths[] = {PixelDepth::Eight, PixelDepth::Sixteen, PixelDepth::Float};
  std::vector<std::unique_ptr<OwnedWorld>> inputs, alone, together;
  for (int f = 0; f < kFrames; ++f) {
    const PixelDepth depth = depths[f % 3];
    inputs.push_back(std::make_unique<OwnedWorld>(depth, 40 + f, 30));
    alone.push_back(std::make_unique<OwnedWorld>(depth, 40 + f, 30));
    together.push_back(std::make_unique<OwnedWorld>(depth, 40 + f, 30));
    host_render_test::PaintCel(*inputs.back());
    PF_ParamDefUnion u = host->param(kSoftness).u;
    u.sd.value = 30 + 3 * f;
    host->setKeyframe(f, kSoftness, u);
    u = host->param(kKeyEnable).u;
    u.bd.value = f % 2;
    host->setKeyframe(f, kKeyEnable, u);
  }
  for (int f = 0; f < kFrames; ++f) ASSERT_EQ(host->renderSmart(*inputs[f], *alone[f], f), PF_Err_NONE);

  std::vector<std::thread> threads;
  std::vector<PF_Err> results(kFrames, -1);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int f = t; f < kFrames; f += 4) results[f] = host->renderSmart(*inputs[f], *together[f], f);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int f = 0; f < kFrames; ++f) {
    EXPECT_EQ(results[f], PF_Err_NONE) << "frame " << f;
    EXPECT_EQ(together[f]->packedPixels(), alone[f]->packedPixels()) << "frame " << f;
  }
  EXPECT_EQ(host->records().preRenderDataDeletions, 2 * kFrames);
}

}  // namespace
