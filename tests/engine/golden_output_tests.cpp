// Every generated case renders to the outputs recorded in golden_hashes.txt, bit for bit.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "golden_cases.h"

namespace tessaline::golden {
namespace {

TEST(GoldenOutputTest, EveryCaseRendersAsRecorded) {
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

}  // namespace
}  // namespace tessaline::golden
