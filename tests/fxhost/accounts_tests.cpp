// The accounts: every imbalance and misuse they book, each put down to the command that caused it,
// and the report. Test code run as the plug-in's handling of a command commits the misuse.

#include "test_support.h"

namespace {

using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using fxhost_test::Call;
using fxhost_test::Strings;

void* gNowhere = nullptr;
const PF_Handle kForeignHandle = &gNowhere;
const auto kForeignRef = reinterpret_cast<PF_ProgPtr>(&gNowhere);
PF_ParamDef gKept{};

// What `command` books for each of `functions` called with `what`.
Strings booked(const std::string& command, const Strings& functions, const std::string& what) {
  Strings messages;
  for (const std::string& function : functions) messages.push_back(command + ": " + function + " " + what);
  return messages;
}
Strings foreignRefs(const std::string& command, const Strings& functions) {
  return booked(command, functions, "called with an effect reference the host did not give");
}

// The accounts on their own: a world made in one command and disposed of in a later one is still
// the first command's imbalance, and goes only once; what is held between commands is judged when
// the report is made. (A suite acquired in one command and released in another: concurrency_tests.)
TEST(Accounts, JudgeEachCommandOnItsOwnBooks) {
  fxhost::Accounts accounts;
  int world = 0;
  accounts.beginCommand(PF_Cmd_SMART_PRE_RENDER);
  accounts.worldCreated(&world);
  accounts.endCommand();
  accounts.beginCommand(40);
  EXPECT_TRUE(accounts.worldDisposed(&world));
  EXPECT_FALSE(accounts.worldDisposed(&world));
  accounts.endCommand();
  accounts.suiteAcquired("PF World Suite", 2);
  const Strings inCommands{"PF_Cmd_SMART_PRE_RENDER: a world made with new_world was not disposed of",
                           "PF_Cmd_#40: dispose_world of a world the host did not make"};
  Strings all = inCommands;
  all.push_back("outside any command: suite \"PF World Suite\" version 2 acquired 1 time(s) more than released");
  EXPECT_EQ(accounts.report().imbalances, all);
  EXPECT_TRUE(accounts.suiteReleased("PF World Suite", 2));
  EXPECT_EQ(accounts.report().imbalances, inCommands);
}

struct Misuse {
  const char* name;
  PF_Cmd command;
  std::function<void(PF_InData&, PF_OutData&)> commit;
  Strings booked;
};

void PrintTo(const Misuse& misuse, std::ostream* out) { *out << misuse.name; }

const Misuse kMisuses[] = {
    {"Suites", PF_Cmd_ABOUT,
     [](PF_InData& in, PF_OutData&) {
       const void* table = nullptr;
       in.pica_basicP->AcquireSuite(kPFWorldSuite, 1, &table);
       in.pica_basicP->ReleaseSuite(kPFWorldSuite, 2);
     },
     {"PF_Cmd_ABOUT: suite \"PF World Suite\" version 2 released but not held",
      "PF_Cmd_ABOUT: suite \"PF World Suite\" version 1 acquired 1 time(s) more than released"}},
    {"Handles", PF_Cmd_SEQUENCE_FLATTEN,
     [](PF_InData& in, PF_OutData&) {
       PF_UtilCallbacks& utils = *in.utils;
       utils.host_lock_handle(utils.host_new_handle(16));
       PF_Handle handle = utils.host_new_handle(8);
       utils.host_unlock_handle(handle);
       utils.host_lock_handle(handle);
       utils.host_dispose_handle(handle);
     },
     {"PF_Cmd_SEQUENCE_FLATTEN: host_unlock_handle of a handle that is not locked",
      "PF_Cmd_SEQUENCE_FLATTEN: host_dispose_handle of a handle still locked 1 time(s)",
      "PF_Cmd_SEQUENCE_FLATTEN: a handle of 16 bytes locked 1 time(s) more than unlocked",
      "a handle of 16 bytes allocated during PF_Cmd_SEQUENCE_FLATTEN was never disposed of"}},
    {"ForeignHandle", PF_Cmd_GLOBAL_SETDOWN,
     [](PF_InData& in, PF_OutData&) {
       PF_Handle handle = kForeignHandle;
       EXPECT_EQ(in.utils->host_lock_handle(handle), nullptr);
       in.utils->host_unlock_handle(handle);
       in.utils->host_dispose_handle(handle);
       EXPECT_EQ(in.utils->host_get_handle_size(handle), 0u);
       EXPECT_EQ(in.utils->host_resize_handle(8, &handle), PF_Err_BAD_CALLBACK_PARAM);
     },
     booked("PF_Cmd_GLOBAL_SETDOWN",
            {"host_lock_handle", "host_unlock_handle", "host_dispose_handle", "host_get_handle_size",
             "host_resize_handle"},
            "of a handle the host did not allocate")},
    {"Checkouts", PF_Cmd_SMART_RENDER,
     [](PF_InData& in, PF_OutData&) {
       PF_ParamDef never{};
       in.inter.checkout_param(in.effect_ref, 0, 0, 1, 24, &gKept);
       EXPECT_EQ(in.inter.checkin_param(in.effect_ref, &never), PF_Err_BAD_CALLBACK_PARAM);
     },
     {"PF_Cmd_SMART_RENDER: check-in of a parameter definition that was not checked out",
      "PF_Cmd_SMART_RENDER: parameter 0 checked out and never checked in"}},
    {"Worlds", PF_Cmd_FRAME_SETDOWN,
     [](PF_InData& in, PF_OutData&) {
       PF_EffectWorld kept{};
       in.utils->new_world(in.effect_ref, 2, 2, PF_NewWorldFlag_NONE, &kept);
       OwnedWorld frame(PixelDepth::Eight, 2, 2);
       EXPECT_EQ(in.utils->dispose_world(in.effect_ref, frame.world()), PF_Err_BAD_CALLBACK_PARAM);
       PF_EffectWorld damaged = *frame.world();
       damaged.rowbytes -= 4;
       EXPECT_EQ(in.utils->copy(in.effect_ref, &damaged, frame.world(), nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
       const void* table = nullptr;
       in.pica_basicP->AcquireSuite(kPFWorldSuite, 2, &table);
       PF_EffectWorld stranger{};
       PF_PixelFormat format = 0;
       const auto* worlds = static_cast<const PF_WorldSuite2*>(table);
       EXPECT_EQ(worlds->PF_GetPixelFormat(&stranger, &format), PF_Err_BAD_CALLBACK_PARAM);
       in.pica_basicP->ReleaseSuite(kPFWorldSuite, 2);
     },
     {"PF_Cmd_FRAME_SETDOWN: dispose_world of a world the host did not make",
      "PF_Cmd_FRAME_SETDOWN: copy of a world record whose size was changed",
      "PF_Cmd_FRAME_SETDOWN: PF_GetPixelFormat of a world the host does not know",
      "PF_Cmd_FRAME_SETDOWN: a world made with new_world was not disposed of"}},
    {"Blocks", PF_Cmd_GLOBAL_SETUP,
     [](PF_InData& in, PF_OutData&) {
       void* block = nullptr;
       in.pica_basicP->AllocateBlock(8, &block);
       EXPECT_EQ(in.pica_basicP->FreeBlock(&gNowhere), PF_Err_BAD_CALLBACK_PARAM);
       EXPECT_EQ(in.pica_basicP->ReallocateBlock(&gNowhere, 16, &block), PF_Err_BAD_CALLBACK_PARAM);
     },
     {"PF_Cmd_GLOBAL_SETUP: FreeBlock of a block the host did not allocate",
      "PF_Cmd_GLOBAL_SETUP: FreeBlock of a block the host did not allocate",
      "1 block(s) from AllocateBlock never freed"}},
    {"ParameterAddedOutsideParameterSetup", PF_Cmd_SEQUENCE_RESETUP,
     [](PF_InData& in, PF_OutData&) {
       PF_ParamDef def{};
       EXPECT_EQ(in.inter.add_param(in.effect_ref, -1, &def), PF_Err_BAD_CALLBACK_PARAM);
     },
     {"PF_Cmd_SEQUENCE_RESETUP: add_param outside PF_Cmd_PARAMS_SETUP"}},
    {"TextsWithoutATerminator", PF_Cmd_PARAMS_SETUP,
     [](PF_InData& in, PF_OutData& out) {
       PF_ParamDef def{};
       std::memset(def.name, 'x', sizeof def.name);
       in.inter.add_param(in.effect_ref, -1, &def);
       std::memset(out.return_msg, 'x', sizeof out.return_msg);
     },
     {"PF_Cmd_PARAMS_SETUP: parameter 1 has a name without a terminator in its 32 characters",
      "PF_Cmd_PARAMS_SETUP: return_msg is not terminated within its 256 bytes"}},
    {"AnotherEffectsReference", PF_Cmd_DO_DIALOG,
     [](PF_InData& in, PF_OutData&) {
       PF_ParamDef def{};
       PF_EffectWorld world{};
       in.inter.checkout_param(kForeignRef, 0, 0, 1, 24, &def);
       in.inter.checkin_param(kForeignRef, &def);
       in.inter.add_param(kForeignRef, -1, &def);
       in.inter.abort(kForeignRef);
       in.inter.progress(kForeignRef, 1, 2);
       in.utils->get_platform_data(kForeignRef, PF_PlatData_MAIN_WND, &world);
       in.utils->new_world(kForeignRef, 2, 2, PF_NewWorldFlag_NONE, &world);
       in.utils->dispose_world(kForeignRef, &world);
       in.utils->copy(kForeignRef, &world, &world, nullptr, nullptr);
     },
     foreignRefs("PF_Cmd_DO_DIALOG", {"checkout_param", "checkin_param", "add_param", "abort", "progress",
                                      "get_platform_data", "new_world", "dispose_world", "copy"})},
};

class MisuseTest : public fxhost_test::HostTest, public ::testing::WithParamInterface<Misuse> {};

TEST_P(MisuseTest, IsBookedForTheCommandThatCommittedIt) {
  inCommand(GetParam().command, GetParam().commit);
  EXPECT_EQ(finalAccounts().imbalances, GetParam().booked);
}

INSTANTIATE_TEST_SUITE_P(Misuses, MisuseTest, ::testing::ValuesIn(kMisuses),
                         [](const auto& info) { return std::string(info.param.name); });

// What only a plug-in's own entry point can get wrong: the parameter count it reports, and the
// smart-render callbacks, which book checkouts outside their command, pixels of checkouts the
// pre-render never made, and another effect's reference. Between commands a misuse is booked as
// outside any command.
using CommandMisuseTest = fxhost_test::HostTest;

TEST_F(CommandMisuseTest, IsBookedForTheCommandThatCommittedIt) {
  PF_PreRenderCallbacks pre{};
  PF_SmartRenderCallbacks smart{};
  takeOver([&](const Call& call) -> PF_Err {
    PF_ParamDef def{};
    PF_EffectWorld* world = nullptr;
    PF_CheckoutResult result{};
    PF_RenderRequest request{};
    const PF_ProgPtr ref = call.in->effect_ref;
    switch (call.command) {
      case PF_Cmd_PARAMS_SETUP:
        call.out->num_params = 3;
        return call.in->inter.add_param(ref, -1, &def);
      case PF_Cmd_SMART_PRE_RENDER:
        pre = *static_cast<PF_PreRenderExtra*>(call.extra)->cb;
        pre.checkout_layer(kForeignRef, 0, 0, &request, 0, 1, 24, &result);
        return pre.checkout_layer(ref, 0, 0, &request, 0, 1, 24, &result);
      case PF_Cmd_SMART_RENDER:
        smart = *static_cast<PF_SmartRenderExtra*>(call.extra)->cb;
        pre.checkout_layer(ref, 0, 1, &request, 0, 1, 24, &result);
        smart.checkout_layer_pixels(kForeignRef, 0, &world);
        smart.checkout_output(kForeignRef, &world);
        smart.checkin_layer_pixels(kForeignRef, 0);
        smart.checkout_layer_pixels(ref, 5, &world);
        smart.checkin_layer_pixels(ref, 0);
        return PF_Err_NONE;
      default:
        return fixture::kBuiltIn;
    }
  });
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
  OwnedWorld input(PixelDepth::Eight, 2, 2), output(PixelDepth::Eight, 2, 2);
  ASSERT_EQ(host->renderSmart(input, output), PF_Err_NONE);
  PF_EffectWorld* world = nullptr;
  EXPECT_EQ(smart.checkout_output(host->lastInData().effect_ref, &world), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host->lastInData().utils->host_lock_handle(kForeignHandle), nullptr);
  Strings expected{"PF_Cmd_PARAMS_SETUP: num_params is 3 but 2 parameters exist (with the input layer)"};
  for (const Strings& part :
       {foreignRefs("PF_Cmd_SMART_PRE_RENDER", {"checkout_layer"}),
        Strings{"PF_Cmd_SMART_RENDER: checkout_layer outside PF_Cmd_SMART_PRE_RENDER"},
        foreignRefs("PF_Cmd_SMART_RENDER", {"checkout_layer_pixels", "checkout_output", "checkin_layer_pixels"}),
        Strings{"PF_Cmd_SMART_RENDER: checkout_layer_pixels of checkout id 5, which the pre-render did not check out",
                "PF_Cmd_SMART_RENDER: checkin_layer_pixels of checkout id 0, whose pixels are not checked out",
                "outside any command: checkout_output outside PF_Cmd_SMART_RENDER",
                "outside any command: host_lock_handle of a handle the host did not allocate"}}) {
    expected.insert(expected.end(), part.begin(), part.end());
  }
  EXPECT_EQ(finalAccounts().imbalances, expected);
}

// One fact per line: suites per command, the counts, then the imbalances (or "balanced", which
// the program's tests see). A smart pre-render's checkouts are owed back like any other command's.
using ReportTest = fxhost_test::HostTest;

TEST_F(ReportTest, CountsWhatHappened) {
  const void* table = nullptr;
  ASSERT_EQ(basic->AcquireSuite(kPFAppSuite, 7, &table), kSPNoError);
  basic->ReleaseSuite(kPFAppSuite, 7);
  inCommand(PF_Cmd_SMART_PRE_RENDER,
            [](PF_InData& in, PF_OutData&) { in.inter.checkout_param(in.effect_ref, 0, 0, 1, 24, &gKept); });
  inCommand(PF_Cmd_RENDER, [](PF_InData& in, PF_OutData&) {
    const void* kept = nullptr;
    in.pica_basicP->AcquireSuite(kPFWorldSuite, 1, &kept);
    PF_Handle handle = in.utils->host_new_handle(4);
    in.utils->host_lock_handle(handle);
    in.utils->host_unlock_handle(handle);
    PF_ParamDef def{};
    in.inter.checkout_param(in.effect_ref, 0, 0, 1, 24, &def);
    in.inter.checkin_param(in.effect_ref, &def);
    PF_EffectWorld world{};
    in.utils->new_world(in.effect_ref, 1, 1, PF_NewWorldFlag_NONE, &world);
    in.utils->dispose_world(in.effect_ref, &world);
    void* block = nullptr;
    in.pica_basicP->AllocateBlock(4, &block);
    in.pica_basicP->FreeBlock(block);
  });
  EXPECT_EQ(finalAccounts().text(),
            "accounts: 3 command(s)\n"
            "  outside any command: suite \"PF AE App Suite\" version 7: acquired 1, released 1\n"
            "  PF_Cmd_RENDER: suite \"PF World Suite\" version 1: acquired 1, released 0\n"
            "  parameters: checked out 2, checked in 1\n"
            "  handles: allocated 1, disposed 0, live 1, locks 1, unlocks 1\n"
            "  worlds: created 1, disposed 1\n"
            "  blocks: allocated 1, freed 1\n"
            "3 imbalance(s):\n"
            "  PF_Cmd_SMART_PRE_RENDER: parameter 0 checked out and never checked in\n"
            "  PF_Cmd_RENDER: suite \"PF World Suite\" version 1 acquired 1 time(s) more than released\n"
            "  a handle of 4 bytes allocated during PF_Cmd_RENDER was never disposed of\n");
}

}  // namespace
