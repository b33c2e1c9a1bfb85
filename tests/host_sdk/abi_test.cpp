// host_sdk/ against the host's measured binary interface: every record, member, suite function and
// constant we declare must have the table's size, offset, position, value and C type, and every
// row of a record or suite we declare must be checked.

#include <gtest/gtest.h>

#include <cstddef>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "abi_check.h"
#include "abi_fact_builders.h"
#include "abi_facts.h"
#include "abi_table.h"
#include "pipl.h"

namespace host_abi {
namespace {

const Table& projectTable() {
  static const Table table = parseTable(embeddedTable());
  return table;
}

const Report& projectReport() {
  static const Report report = compare(projectTable(), declaredFacts());
  return report;
}

void expectNone(const std::vector<std::string>& problems) {
  for (const std::string& problem : problems) ADD_FAILURE() << problem;
  EXPECT_TRUE(problems.empty()) << problems.size() << " problem(s), listed above";
}

// ---- The embedded table ----------------------------------------------------------------------------

TEST(HostAbiTable, EmbeddedCopyParsesWithoutErrors) {
  const Table& table = projectTable();
  expectNone(table.errors);
  std::set<std::string> kinds;
  for (const Row& row : table.rows) kinds.insert(row.kind);
  EXPECT_EQ(kinds, (std::set<std::string>{"const", "field", "struct", "suite"}));
}

TEST(HostAbiTable, RowsAreUniqueByKindOwnerAndName) {
  std::map<std::tuple<std::string, std::string, std::string>, int> firstLine;
  for (const Row& row : projectTable().rows) {
    const auto [it, inserted] = firstLine.emplace(std::tuple{row.kind, row.owner, row.name}, row.line);
    EXPECT_TRUE(inserted) << "line " << row.line << " repeats line " << it->second << ": " << row.text;
  }
}

// ---- host_sdk/ against the table -------------------------------------------------------------------

TEST(HostSdkAbi, EveryDeclaredFactHasARowInTheTable) { expectNone(projectReport().unknownFacts); }

TEST(HostSdkAbi, SizesOffsetsPositionsAndValuesMatchTheTable) { expectNone(projectReport().valueFailures); }

TEST(HostSdkAbi, MemberAndFunctionTypesMatchTheTable) {
  const Report& report = projectReport();
  EXPECT_GT(report.typedRows, 0);
  expectNone(report.typeFailures);
}

TEST(HostSdkAbi, EveryRowOfADeclaredRecordOrSuiteIsChecked) { expectNone(projectReport().uncheckedRows); }

TEST(HostSdkAbi, AccountsForEveryRow) {
  const Report& report = projectReport();
  const size_t accounted = static_cast<size_t>(report.checkedRows) + report.skippedRows.size() +
                           report.uncheckedRows.size();
  EXPECT_EQ(accounted, projectTable().rows.size());
  EXPECT_GT(report.checkedRows, 0);

  // What is left out, for the record: records and suites we do not declare, and constants that are
  // not ours to declare (platform switches, entry-point glue) or do not exist.
  std::map<std::string, int> skippedByOwner;
  std::vector<std::string> skippedConstants;
  for (const Row& row : report.skippedRows) {
    if (row.kind == "const") {
      skippedConstants.push_back(row.name);
    } else {
      ++skippedByOwner[ownerOf(row)];
    }
  }
  std::cout << "checked " << report.checkedRows << " rows (" << report.typedRows << " with their C type), skipped "
            << report.skippedRows.size() << " of " << projectTable().rows.size() << "\n";
  std::cout << "skipped records and suites:";
  for (const auto& [owner, rows] : skippedByOwner) std::cout << " " << owner << "(" << rows << ")";
  std::cout << "\nskipped constants:";
  for (const std::string& name : skippedConstants) std::cout << " [" << name << "]";
  std::cout << "\n";
  RecordProperty("checked_rows", report.checkedRows);
  RecordProperty("skipped_rows", static_cast<int>(report.skippedRows.size()));
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

constexpr const char* kSmallTable =
    "kind\towner\tname\tvalue\tsize\tnote\n"
    "struct\t\tRec\t8\t\talign=4\n"
    "field\tRec\ta\t0\t4\ttype=int\n"
    "field\tRec\tb\t4\t4\ttype=int\n"
    "const\t\tHIGH_BIT\t0x80000000\t\tbit 31\n"
    "const\t\tMINUS_ONE\t-1\t\t\n"
    "const\t\tNOT_OURS\t1\t\t\n"
    "suite\tS1\t@name\t\"Some Suite\"\t\t\n"
    "suite\tS1\tkSomeSuiteVersion1\t2\t\t\n"
    "suite\tS1\tfn\t0\t8\tpos=1; type=int (*)(char, int*); HOST (MSVC) ABI: arg 1 is a 4-byte A_long\n"
    "struct\t\tS1\t8\t\talign=8\n";

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

bool anyContains(const std::vector<std::string>& messages, const std::string& part) {
  for (const std::string& message : messages) {
    if (message.find(part) != std::string::npos) return true;
  }
  return false;
}

TEST(AbiChecker, AcceptsFactsThatAgree) {
  const Table table = parseTable(kSmallTable);
  ASSERT_TRUE(table.errors.empty());
  std::vector<Fact> facts = rightFacts();
  facts[3].number = 0x80000000LL;  // HIGH_BIT's bits read unsigned: hexadecimal compares as 32 bits
  const Report report = compare(table, facts);
  EXPECT_TRUE(report.valueFailures.empty());
  EXPECT_TRUE(report.unknownFacts.empty());
  EXPECT_TRUE(report.uncheckedRows.empty());
  EXPECT_TRUE(report.typeFailures.empty());
  EXPECT_EQ(report.checkedRows, 9);
  ASSERT_EQ(report.skippedRows.size(), 1u);
  EXPECT_EQ(report.skippedRows[0].name, "NOT_OURS");

  facts.erase(facts.begin(), facts.begin() + 3);  // all of Rec: an undeclared record is skipped
  const Report withoutRec = compare(table, facts);
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
  const Table table = parseTable(kSmallTable);
  for (const Mistake& m : mistakes) {
    std::vector<Fact> facts = rightFacts();
    m.make(facts);
    const Report report = compare(table, facts);
    const std::vector<std::string>& messages = report.*m.list;
    EXPECT_EQ(messages.size(), 1u) << m.what;
    for (const std::string& part : m.mentions) EXPECT_TRUE(anyContains(messages, part)) << m.what << ": " << part;
  }
}

TEST(AbiChecker, ReportsMalformedLines) {
  const Table table = parseTable("kind\towner\tname\tvalue\tsize\tnote\nconst\t\tX\t1\n");
  EXPECT_TRUE(table.rows.empty());
  ASSERT_EQ(table.errors.size(), 1u);
  EXPECT_NE(table.errors[0].find("line 2"), std::string::npos);
  EXPECT_FALSE(parseTable("kind\tname\n").errors.empty());
}

}  // namespace
}  // namespace host_abi
