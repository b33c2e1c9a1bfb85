// Every generated case renders to the outputs recorded in golden_hashes.txt, bit for bit, on every
// instruction-set path.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "engine.h"
#include "golden_cases.h"

namespace tessaline::golden {
namespace {

class GoldenOutputTest : public testing::TestWithParam<EnginePath> {
 protected:
  void TearDown() override { UseEnginePath(initial_); }
  const EnginePath initial_ = ActiveEnginePath();
};

TEST_P(GoldenOutputTest, EveryCaseRendersAsRecorded) {
  if (!UseEnginePath(GetParam())) GTEST_SKIP() << "this processor does not run " << EnginePathName(GetParam());
  std::ifstream file(TESSALINE_GOLDEN_FILE);
  ASSERT_TRUE(file) << "cannot read " << TESSALINE_GOLDEN_FILE;
  std::vector<std::string> recorded;
  for (std::string line; std::getline(file, line);)
    if (!line.empty() && line[0] != '#') recorded.push_back(line);
  ASSERT_EQ(static_cast<int>(recorded.size()), CaseCount()) << "the file and the generator disagree on the cases";
  int differing = 0;
  for (int i = 0; i < CaseCount(); ++i) {
    const std::string& then = recorded[static_cast<std::size_t>(i)];
    if (const std::string now = CaseLine(i); now != then && ++differing <= 10)
      ADD_FAILURE() << "recorded " << then << "\nrendered " << now;
  }
  EXPECT_EQ(differing, 0) << "of " << CaseCount() << " cases";
}

INSTANTIATE_TEST_SUITE_P(EveryPath, GoldenOutputTest,
                         testing::Values(EnginePath::Portable, EnginePath::Sse2, EnginePath::Avx2),
                         [](const testing::TestParamInfo<EnginePath>& p) { return EnginePathName(p.param); });

}  // namespace
}  // namespace tessaline::golden
