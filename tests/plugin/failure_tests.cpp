// Every failure a handler is built to meet, made by the host's fault injection through the real
// plug-in: the code the host gets, the text, and that nothing is left behind (the accounts are
// judged after every row).

#include <algorithm>
#include <functional>
#include <string>

#include "plugin_test_support.h"
#include "render_harness.h"

namespace {

using namespace plugin_test;
using fxhost::OwnedWorld;
using fxhost::PixelDepth;

// The command a row sends, to an instance with its sequence set up and its parameters as defined.
using Send = PF_Err (*)(fxhost::Host&, OwnedWorld& input, OwnedWorld& output);
const Send kSmartRender = [](fxhost::Host& h, OwnedWorld& in, OwnedWorld& out) { return h.renderSmart(in, out); };
const Send kClassicRender = [](fxhost::Host& h, OwnedWorld& in, OwnedWorld& out) { return h.render(in, out); };
const Send kParamsSetup = [](fxhost::Host& h, OwnedWorld&, OwnedWorld&) { return h.paramsSetup(); };
// Three controls to grey or enable.
const Send kUpdateParamsUI = [](fxhost::Host& h, OwnedWorld&, OwnedWorld&) {
  h.param(kKeyEnable).u.bd.value = 1;
  h.param(kKeyColor).ui_flags |= PF_PUI_DISABLED;
  h.param(kInvert).ui_flags |= PF_PUI_DISABLED;
  return h.updateParamsUI();
};
const Send kSequenceSetup = [](fxhost::Host& h, OwnedWorld&, OwnedWorld&) {
  EXPECT_EQ(h.sequenceSetdown(), PF_Err_NONE);
  return h.sequenceSetup();
};
const Send kFlatten = [](fxhost::Host& h, OwnedWorld&, OwnedWorld&) { return h.sequenceFlatten(); };
const Send kResetup = [](fxhost::Host& h, OwnedWorld&, OwnedWorld&) { return h.sequenceResetup(); };
const Send kAbout = [](fxhost::Host& h, OwnedWorld&, OwnedWorld&) { return h.about(); };

// Sets the instance down with its record saved flat, as a project holds it, ready for a resetup.
void saveAndSetDown(fxhost::Host& h) {
  std::vector<std::uint8_t> flat;
  ASSERT_EQ(h.getFlattenedSequenceData(&flat), PF_Err_NONE);
  ASSERT_EQ(h.sequenceSetdown(), PF_Err_NONE);
  h.setSequenceDataBytes(flat);
}

struct Row {
  const char* name;
  Send send;
  std::function<void(fxhost::Host&)> arrange;
  PF_Err result;
  const char* message = nullptr;  // the whole return_msg, when the row pins it
  std::function<void(fxhost::Host&, const OwnedWorld&)> check = nullptr;
};

constexpr char kUnknownError[] = "\x95\x73\x96\xbe\x82\xc8\x83\x47\x83\x89\x81\x5b";  // "unknown error", CP932

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

bool untouched(const OwnedWorld& output) {
  return std::ranges::all_of(output.packedPixels(), [](std::uint8_t b) { return b == 0xCD; });
}

const Row kRows[] = {
    {"pre-render handle refused", kSmartRender, [](auto& h) { h.faults().handleAllocation.arm(0); },
     PF_Err_OUT_OF_MEMORY},
    {"pre-render handle unlockable", kSmartRender, [](auto& h) { h.faults().handleLock.arm(0); },
     PF_Err_INTERNAL_STRUCT_DAMAGED},
    {"a parameter checkout refused", kSmartRender,
     [](auto& h) { h.faults().paramCheckoutErrors[kBias] = PF_Interrupt_CANCEL; }, PF_Interrupt_CANCEL, nullptr,
     [](auto& h, const OwnedWorld& out) {
       EXPECT_TRUE(h.records().layerCheckouts.empty());
       EXPECT_TRUE(untouched(out));
       EXPECT_EQ(h.accounts().paramCheckins, 2);  // the two read before it, each once its value was copied
     }},
    {"a parameter check-in refused", kSmartRender,
     [](auto& h) { h.faults().paramCheckinErrors[kSoftness] = PF_Err_INVALID_CALLBACK; }, PF_Err_INVALID_CALLBACK,
     nullptr, [](auto& h, const OwnedWorld& out) {
       EXPECT_TRUE(h.records().layerCheckouts.empty());
       EXPECT_TRUE(untouched(out));
     }},
    {"input layer refused", kSmartRender, [](auto& h) { h.faults().checkoutLayerError = PF_Err_INVALID_INDEX; },
     PF_Err_INVALID_INDEX},
    {"pre-render data unlockable at render", kSmartRender, [](auto& h) { h.faults().handleLock.arm(1); },
     PF_Err_INTERNAL_STRUCT_DAMAGED},
    {"layer pixels refused", kSmartRender,
     [](auto& h) { h.faults().checkoutLayerPixelsError = PF_Err_OUT_OF_MEMORY; }, PF_Err_OUT_OF_MEMORY},
    {"output refused", kSmartRender, [](auto& h) { h.faults().checkoutOutputError = PF_Err_OUT_OF_MEMORY; },
     PF_Err_OUT_OF_MEMORY},
    {"no output world", kSmartRender, [](auto& h) { h.faults().outputAbsent = true; }, PF_Err_NONE, nullptr,
     [](auto& h, const OwnedWorld& out) {
       EXPECT_TRUE(untouched(out));
       EXPECT_EQ(h.records().layerPixelCheckins, 1);
     }},
    {"pixel format unknown", kSmartRender,
     [](auto& h) { h.faults().pixelFormatError = PF_Err_UNRECOGNIZED_PARAM_TYPE; }, PF_Err_UNRECOGNIZED_PARAM_TYPE},
    {"no world transform suite", kSmartRender,
     [](auto& h) { h.faults().refuseSuite("PF World Transform Suite", 1); }, PF_Err_BAD_CALLBACK_PARAM,
     "error code = 516\nPF_Err_BAD_CALLBACK_PARAM"},
    {"no scratch world", kSmartRender, [](auto& h) { h.faults().newWorldError = PF_Err_OUT_OF_MEMORY; },
     PF_Err_OUT_OF_MEMORY},
    {"classic: a checkout refused", kClassicRender,
     [](auto& h) { h.faults().paramCheckoutErrors[kBias] = PF_Interrupt_CANCEL; }, PF_Interrupt_CANCEL, nullptr,
     [](auto& h, const OwnedWorld& out) {
       EXPECT_TRUE(untouched(out));
       EXPECT_EQ(h.accounts().paramCheckins, 2);  // the two read before it, nothing else
     }},
    {"classic: a check-in refused", kClassicRender,
     [](auto& h) { h.faults().paramCheckinErrors[kSoftness] = PF_Err_INVALID_CALLBACK; }, PF_Err_INVALID_CALLBACK,
     nullptr, [](auto&, const OwnedWorld& out) { EXPECT_FALSE(untouched(out)); }},
    {"an add_param refused", kParamsSetup, [](auto& h) { h.faults().addParamErrors[5] = PF_Err_OUT_OF_MEMORY; },
     PF_Err_OUT_OF_MEMORY, nullptr,
     [](auto& h, const OwnedWorld&) {
       EXPECT_EQ(h.lastOutData().num_params, 10);
       EXPECT_EQ(h.records().addedParams.size(), 5u);
     }},
    {"no param utils suite", kUpdateParamsUI, [](auto& h) { h.faults().refuseSuite("PF Param Utils Suite", 3); },
     PF_Err_INTERNAL_STRUCT_DAMAGED, kUnknownError},
    {"an update refused", kUpdateParamsUI,
     [](auto& h) { h.faults().updateParamUIError = PF_Err_INVALID_CALLBACK; }, PF_Err_INVALID_CALLBACK, nullptr,
     [](auto& h, const OwnedWorld&) { EXPECT_EQ(h.records().uiUpdates.size(), 1u); }},
    {"sequence handle refused", kSequenceSetup, [](auto& h) { h.faults().handleAllocation.arm(0); },
     PF_Err_OUT_OF_MEMORY},
    {"sequence handle unlockable", kSequenceSetup, [](auto& h) { h.faults().handleLock.arm(0); },
     PF_Err_INTERNAL_STRUCT_DAMAGED},
    {"flat handle refused", kFlatten, [](auto& h) { h.faults().handleAllocation.arm(0); },
     PF_Err_OUT_OF_MEMORY},
    {"live record unlockable", kFlatten, [](auto& h) { h.faults().handleLock.arm(0); },
     PF_Err_INTERNAL_STRUCT_DAMAGED},
    {"flat handle unlockable", kFlatten, [](auto& h) { h.faults().handleLock.arm(1); },
     PF_Err_INTERNAL_STRUCT_DAMAGED},
    {"rebuilt record refused", kResetup,
     [](auto& h) {
       saveAndSetDown(h);
       h.faults().handleAllocation.arm(0);
     },
     PF_Err_OUT_OF_MEMORY},
    {"another host", kAbout, [](auto& h) { h.options().applId = host_sdk::kApplIdPremierePro; },
     PF_Err_BAD_CALLBACK_PARAM, ""},
    {"no basic suite", kAbout, [](auto& h) { h.options().provideBasicSuite = false; },
     PF_Err_BAD_CALLBACK_PARAM, ""},
};

class FailureTest : public PluginTest, public ::testing::WithParamInterface<Row> {};

TEST_P(FailureTest, IsReportedAndLeavesNothingBehind) {
  const Row& row = GetParam();
  startSession();
  OwnedWorld input(PixelDepth::Eight, 32, 24);
  OwnedWorld output(PixelDepth::Eight, 32, 24, 0, 0xCD);
  host_render_test::PaintCel(input);
  host->records() = fxhost::Records{};
  row.arrange(*host);
  EXPECT_EQ(row.send(*host, input, output), row.result);
  if (row.message != nullptr) {
    EXPECT_EQ(host->returnMessage(), row.message);
  }
  if (row.check) row.check(*host, output);
  // The faults off again for the tear-down's setdowns.
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
