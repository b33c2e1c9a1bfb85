// A whole session as After Effects plays it, through the real plug-in: setup, the key controls
// greyed and enabled, frames at every depth and key mode with values from the host's parameters
// at each frame's time, the classic render, the project record saved, setdown and unload.

#include <vector>

#include "engine.h"
#include "plugin_test_support.h"
#include "render_harness.h"

namespace {

using namespace plugin_test;
using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using Bytes = std::vector<std::uint8_t>;

// The values of one frame, in 8-bit units as the host's parameters hold them.
struct FrameValues {
  A_long threshold, softness, bias;
  bool key;
  PF_Pixel color;
  A_long keyThreshold;
  bool invert;
};

const FrameValues kFrames[] = {
    {10, 70, 0, false, {255, 255, 255, 255}, 0, false},
    {40, 100, 60, false, {255, 0, 0, 0}, 0, true},  // invert without the key changes nothing
    {10, 55, 20, true, {255, 240, 10, 0}, 30, false},  // 25 from the red circle: keyed at 30, not at 10
    {25, 90, 0, true, {255, 255, 0, 0}, 30, true},
    {10, 0, 0, true, {255, 20, 30, 160}, 0, false},  // softness 0: the keyed copy only
};

// What the engine makes of the same frame on its own.
Bytes engineResult(OwnedWorld& input, const FrameValues& v) {
  const tessaline::Params p{.colorThreshold = v.threshold, .softness = v.softness, .bias = v.bias,
                            .keyColor = {v.color.alpha, v.color.red, v.color.green, v.color.blue},
                            .keyColorThreshold = v.keyThreshold};
  const auto mode = !v.key ? tessaline::SourceMode::Plain
                    : v.invert ? tessaline::SourceMode::KeyInvert
                               : tessaline::SourceMode::Key;
  return engineRender(input, p, mode);
}

class SessionTest : public PluginTest {
 protected:
  // Keyframes the frame's values at `time`.
  void keyframe(A_long time, const FrameValues& v) {
    const auto set = [&](PF_ParamIndex i, auto change) {
      PF_ParamDefUnion u = host->param(i).u;
      change(u);
      host->setKeyframe(time, i, u);
    };
    set(kColorThreshold, [&](auto& u) { u.sd.value = v.threshold; });
    set(kSoftness, [&](auto& u) { u.sd.value = v.softness; });
    set(kBias, [&](auto& u) { u.sd.value = v.bias; });
    set(kKeyEnable, [&](auto& u) { u.bd.value = v.key; });
    set(kKeyColor, [&](auto& u) { u.cd.value = v.color; });
    set(kKeyThreshold, [&](auto& u) { u.sd.value = v.keyThreshold; });
    set(kInvert, [&](auto& u) { u.bd.value = v.invert; });
  }
};

TEST_F(SessionTest, FromLoadToUnload) {
  ASSERT_EQ(host->globalSetup(), PF_Err_NONE);
  // The host compares these with the property list it read without running any code (which
  // artefact_tests checks).
  const fxhost::PiplInfo& pipl = host->plugin().pipl().info;
  EXPECT_EQ(pipl.effectVersion, host->lastOutData().my_version);
  EXPECT_EQ(pipl.outFlags, host->lastOutData().out_flags);
  EXPECT_EQ(pipl.outFlags2, host->lastOutData().out_flags2);
  expectBalanced("global setup");
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
  ASSERT_EQ(host->sequenceSetup(), PF_Err_NONE);
  // A new record: magic 0x70736571, 0, its size 24, version 1, eight reserved bytes.
  EXPECT_EQ(host->handleBytes(host->sequenceData()),
            (Bytes{0x71, 0x65, 0x73, 0x70, 0, 0, 0, 0, 24, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  expectBalanced("sequence setup");

  // Frames at every depth, each at its own time with its own keyframed values.
  A_long time = 0;
  for (const PixelDepth depth : {PixelDepth::Eight, PixelDepth::Sixteen, PixelDepth::Float}) {
    for (const FrameValues& v : kFrames) {
      SCOPED_TRACE("depth " + std::to_string(static_cast<int>(depth)) + ", frame at " + std::to_string(time));
      OwnedWorld input(depth, 48, 40, 16);
      OwnedWorld output(depth, 48, 40, 48, 0xCD);
      host_render_test::PaintCel(input);
      keyframe(time, v);
      ASSERT_EQ(host->renderSmart(input, output, time), PF_Err_NONE) << host->returnMessage();
      EXPECT_EQ(output.packedPixels(), engineResult(input, v));
      EXPECT_TRUE(output.paddingUntouched());
      expectBalanced("smart render");
      time += host->options().timeStep;
    }
  }
  EXPECT_EQ(host->records().preRenderDataDeletions, 3 * static_cast<int>(std::size(kFrames)));

  // The classic render reads the same values at its time, and gives every checkout back.
  OwnedWorld input(PixelDepth::Eight, 48, 40);
  OwnedWorld output(PixelDepth::Eight, 48, 40);
  host_render_test::PaintCel(input);
  ASSERT_EQ(host->render(input, output, 3 * host->options().timeStep), PF_Err_NONE) << host->returnMessage();
  EXPECT_EQ(output.packedPixels(), engineResult(input, kFrames[3]));
  expectBalanced("classic render");

  // Saved in a project.
  std::vector<std::uint8_t> flat;
  ASSERT_EQ(host->getFlattenedSequenceData(&flat), PF_Err_NONE);
  ASSERT_EQ(host->sequenceFlatten(), PF_Err_NONE);
  EXPECT_EQ(host->handleBytes(host->sequenceData()), flat);
  // Flat: magic, 1, version 1, size 24, the reserved bytes (sequence_tests reads it back).
  EXPECT_EQ(flat, (Bytes{0x71, 0x65, 0x73, 0x70, 1, 0, 0, 0, 1, 0, 0, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  ASSERT_EQ(host->sequenceSetdown(), PF_Err_NONE);
  ASSERT_EQ(host->globalSetdown(), PF_Err_NONE);
  const fxhost::AccountsReport books = host->accounts();
  EXPECT_TRUE(books.balanced()) << books.text();
  host.reset();  // unloads the library
}

// One update per control whose greying changes, through the Param Utils Suite version the host's
// API calls for.
TEST_F(SessionTest, KeyControlsFollowTheirCheckbox) {
  startSession();
  struct Step {
    PF_SpecVersion version;
    A_long enable;
    bool enableDisabled;  // the checkbox itself greyed
    int updates;          // definitions sent to the host
    A_long suite;         // through this suite version
    bool greyed;          // state of key color, key color threshold and invert afterwards
  };
  const Step steps[] = {
      {{13, 28}, 0, false, 3, 3, true},  {{13, 28}, 0, false, 0, 0, true}, {{13, 28}, 1, false, 3, 3, false},
      {{13, 28}, 1, false, 0, 0, false}, {{13, 28}, 1, true, 3, 3, true},  {{13, 28}, 0, false, 0, 0, true},
      {{12, 11}, 1, false, 3, 2, false}, {{13, 1}, 0, false, 3, 2, true},  {{13, 2}, 1, false, 3, 3, false},
      {{14, 0}, 0, false, 3, 3, true}};
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(step.version.major) + "." + std::to_string(step.version.minor) + ", enable " +
                 std::to_string(step.enable));
    host->options().version = step.version;
    setValue(kKeyEnable, step.enable);
    PF_ParamDef& box = host->param(kKeyEnable);
    box.ui_flags = step.enableDisabled ? (box.ui_flags | PF_PUI_DISABLED) : (box.ui_flags & ~PF_PUI_DISABLED);
    host->records().uiUpdates.clear();
    ASSERT_EQ(host->updateParamsUI(), PF_Err_NONE);
    EXPECT_EQ(static_cast<int>(host->records().uiUpdates.size()), step.updates);
    for (const auto& update : host->records().uiUpdates) EXPECT_EQ(update.suiteVersion, step.suite);
    for (const PF_ParamIndex i : {kKeyColor, kKeyThreshold, kInvert}) {
      EXPECT_EQ((host->param(i).ui_flags & PF_PUI_DISABLED) != 0, step.greyed) << "parameter " << i;
    }
    for (const PF_ParamIndex i : {kColorThreshold, kSoftness, kBias, kKeyGroup}) {
      EXPECT_EQ(host->param(i).ui_flags & PF_PUI_DISABLED, 0) << "parameter " << i;
    }
  }
}

}  // namespace
