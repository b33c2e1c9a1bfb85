// Renders through the fixture, classic and smart, at every depth, with padded rows.

#include <array>
#include <tuple>

#include "test_support.h"

namespace {

using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using fxhost_test::FixtureTest;
using fxhost_test::paint;

struct RenderCase {
  PixelDepth depth;
  bool smart;
  const char* format;
};

void PrintTo(const RenderCase& render, std::ostream* out) { *out << render.format << (render.smart ? " smart" : " classic"); }

class RenderTest : public FixtureTest, public ::testing::WithParamInterface<RenderCase> {};

TEST_P(RenderTest, CopiesTheInputThroughTheHost) {
  setUpPlugin();
  ASSERT_EQ(host->sequenceSetup(), PF_Err_NONE);
  // Input and output have strides of their own; the padding must stay untouched.
  OwnedWorld input(GetParam().depth, 5, 3, 12);
  OwnedWorld output(GetParam().depth, 5, 3, 4, 0xAB);
  paint(input);
  const PF_Err result = GetParam().smart ? host->renderSmart(input, output) : host->render(input, output);
  ASSERT_EQ(result, PF_Err_NONE) << host->returnMessage();
  EXPECT_EQ(output.packedPixels(), input.packedPixels());
  EXPECT_TRUE(output.paddingUntouched());
  EXPECT_TRUE(input.paddingUntouched());
  EXPECT_EQ(host->returnMessage(),
            std::string("amount=50 enable=1 tint=255,10,20,30 gain=1.50 format=") + GetParam().format);
  ASSERT_EQ(host->records().copies.size(), 1u);
  EXPECT_TRUE(host->records().copies[0].wholeSource);
  EXPECT_TRUE(host->records().copies[0].wholeDestination);
  EXPECT_EQ(host->lastInData().width, 5);
  EXPECT_EQ(host->lastInData().height, 3);
  // Every parameter is checked out; the classic render checks them in, the smart pre-render's lapse.
  const auto& checkouts = host->records().paramCheckouts;
  ASSERT_EQ(checkouts.size(), 6u);
  for (std::size_t i = 0; i < checkouts.size(); ++i) {
    EXPECT_EQ(checkouts[i].command, GetParam().smart ? PF_Cmd_SMART_PRE_RENDER : PF_Cmd_RENDER);
    EXPECT_EQ(checkouts[i].index, static_cast<PF_ParamIndex>(i + 1));
    EXPECT_EQ(checkouts[i].result, PF_Err_NONE);
  }
  const fxhost::AccountsReport accounts = host->accounts();
  EXPECT_EQ((std::array{accounts.paramCheckouts, accounts.paramCheckins, accounts.lapsedCheckouts}),
            (GetParam().smart ? std::array{6, 0, 6} : std::array{6, 6, 0}));
}

INSTANTIATE_TEST_SUITE_P(Depths, RenderTest,
                         ::testing::Values(RenderCase{PixelDepth::Eight, false, "argb"}, RenderCase{PixelDepth::Eight, true, "argb"},
                                           RenderCase{PixelDepth::Sixteen, false, "ae16"}, RenderCase{PixelDepth::Sixteen, true, "ae16"},
                                           RenderCase{PixelDepth::Float, false, "ae32"}, RenderCase{PixelDepth::Float, true, "ae32"}),
                         [](const ::testing::TestParamInfo<RenderCase>& info) {
                           return std::string(info.param.format) + (info.param.smart ? "_smart" : "_classic");
                         });

class RenderDetails : public FixtureTest {
 protected:
  void SetUp() override {
    FixtureTest::SetUp();
    setUpPlugin();
    paint(input);
  }

  OwnedWorld input{PixelDepth::Eight, 5, 3};
  OwnedWorld output{PixelDepth::Eight, 5, 3};
};

// The current values and time reach the smart render; the layer is asked for the whole frame.
TEST_F(RenderDetails, SmartRenderAsksTheLayerForTheWholeFrameAtTheCurrentTime) {
  host->options().currentTime = 48;
  host->options().timeStep = 2;
  host->options().timeScale = 30;
  host->param(fixture::kAmount).u.sd.value = 7;
  host->param(fixture::kEnable).u.bd.value = 0;
  host->param(fixture::kTint).u.cd.value = PF_Pixel{1, 2, 3, 4};
  host->param(fixture::kGain).u.fs_d.value = 0.25;
  ASSERT_EQ(host->renderSmart(input, output), PF_Err_NONE);
  EXPECT_EQ(host->returnMessage(), "amount=7 enable=0 tint=1,2,3,4 gain=0.25 format=argb");
  ASSERT_EQ(host->records().layerCheckouts.size(), 1u);
  const fxhost::LayerCheckoutRecord& checkout = host->records().layerCheckouts.front();
  EXPECT_EQ(std::tuple(checkout.index, checkout.checkoutId, checkout.request.field, checkout.request.channel_mask),
            std::tuple(0, 0, PF_Field_FRAME, PF_ChannelMask_ARGB));
  EXPECT_EQ(checkout.request.rect, (PF_LRect{0, 0, 5, 3}));
  const fxhost::ParamCheckoutRecord& param = host->records().paramCheckouts.front();
  EXPECT_EQ(std::tuple(checkout.time, checkout.timeStep, checkout.timeScale), std::tuple(48, 2, 30u));
  EXPECT_EQ(std::tuple(param.time, param.timeStep, param.timeScale), std::tuple(48, 2, 30u));
  const PF_PreRenderOutput& pre = host->lastPreRenderOutput();
  EXPECT_EQ(pre.result_rect, (PF_LRect{0, 0, 5, 3}));
  EXPECT_EQ(pre.max_result_rect, (PF_LRect{0, 0, 5, 3}));
  EXPECT_NE(pre.pre_render_data, nullptr);
  EXPECT_NE(pre.delete_pre_render_data_func, nullptr);
  const fxhost::Records& records = host->records();
  EXPECT_EQ((std::array<int, 4>{records.preRenderDataDeletions, records.layerPixelCheckouts,
                                records.layerPixelCheckins, records.outputCheckouts}),
            (std::array<int, 4>{1, 1, 1, 1}));
}

TEST_F(RenderDetails, TheRequestRectangleIsConfigurable) {
  host->setRequestRect(PF_LRect{3, 1, 9, 9});
  ASSERT_EQ(host->renderSmart(input, output), PF_Err_NONE);
  EXPECT_EQ(host->records().layerCheckouts.front().request.rect, (PF_LRect{3, 1, 9, 9}));
  EXPECT_EQ(host->lastPreRenderOutput().result_rect, (PF_LRect{3, 1, 5, 3}));
  EXPECT_EQ(host->lastPreRenderOutput().max_result_rect, (PF_LRect{0, 0, 5, 3}));
}

// A checkout at time t gets the latest keyframe at or before t, before the first keyframe the
// first; a parameter without keyframes its definition's value. in_data carries the command's time.
TEST_F(RenderDetails, ValuesFollowKeyframesOverTime) {
  PF_ParamDefUnion amount = host->param(fixture::kAmount).u;
  for (const A_long time : {20, 10}) {
    amount.sd.value = time;
    host->setKeyframe(time, fixture::kAmount, amount);
  }
  const std::pair<A_long, int> cases[] = {{-5, 10}, {10, 10}, {19, 10}, {20, 20}, {1000, 20}};
  for (const auto& [time, value] : cases) {
    ASSERT_EQ(host->render(input, output, time), PF_Err_NONE);
    EXPECT_EQ(host->lastInData().current_time, time);
    EXPECT_EQ(host->returnMessage().substr(0, 10), "amount=" + std::to_string(value) + " ") << "at " << time;
  }
  host->clearKeyframes();
  ASSERT_EQ(host->render(input, output, 20), PF_Err_NONE);
  EXPECT_EQ(host->returnMessage().substr(0, 9), "amount=50");
  EXPECT_THROW(host->setKeyframe(0, fixture::kInput, amount), fxhost::HostError);
  EXPECT_THROW(host->setKeyframe(0, fixture::kParamCount, amount), fxhost::HostError);
}

// A pre-render without its render is finished by the next pre-render.
TEST_F(RenderDetails, SmartRendersPairWithTheirPreRender) {
  EXPECT_THROW(host->smartRender(output), fxhost::HostError);
  ASSERT_EQ(host->smartPreRender(input), PF_Err_NONE);
  ASSERT_EQ(host->smartPreRender(input), PF_Err_NONE);
  EXPECT_EQ(host->records().preRenderDataDeletions, 1);
  ASSERT_EQ(host->smartRender(output), PF_Err_NONE);
  EXPECT_EQ(host->records().preRenderDataDeletions, 2);
  EXPECT_EQ(output.packedPixels(), input.packedPixels());
}

// The host never frees pre-render data itself: the plug-in's delete function gets it once per
// pre-render, also after a failed one; data without a delete function stays lost.
struct PreRenderData {
  const char* name;
  int mode;
  PF_Err preRenderError;
  int deletions;
  std::vector<std::string> imbalances;
};

void PrintTo(const PreRenderData& data, std::ostream* out) { *out << data.name; }

class PreRenderDataTest : public RenderDetails, public ::testing::WithParamInterface<PreRenderData> {};

TEST_P(PreRenderDataTest, GoesToTheDeleteFunctionOnly) {
  setPreRenderMode(GetParam().mode);
  host->faults().checkoutLayerError = GetParam().preRenderError;
  EXPECT_EQ(host->renderSmart(input, output), GetParam().preRenderError);
  EXPECT_EQ(host->records().outputCheckouts, GetParam().preRenderError == PF_Err_NONE ? 1 : 0);
  EXPECT_EQ(host->records().preRenderDataDeletions, GetParam().deletions);
  EXPECT_EQ(finalAccounts().imbalances, GetParam().imbalances);
}

const std::string kLostJob = "a handle of 24 bytes allocated during PF_Cmd_SMART_PRE_RENDER was never disposed of";

INSTANTIATE_TEST_SUITE_P(
    Modes, PreRenderDataTest,
    ::testing::Values(PreRenderData{"Handle", fixture::kPreRenderHandle, PF_Err_NONE, 1, {}},
                      PreRenderData{"HandleFailed", fixture::kPreRenderHandle, PF_Interrupt_CANCEL, 1, {}},
                      PreRenderData{"Heap", fixture::kPreRenderHeapWithDelete, PF_Err_NONE, 1, {}},
                      PreRenderData{"HeapFailed", fixture::kPreRenderHeapWithDelete, PF_Interrupt_CANCEL, 1, {}},
                      PreRenderData{"NoDelete", fixture::kPreRenderHandleWithoutDelete, PF_Err_NONE, 0, {kLostJob}},
                      PreRenderData{"NoDeleteFailed", fixture::kPreRenderHandleWithoutDelete, PF_Interrupt_CANCEL, 0,
                                    {kLostJob}}),
    [](const ::testing::TestParamInfo<PreRenderData>& info) { return std::string(info.param.name); });

}  // namespace
