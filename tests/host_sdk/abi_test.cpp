// host_sdk/ against the host's measured binary interface: every record, member, suite function and
// constant we declare must have the table's size, offset, position, value and C type, and every
// row of a record or suite we declare must be checked.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <iostream>
#include <string>
#include <vector>

#include "abi.h"
#include "pipl.h"

namespace host_abi {
namespace {

void expectNone(const std::vector<std::string>& problems) {
  for (const std::string& problem : problems) ADD_FAILURE() << problem;
  EXPECT_TRUE(problems.empty()) << problems.size() << " problem(s), listed above";
}

// (The generator refuses a table with a malformed line, an unknown kind or a repeated row.)
TEST(HostSdkAbi, EveryDeclarationMatchesItsRowAndEveryRowOfADeclaredRecordOrSuiteIsChecked) {
  const Report report = compare(tableRows(), declaredFacts());
  expectNone(report.unknownFacts);
  expectNone(report.valueFailures);
  expectNone(report.typeFailures);
  expectNone(report.uncheckedRows);
  EXPECT_GT(report.typedRows, 0);
  EXPECT_GT(report.checkedRows, 0);
  std::cout << "checked " << report.checkedRows << " rows (" << report.typedRows << " with their C type); skipped "
            << report.skippedRows.size() << " of " << tableRows().size()
            << " (records and suites we do not declare, constants that are not ours)\n";
}

// The packed resource header and the in-memory property describe the same four words.
TEST(HostSdkPiPL, ResourcePropertyHeaderMatchesPIProperty) {
  EXPECT_EQ(offsetof(PiPL_property_header_win, vendorID), offsetof(PIProperty, vendorID));
  EXPECT_EQ(offsetof(PiPL_property_header_win, propertyKey), offsetof(PIProperty, propertyKey));
  EXPECT_EQ(offsetof(PiPL_property_header_win, propertyID), offsetof(PIProperty, propertyID));
  EXPECT_EQ(offsetof(PiPL_property_header_win, propertyLength), offsetof(PIProperty, propertyLength));
  EXPECT_EQ(sizeof(PiPL_property_header_win), offsetof(PIProperty, propertyData));
}

// ---- The checker itself ----------------------------------------------------------------------------
// A small table and deliberately wrong facts: the checker must catch each kind of mistake.

const Row kSmallTable[] = {
    {2, "struct", "", "Rec", "8", "", "align=4"},
    {3, "field", "Rec", "a", "0", "4", "type=int"},
    {4, "field", "Rec", "b", "4", "4", "type=int"},
    {5, "const", "", "HIGH_BIT", "0x80000000", "", "bit 31"},
    {6, "const", "", "MINUS_ONE", "-1", "", ""},
    {7, "const", "", "NOT_OURS", "1", "", ""},
    {8, "suite", "S1", "@name", "\"Some Suite\"", "", ""},
    {9, "suite", "S1", "kSomeSuiteVersion1", "2", "", ""},
    {10, "suite", "S1", "fn", "0", "8", "pos=1; type=int (*)(char, int*); HOST (MSVC) ABI: arg 1 is a 4-byte A_long"},
    {11, "struct", "", "S1", "8", "", "align=8"},
};

// Facts that agree with every row of kSmallTable except NOT_OURS, which they leave out.
std::vector<Fact> rightFacts() {
  return {
      valueFact("struct", "", "Rec", 8),
      memberFact("field", "Rec", "a", 0, 4, "int"),
      memberFact("field", "Rec", "b", 4, 4, "int"),
      valueFact("const", "", "HIGH_BIT", INT32_MIN),
      valueFact("const", "", "MINUS_ONE", -1),
      valueFact("suite", "S1", "@name", "Some Suite"),
      valueFact("suite", "S1", "kSomeSuiteVersion1", 2),
      memberFact("suite", "S1", "fn", 0, 8, "int (*)(int, int*)"),
      valueFact("struct", "", "S1", 8),
  };
}

TEST(AbiChecker, AcceptsFactsThatAgree) {
  std::vector<Fact> facts = rightFacts();
  facts[3].number = 0x80000000LL;  // HIGH_BIT's bits read unsigned: hexadecimal compares as 32 bits
  const Report report = compare(kSmallTable, facts);
  for (const auto list : {&Report::valueFailures, &Report::unknownFacts, &Report::uncheckedRows, &Report::typeFailures}) {
    expectNone(report.*list);
  }
  EXPECT_EQ(report.checkedRows, 9);
  ASSERT_EQ(report.skippedRows.size(), 1u);
  EXPECT_EQ(report.skippedRows[0].name, "NOT_OURS");

  facts.erase(facts.begin(), facts.begin() + 3);  // all of Rec: an undeclared record is skipped
  const Report withoutRec = compare(kSmallTable, facts);
  EXPECT_TRUE(withoutRec.uncheckedRows.empty());
  EXPECT_EQ(withoutRec.skippedRows.size(), 4u);  // Rec's three rows and NOT_OURS
}

// One mistake at a time in otherwise right facts, the list of the report it must land in, and what
// the message must mention (the row's line and text, or the name).
struct Mistake {
  const char* what;
  void (*make)(std::vector<Fact>&);
  std::vector<std::string> Report::*list;
  std::vector<std::string> mentions;
};

TEST(AbiChecker, ReportsEachKindOfMistakeOnce) {
  const Mistake mistakes[] = {
      {"offset", [](auto& f) { f[2].number = 8; }, &Report::valueFailures, {"line 4:", "field\tRec\tb\t4\t4\ttype=int"}},
      {"size", [](auto& f) { f[1].size = 1; }, &Report::valueFailures, {"the size differs"}},
      {"record size", [](auto& f) { f[0].number = 12; }, &Report::valueFailures, {"line 2:"}},
      {"hexadecimal bits", [](auto& f) { f[3].number = 0x40000000LL; }, &Report::valueFailures, {"HIGH_BIT"}},
      {"decimal -1 is not its bits", [](auto& f) { f[4].number = 0xFFFFFFFFLL; }, &Report::valueFailures, {"MINUS_ONE"}},
      {"suite name", [](auto& f) { f[5].text = "Some suite"; }, &Report::valueFailures, {"@name"}},
      {"suite version", [](auto& f) { f[6].number = 1; }, &Report::valueFailures, {"kSomeSuiteVersion1"}},
      {"unchecked row", [](auto& f) { f.erase(f.begin() + 2); }, &Report::uncheckedRows, {"line 4:"}},
      {"unknown fact", [](auto& f) { f.push_back(memberFact("field", "Rec", "c", 8, 4, "int")); }, &Report::unknownFacts,
       {"field Rec.c: declared, but the table has no such row"}},
      {"declared twice", [](auto& f) { f.push_back(valueFact("const", "", "MINUS_ONE", -1)); }, &Report::unknownFacts,
       {"declared twice"}},
      {"member type", [](auto& f) { f[1].type = "unsigned int"; }, &Report::typeFailures, {"line 3:"}},
      // The note's mingw reading: the host passes a 4-byte A_long.
      {"function type", [](auto& f) { f[7].type = "int (*)(char, int*)"; }, &Report::typeFailures, {"line 10:"}},
  };
  for (const Mistake& m : mistakes) {
    std::vector<Fact> facts = rightFacts();
    m.make(facts);
    const Report report = compare(kSmallTable, facts);
    const std::vector<std::string>& messages = report.*m.list;
    EXPECT_EQ(messages.size(), 1u) << m.what;
    for (const std::string& part : m.mentions) {
      EXPECT_TRUE(std::ranges::any_of(messages, [&](const std::string& s) { return s.find(part) != s.npos; }))
          << m.what << ": " << part;
    }
  }
}

}  // namespace
}  // namespace host_abi
