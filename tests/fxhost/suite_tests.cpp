// The basic suite and the suites behind it, called directly.

#include <set>

#include "test_support.h"

namespace {

using fxhost_test::DirectTest;
using SuiteTest = DirectTest;

TEST_F(SuiteTest, OffersItsSuitesByNameAndVersionEachItsOwnTable) {
  const std::pair<const char*, A_long> offered[] = {
      {kPFWorldSuite, 1}, {kPFWorldSuite, 2}, {kPFWorldTransformSuite, 1},
      {kPFParamUtilsSuite, 2}, {kPFParamUtilsSuite, 3}, {kPFAppSuite, 7},
  };
  std::set<const void*> tables;
  for (const auto& [name, version] : offered) {
    const void* table = nullptr;
    EXPECT_EQ(basic->AcquireSuite(name, version, &table), kSPNoError) << name << " " << version;
    EXPECT_NE(table, nullptr) << name << " " << version;
    tables.insert(table);
    EXPECT_EQ(basic->ReleaseSuite(name, version), kSPNoError) << name << " " << version;
  }
  EXPECT_EQ(tables.size(), 6u);
  const std::vector<std::string>& calls = host->records().suiteCalls;
  ASSERT_EQ(calls.size(), 12u);
  EXPECT_EQ(calls[0], "acquire \"PF World Suite\" 1: 0");
  EXPECT_EQ(calls[1], "release \"PF World Suite\" 1: 0");
  EXPECT_EQ(calls[11], "release \"PF AE App Suite\" 7: 0");
}

// Suites it does not have, and one it is told to refuse, come without a table and untallied.
TEST_F(SuiteTest, RefusesSuitesWithoutATable) {
  host->faults().refuseSuite(kPFWorldSuite, 2);
  const std::pair<const char*, A_long> missing[] = {
      {kPFWorldSuite, 3}, {kPFAppSuite, 6}, {kPFAppSuite, 1}, {kPFParamUtilsSuite, 1},
      {kPFHandleSuite, 2}, {"AEGP Marker Suite", 1}, {"pf world suite", 1}, {kPFWorldSuite, 2},
  };
  const std::size_t tallied = host->accounts().suites.size();
  for (const auto& [name, version] : missing) {
    const void* table = &table;
    EXPECT_EQ(basic->AcquireSuite(name, version, &table), kSPSuiteNotFoundError) << name << " " << version;
    EXPECT_EQ(table, nullptr) << name << " " << version;
  }
  EXPECT_EQ(host->accounts().suites.size(), tallied);
  EXPECT_NE(acquire<PF_WorldSuite1>(kPFWorldSuite, 1), nullptr);
  basic->ReleaseSuite(kPFWorldSuite, 1);
}

TEST_F(SuiteTest, OtherFunctionsAnswerNotImplementedAndAreRecorded) {
  const auto* transform = acquire<PF_WorldTransformSuite1>(kPFWorldTransformSuite, 1);
  const auto* utils3 = acquire<PF_ParamUtilsSuite3>(kPFParamUtilsSuite, 3);
  const auto* utils2 = acquire<PF_ParamUtilsSuite1>(kPFParamUtilsSuite, 2);
  const auto* app = acquire<PFAppSuite5>(kPFAppSuite, 7);
  PF_KeyIndex count = 0;
  PF_ParamDef def{};
  EXPECT_EQ(transform->blend(in->effect_ref, nullptr, nullptr, 0, nullptr), kSPUnimplementedError);
  EXPECT_EQ(utils3->PF_GetKeyframeCount(in->effect_ref, 1, &count), kSPUnimplementedError);
  EXPECT_EQ(utils2->PF_CheckinKeyframe(in->effect_ref, &def), kSPUnimplementedError);
  EXPECT_EQ(app->PF_SetCursor(0), kSPUnimplementedError);
  // Updating the UI of an unknown parameter fails.
  EXPECT_EQ(utils3->PF_UpdateParamUI(in->effect_ref, 5, &def), PF_Err_INVALID_INDEX);
  EXPECT_EQ(utils3->PF_UpdateParamUI(in->effect_ref, -1, &def), PF_Err_INVALID_INDEX);
  ASSERT_EQ(host->records().uiUpdates.size(), 2u);
  EXPECT_EQ(host->records().uiUpdates[0].result, PF_Err_INVALID_INDEX);
  EXPECT_EQ(host->records().notImplemented,
            (std::vector<std::string>{"PF World Transform Suite 1: blend", "PF Param Utils Suite 3: PF_GetKeyframeCount",
                                      "PF Param Utils Suite 2: PF_CheckinKeyframe", "PF AE App Suite 7: PF_SetCursor"}));
  basic->ReleaseSuite(kPFWorldTransformSuite, 1);
  basic->ReleaseSuite(kPFAppSuite, 7);
  basic->ReleaseSuite(kPFParamUtilsSuite, 3);
  basic->ReleaseSuite(kPFParamUtilsSuite, 2);
}

TEST_F(SuiteTest, BlocksAreAllocatedAndFreed) {
  void* block = nullptr;
  ASSERT_EQ(basic->AllocateBlock(10, &block), kSPNoError);
  ASSERT_NE(block, nullptr);
  void* grown = nullptr;
  ASSERT_EQ(basic->ReallocateBlock(block, 20, &grown), kSPNoError);
  EXPECT_EQ(basic->FreeBlock(grown), kSPNoError);
  EXPECT_EQ(basic->IsEqual("abc", "abc"), 1);
  EXPECT_EQ(basic->IsEqual("abc", "abd"), 0);
  EXPECT_EQ(basic->Undefined(), kSPUnimplementedError);
  EXPECT_EQ(host->accounts().blocksAllocated, 2);
  EXPECT_EQ(host->accounts().blocksFreed, 2);
}

}  // namespace
