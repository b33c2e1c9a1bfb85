// Every failure a handler is built to meet, made by the host's fault injection through the real
// plug-in: the code the host gets, the text, and that nothing is left behind (the accounts are
// judged after every row).

#include <functional>
#include <string>

#include "plugin_test_support.h"
#include "render_harness.h"

namespace {

using namespace plugin_test;
using fxhost::OwnedWorld;
using fxhost::PixelDepth;

enum class Command { SmartRender, ClassicRender, ParamsSetup, UpdateParamsUI, SequenceSetup, Flatten, Resetup, About };

struct Row {
  const char* name;
  Command command;
  std::function<void(fxhost::Host&)> arrange;
  PF_Err result;
  const char* message = nullptr;  // the whole return_msg, when the row pins it
  std::function<void(fxhost::Host&, const OwnedWorld&)> check = nullptr;
};

constexpr char kUnknownError[] = "\x95\x73\x96\xbe\x82\xc8\x83\x47\x83\x89\x81\x5b";  // "unknown error", CP932

bool untouched(const OwnedWorld& output) {
  for (const std::uint8_t b : output.packedPixels())
    if (b != 0xCD) return false;
  return true;
}

const Row kRows[] = {
    {"pre-render handle refused", Command::SmartRender, [](auto& h) { h.faults().handleAllocation.arm(0); },
     PF_Err_OUT_OF_MEMORY},
    {"pre-render handle unlockable", Command::SmartRender, [](auto& h) { h.faults().handleLock.arm(0); },
     PF_Err_INTERNAL_STRUCT_DAMAGED},
    {"a parameter checkout refused", Command::SmartRender,
     [](auto& h) { h.faults().paramCheckoutErrors[kBias] = PF_Interrupt_CANCEL; }, PF_Interrupt_CANCEL, nullptr,
     [](auto& h, const OwnedWorld& out) {
       EXPECT_TRUE(h.records().layerCheckouts.empty());
       EXPECT_TRUE(untouched(out));
     }},
    {"input layer refused", Command::SmartRender, [](auto& h) { h.faults().checkoutLayerError = PF_Err_INVALID_INDEX; },
     PF_Err_INVALID_INDEX},
    {"pre-render data unlockable at render", Command::SmartRender, [](auto& h) { h.faults().handleLock.arm(1); },
     PF_Err_INTERNAL_STRUCT_DAMAGED},
    {"layer pixels refused", Command::SmartRender,
     [](auto& h) { h.faults().checkoutLayerPixelsError = PF_Err_OUT_OF_MEMORY; }, PF_Err_OUT_OF_MEMORY},
    {"output refused", Command::SmartRender, [](auto& h) { h.faults().checkoutOutputError = PF_Err_OUT_OF_MEMORY; },
     PF_Err_OUT_OF_MEMORY},
    {"no output world", Command::SmartRender, [](auto& h) { h.faults().outputAbsent = true; }, PF_Err_NONE, nullptr,
     [](auto& h, const OwnedWorld& out) {
       EXPECT_TRUE(untouched(out));
       EXPECT_EQ(h.records().layerPixelCheckins, 1);
     }},
    {"pixel format unknown", Command::SmartRender,
     [](auto& h) { h.faults().pixelFormatError = PF_Err_UNRECOGNIZED_PARAM_TYPE; }, PF_Err_UNRECOGNIZED_PARAM_TYPE},
    {"no world transform suite", Command::SmartRender,
     [](auto& h) { h.faults().refuseSuite("PF World Transform Suite", 1); }, PF_Err_BAD_CALLBACK_PARAM,
     "error code = 516\nPF_Err_BAD_CALLBACK_PARAM"},
    {"no scratch world", Command::SmartRender, [](auto& h) { h.faults().newWorldError = PF_Err_OUT_OF_MEMORY; },
     PF_Err_OUT_OF_MEMORY},
    {"classic: a checkout refused", Command::ClassicRender,
     [](auto& h) { h.faults().paramCheckoutErrors[kBias] = PF_Interrupt_CANCEL; }, PF_Interrupt_CANCEL, nullptr,
     [](auto& h, const OwnedWorld& out) {
       EXPECT_TRUE(untouched(out));
       EXPECT_EQ(h.accounts().paramCheckins, 2);  // the two read before it, nothing else
     }},
    {"classic: a check-in refused", Command::ClassicRender,
     [](auto& h) { h.faults().paramCheckinErrors[kSoftness] = PF_Err_INVALID_CALLBACK; }, PF_Err_INVALID_CALLBACK,
     nullptr, [](auto&, const OwnedWorld& out) { EXPECT_FALSE(untouched(out)); }},
    {"an add_param refused", Command::ParamsSetup, [](auto& h) { h.faults().addParamErrors[5] = PF_Err_OUT_OF_MEMORY; },
     PF_Err_OUT_OF_MEMORY, nullptr,
     [](auto& h, const OwnedWorld&) {
       EXPECT_EQ(h.lastOutData().num_params, 10);
       EXPECT_EQ(h.records().addedParams.size(), 5u);
     }},
    {"no param utils suite", Command::UpdateParamsUI, [](auto& h) { h.faults().refuseSuite("PF Param Utils Suite", 3); },
     PF_Err_INTERNAL_STRUCT_DAMAGED, kUnknownError},
    {"an update refused", Command::UpdateParamsUI,
     [](auto& h) { h.faults().updateParamUIError = PF_Err_INVALID_CALLBACK; }, PF_Err_INVALID_CALLBACK, nullptr,
     [](auto& h, const OwnedWorld&) { EXPECT_EQ(h.records().uiUpdates.size(), 1u); }},
    {"sequence handle refused", Command::SequenceSetup, [](auto& h) { h.faults().handleAllocation.arm(0); },
     PF_Err_OUT_OF_MEMORY},
    {"sequence handle unlockable", Command::SequenceSetup, [](auto& h) { h.faults().handleLock.arm(0); },
     PF_Err_INTERNAL_STRUCT_DAMAGED},
    {"flat handle refused", Command::Flatten, [](auto& h) { h.faults().handleAllocation.arm(0); },
     PF_Err_OUT_OF_MEMORY},
    {"live record unlockable", Command::Flatten, [](auto& h) { h.faults().handleLock.arm(0); },
     PF_Err_INTERNAL_STRUCT_DAMAGED},
    {"flat handle unlockable", Command::Flatten, [](auto& h) { h.faults().handleLock.arm(1); },
     PF_Err_INTERNAL_STRUCT_DAMAGED},
    {"rebuilt record refused", Command::Resetup, [](auto& h) { h.faults().handleAllocation.arm(0); },
     PF_Err_OUT_OF_MEMORY},
    {"another host", Command::About, [](auto& h) { h.options().applId = host_sdk::kApplIdPremierePro; },
     PF_Err_BAD_CALLBACK_PARAM, ""},
    {"no basic suite", Command::About, [](auto& h) { h.options().provideBasicSuite = false; },
     PF_Err_BAD_CALLBACK_PARAM, ""},
};

class FailureTest : public PluginTest, public ::testing::WithParamInterface<Row> {};

TEST_P(FailureTest, IsReportedAndLeavesNothingBehind) {
  const Row& row = GetParam();
  startSession();
  if (row.command == Command::Resetup) {
    std::vector<std::uint8_t> flat;
    ASSERT_EQ(host->getFlattenedSequenceData(&flat), PF_Err_NONE);
    ASSERT_EQ(host->sequenceSetdown(), PF_Err_NONE);
    host->setSequenceDataBytes(flat);
  }
  OwnedWorld input(PixelDepth::Eight, 32, 24);
  OwnedWorld output(PixelDepth::Eight, 32, 24, 0, 0xCD);
  host_render_test::PaintCel(input);
  host->records() = fxhost::Records{};
  row.arrange(*host);
  PF_Err result = PF_Err_NONE;
  switch (row.command) {
    case Command::SmartRender:
      result = host->renderSmart(input, output);
      break;
    case Command::ClassicRender:
      result = host->render(input, output);
      break;
    case Command::ParamsSetup:
      result = host->paramsSetup();
      break;
    case Command::UpdateParamsUI:
      setValue(kKeyEnable, 1);
      host->param(kKeyColor).ui_flags |= PF_PUI_DISABLED;
      host->param(kInvert).ui_flags |= PF_PUI_DISABLED;
      result = host->updateParamsUI();
      break;
    case Command::SequenceSetup:
      ASSERT_EQ(host->sequenceSetdown(), PF_Err_NONE);
      result = host->sequenceSetup();
      break;
    case Command::Flatten:
      result = host->sequenceFlatten();
      break;
    case Command::Resetup:
      result = host->sequenceResetup();
      break;
    case Command::About:
      result = host->about();
      break;
  }
  EXPECT_EQ(result, row.result);
  if (row.message != nullptr) {
    EXPECT_EQ(host->returnMessage(), row.message);
  }
  if (row.check) row.check(*host, output);
  host->faults() = fxhost::Faults{};
  host->options().applId = host_sdk::kApplIdAfterEffects;
  host->options().provideBasicSuite = true;
}

INSTANTIATE_TEST_SUITE_P(Handlers, FailureTest, ::testing::ValuesIn(kRows), [](const auto& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
});

}  // namespace
