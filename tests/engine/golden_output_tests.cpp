// Every generated case renders to the outputs recorded in golden_hashes.txt, bit for bit.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "golden_cases.h"

#ifndef TESSALINE_GOLDEN_FILE
#error "TESSALINE_GOLDEN_FILE must name the recorded golden hashes"
#endif

namespace tessaline::golden {
namespace {

TEST(GoldenOutputTest, EveryCaseRendersAsRecorded) {
  std::ifstream file(TESSALINE_GOLDEN_FILE);
  ASSERT_TRUE(file) << "cannot read " << TESSALINE_GOLDEN_FILE;
  std::vector<std::string> recorded;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line[0] != '#') recorded.push_back(line);
  }
  ASSERT_EQ(static_cast<int>(recorded.size()), CaseCount()) << "the file and the generator disagree on the cases";
  int differing = 0;
  for (int i = 0; i < CaseCount(); ++i) {
    const std::string now = CaseLine(i);
    if (now == recorded[static_cast<std::size_t>(i)]) continue;
    if (++differing <= 10) ADD_FAILURE() << "recorded " << recorded[static_cast<std::size_t>(i)] << "\nrendered " << now;
  }
  EXPECT_EQ(differing, 0) << "of " << CaseCount() << " cases (hashes: 8-bit, 16-bit, float; each plain, key, "
                          << "inverted key)";
}

}  // namespace
}  // namespace tessaline::golden
