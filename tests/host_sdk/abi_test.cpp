// host_sdk/ against the host's measured binary interface: every record, member, suite function and
// constant we declare must have the table's size, offset, position, value and C type, and every
// row of a record or suite we declare must be checked.

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "abi.h"
#include "pipl.h"

namespace host_abi {
namespace {

// ---- The checker -----------------------------------------------------------------------------------

struct Report {
  std::vector<std::string> valueFailures;  // a fact whose value or size differs from its row
  std::vector<std::string> unknownFacts;   // a fact with no row in the table, or declared twice
  std::vector<std::string> uncheckedRows;  // a row of a declared record or suite that no fact checks
  std::vector<std::string> typeFailures;   // a member whose C type differs from its row's type= note
  int checkedRows = 0;                     // rows matched by a fact
  int typedRows = 0;                       // of those, rows whose C type was compared
  std::vector<Row> skippedRows;            // rows of records, suites or constants we do not declare
};

std::optional<long long> parseInteger(std::string_view text, int base) {
  long long value = 0;
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(text.data(), last, value, base);
  if (error != std::errc() || end != last || text.empty()) return std::nullopt;
  return value;
}

std::string describe(const Fact& fact) {
  return (fact.isText ? "\"" + fact.text + "\"" : std::to_string(fact.number)) +
         (fact.hasSize ? " size " + std::to_string(fact.size) : "");
}

// Why the fact disagrees with the row's value and size, or nothing when they agree.
std::optional<std::string> disagreement(const Row& row, const Fact& fact) {
  const std::string_view value = row.value;
  const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
  const bool hex = value.starts_with("0x") || value.starts_with("0X");
  const std::optional<long long> number = hex ? parseInteger(value.substr(2), 16) : parseInteger(value, 10);
  if (value == "(empty)" || quoted || (!hex && !number)) {
    const std::string_view text = value == "(empty)" ? "" : quoted ? value.substr(1, value.size() - 2) : value;
    if (!fact.isText || fact.text != text) return "the text differs";
  } else if (!number) {
    return "the table's hexadecimal value does not parse";
  } else if (fact.isText) {
    return "the table has a number, we declare a text";
  } else if (hex) {
    // Hexadecimal values are 32-bit patterns: 0x80000000 is the flag word whose signed value is
    // INT32_MIN, so compare the bits.
    if (fact.number < INT32_MIN || fact.number > static_cast<long long>(UINT32_MAX)) {
      return "the declared value does not fit 32 bits";
    }
    if (static_cast<uint32_t>(fact.number) != *number) return "the value differs";
  } else if (fact.number != *number) {
    return "the value differs";
  }

  if (row.size.empty() != !fact.hasSize) {
    return fact.hasSize ? "the table gives no size, we declare one" : "the table gives a size, we declare none";
  }
  if (fact.hasSize && parseInteger(row.size, 10) != fact.size) return "the size differs";
  return std::nullopt;
}

// "line N: " and, after the message, " | " and the row as the file has it.
std::string where(const Row& row) { return "line " + std::to_string(row.line) + ": "; }
std::string text(const Row& row) {
  std::string line = " | ";
  for (const std::string_view column : {row.kind, row.owner, row.name, row.value, row.size}) {
    line.append(column).push_back('\t');
  }
  return line.append(row.note);
}

// The C type a row's note gives ("type=..."), as the host sees it. Notes show the mingw reading of
// a few host parameters of A_LegacyEnumType (char); where the note says the host passes a 4-byte
// A_long, the expected first parameter is int.
std::string expectedType(const Row& row) {
  const size_t tag = row.note.find("type=");
  if (tag == std::string_view::npos) return {};
  std::string type(row.note.substr(tag + 5, row.note.find(';', tag) - tag - 5));
  if (row.note.find("arg 1 is a 4-byte A_long") == std::string_view::npos) return type;
  static constexpr std::string_view kFirstChar = "(*)(char";
  const size_t at = type.find(kFirstChar);
  const size_t after = at + kFirstChar.size();
  if (at != std::string::npos && after < type.size() && (type[after] == ',' || type[after] == ')')) {
    type.replace(at, kFirstChar.size(), "(*)(int");
  }
  return type;
}

// The record or suite a row belongs to (a struct row: the record it sizes); empty for constants.
std::string_view ownerOf(const Row& row) { return row.kind == "struct" ? row.name : row.owner; }

Report compare(std::span<const Row> rows, const std::vector<Fact>& facts) {
  Report report;
  using Key = std::tuple<std::string_view, std::string_view, std::string_view>;  // kind, owner, name
  std::map<Key, const Row*> rowsByKey;
  for (const Row& row : rows) rowsByKey.emplace(Key{row.kind, row.owner, row.name}, &row);

  std::set<std::string_view> declaredOwners;
  for (const Fact& fact : facts) {
    if (fact.kind == "struct") declaredOwners.insert(fact.name);
    if (fact.kind == "field" || fact.kind == "suite") declaredOwners.insert(fact.owner);
  }

  std::set<const Row*> checked;
  for (const Fact& fact : facts) {
    const std::string label = fact.kind + " " + (fact.owner.empty() ? "" : fact.owner + ".") + fact.name;
    const auto found = rowsByKey.find(Key{fact.kind, fact.owner, fact.name});
    if (found == rowsByKey.end()) {
      report.unknownFacts.push_back(label + ": declared, but the table has no such row");
      continue;
    }
    const Row& row = *found->second;
    if (!checked.insert(&row).second) {
      report.unknownFacts.push_back(where(row) + label + ": declared twice" + text(row));
      continue;
    }
    if (const std::optional<std::string> why = disagreement(row, fact)) {
      report.valueFailures.push_back(where(row) + label + ": " + *why + "; we declare " + describe(fact) + text(row));
    }
    const std::string wanted = expectedType(row);
    if (wanted.empty()) continue;
    ++report.typedRows;
    if (fact.type != wanted) {
      report.typeFailures.push_back(where(row) + label + ": the table's type is " + wanted + ", we declare " +
                                    (fact.type.empty() ? "no type" : fact.type) + text(row));
    }
  }
  report.checkedRows = static_cast<int>(checked.size());

  for (const Row& row : rows) {
    if (checked.count(&row) != 0) continue;
    if (row.kind != "const" && declaredOwners.count(ownerOf(row)) != 0) {
      report.uncheckedRows.push_back(where(row) + std::string(ownerOf(row)) +
                                     " is declared, but nothing checks this row" + text(row));
      continue;
    }
    report.skippedRows.push_back(row);
  }
  return report;
}

// ---- host_sdk/ against the table -------------------------------------------------------------------

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
      {"hexadecimal bits", [](auto& f) { f[3].number = 0x40000000LL; }, &Report::valueFailures, {"HIGH_BIT"}},
      {"decimal -1 is not its bits", [](auto& f) { f[4].number = 0xFFFFFFFFLL; }, &Report::valueFailures, {"MINUS_ONE"}},
      {"suite name", [](auto& f) { f[5].text = "Some suite"; }, &Report::valueFailures, {"@name"}},
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
