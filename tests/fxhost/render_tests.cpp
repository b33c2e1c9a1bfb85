// Renders as the host drives them: values over time, the smart render's two commands, and what
// becomes of pre-render data.

#include <tuple>

#include "test_support.h"

namespace {

using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using fxhost_test::Call;
using fxhost_test::Strings;
using RenderTest = fxhost_test::HostTest;

// A checkout at time t gets the latest keyframe at or before t, before the first keyframe the
// first; a parameter without keyframes its definition's value. in_data carries the command's time.
TEST_F(RenderTest, ValuesFollowKeyframesOverTime) {
  setUpPlugin();
  OwnedWorld input(PixelDepth::Eight, 2, 2), output(PixelDepth::Eight, 2, 2);
  PF_ParamDefUnion amount = host->param(fixture::kAmount).u;
  for (const A_long time : {20, 10}) {
    amount.sd.value = time;
    host->setKeyframe(time, fixture::kAmount, amount);
  }
  for (const auto& [time, value] : {std::pair{-5, 10}, {10, 10}, {19, 10}, {20, 20}, {1000, 20}}) {
    ASSERT_EQ(host->render(input, output, time), PF_Err_NONE);
    EXPECT_EQ(host->lastInData().current_time, time);
    EXPECT_EQ(host->returnMessage(), "amount=" + std::to_string(value) + " enable=1 tint=255,10,20,30 gain=1.50")
        << "at " << time;
  }
  host->clearKeyframes();
  ASSERT_EQ(host->render(input, output, 20), PF_Err_NONE);
  EXPECT_EQ(host->returnMessage().substr(0, 10), "amount=50 ");
}

// A pre-render sent alone waits for its render, and one left waiting is finished by the next
// pre-render. Without a rectangle set the layer is asked for the whole frame. As in After Effects,
// neither smart command gets a params array or an output world.
TEST_F(RenderTest, SmartRendersPairWithTheirPreRender) {
  setUpPlugin();
  int smartCommands = 0;
  takeOver([&](const Call& call) {
    if (call.command == PF_Cmd_SMART_PRE_RENDER || call.command == PF_Cmd_SMART_RENDER) {
      ++smartCommands;
      EXPECT_EQ(std::tuple(call.params, call.output), std::tuple(nullptr, nullptr)) << call.command;
    }
    return fixture::kBuiltIn;
  });
  OwnedWorld input(PixelDepth::Eight, 5, 3), output(PixelDepth::Eight, 5, 3);
  fxhost_test::paint(input);
  ASSERT_EQ(host->smartPreRender(input), PF_Err_NONE);
  ASSERT_EQ(host->smartPreRender(input), PF_Err_NONE);
  EXPECT_EQ(host->records().preRenderDataDeletions, 1);
  ASSERT_EQ(host->smartRender(output), PF_Err_NONE);
  EXPECT_EQ(host->records().preRenderDataDeletions, 2);
  EXPECT_EQ(output.packedPixels(), input.packedPixels());
  const PF_LRect& rect = host->records().layerCheckouts.back().request.rect;
  EXPECT_EQ(std::tuple(rect.left, rect.top, rect.right, rect.bottom), std::tuple(0, 0, 5, 3));
  EXPECT_EQ(smartCommands, 3);
}

// The host never frees pre-render data itself: the plug-in's delete function gets it once per
// pre-render, also after one that failed; data without a delete function is lost.
struct PreRenderData {
  const char* name;
  bool inHandle;  // else on the plug-in's own heap
  bool deleted;   // a delete function is given
  PF_Err preRenderError;
  Strings imbalances;
};

void PrintTo(const PreRenderData& data, std::ostream* out) { *out << data.name; }

PF_UtilCallbacks* gUtils = nullptr;
void disposeHandle(void* data) { gUtils->host_dispose_handle(static_cast<PF_Handle>(data)); }
void deleteHeap(void* data) { delete static_cast<A_long*>(data); }

class PreRenderDataTest : public RenderTest, public ::testing::WithParamInterface<PreRenderData> {};

TEST_P(PreRenderDataTest, GoesToTheDeleteFunctionOnly) {
  const PreRenderData& data = GetParam();
  void* stored = nullptr;
  int renders = 0;
  takeOver([&](const Call& call) -> PF_Err {
    if (call.command == PF_Cmd_SMART_PRE_RENDER) {
      PF_PreRenderOutput& out = *static_cast<PF_PreRenderExtra*>(call.extra)->output;
      gUtils = call.in->utils;
      stored = data.inHandle ? static_cast<void*>(call.in->utils->host_new_handle(24)) : new A_long(7);
      out.pre_render_data = stored;
      if (data.deleted) out.delete_pre_render_data_func = data.inHandle ? disposeHandle : deleteHeap;
      return data.preRenderError;
    }
    EXPECT_EQ(static_cast<PF_SmartRenderExtra*>(call.extra)->input->pre_render_data, stored);
    ++renders;
    return PF_Err_NONE;
  });
  OwnedWorld input(PixelDepth::Eight, 2, 2), output(PixelDepth::Eight, 2, 2);
  EXPECT_EQ(host->renderSmart(input, output), data.preRenderError);
  EXPECT_EQ(renders, data.preRenderError == PF_Err_NONE ? 1 : 0);
  EXPECT_EQ(host->records().preRenderDataDeletions, data.deleted ? 1 : 0);
  EXPECT_EQ(finalAccounts().imbalances, data.imbalances);
}

const Strings kLost{"a handle of 24 bytes allocated during PF_Cmd_SMART_PRE_RENDER was never disposed of"};

INSTANTIATE_TEST_SUITE_P(Kinds, PreRenderDataTest,
                         ::testing::Values(PreRenderData{"Handle", true, true, PF_Err_NONE, {}},
                                           PreRenderData{"HandleFailed", true, true, PF_Interrupt_CANCEL, {}},
                                           PreRenderData{"Heap", false, true, PF_Err_NONE, {}},
                                           PreRenderData{"HeapFailed", false, true, PF_Interrupt_CANCEL, {}},
                                           PreRenderData{"NoDelete", true, false, PF_Err_NONE, kLost},
                                           PreRenderData{"NoDeleteFailed", true, false, PF_Interrupt_CANCEL, kLost}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
