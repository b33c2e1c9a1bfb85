#include "abi_check.h"

#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <tuple>

namespace host_abi {
namespace {

using Key = std::tuple<std::string, std::string, std::string>;  // kind, owner, name

std::optional<long long> parseInteger(const std::string& text, int base) {
  long long value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, value, base);
  if (error != std::errc() || end != last || first == last) return std::nullopt;
  return value;
}

std::string describe(const Fact& fact) {
  std::string out;
  if (fact.isText) {
    out = "\"" + fact.text + "\"";
  } else {
    out = std::to_string(fact.number);
  }
  if (fact.hasSize) out += " size " + std::to_string(fact.size);
  return out;
}

// Why the fact disagrees with the row's value and size, or nothing when they agree.
std::optional<std::string> disagreement(const Row& row, const Fact& fact) {
  const std::string& value = row.value;
  if (value == "(empty)") {
    if (!fact.isText || !fact.text.empty()) return "the table says the text is empty";
  } else if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    if (!fact.isText || fact.text != value.substr(1, value.size() - 2)) return "the text differs";
  } else if (value.rfind("0x", 0) == 0 || value.rfind("0X", 0) == 0) {
    // Hexadecimal values are 32-bit patterns: 0x80000000 is the flag word whose signed value is
    // INT32_MIN, so compare the bits.
    const std::optional<long long> bits = parseInteger(value.substr(2), 16);
    if (!bits) return "the table's hexadecimal value does not parse";
    if (fact.isText) return "the table has a number, we declare a text";
    if (fact.number < INT32_MIN || fact.number > static_cast<long long>(UINT32_MAX)) {
      return "the declared value does not fit 32 bits";
    }
    if (static_cast<uint32_t>(fact.number) != static_cast<unsigned long long>(*bits)) return "the value differs";
  } else if (const std::optional<long long> number = parseInteger(value, 10)) {
    if (fact.isText) return "the table has a number, we declare a text";
    if (fact.number != *number) return "the value differs";
  } else if (!fact.isText || fact.text != value) {
    return "the text differs";
  }

  if (row.size.empty()) {
    if (fact.hasSize) return "the table gives no size, we declare one";
    return std::nullopt;
  }
  const std::optional<long long> size = parseInteger(row.size, 10);
  if (!size) return "the table's size does not parse";
  if (!fact.hasSize) return "the table gives a size, we declare none";
  if (fact.size != *size) return "the size differs";
  return std::nullopt;
}

std::string where(const Row& row) { return "line " + std::to_string(row.line) + ": "; }

// The C type a row's note gives, as the host sees it. Notes show the mingw reading of a few host
// parameters of A_LegacyEnumType (char); where the note says the host passes a 4-byte A_long, the
// expected first parameter is int.
std::string expectedType(const Row& row) {
  std::string type = typeNote(row);
  if (row.note.find("arg 1 is a 4-byte A_long") == std::string::npos) return type;
  static constexpr std::string_view kFirstChar = "(*)(char";
  const size_t at = type.find(kFirstChar);
  if (at == std::string::npos) return type;
  const size_t after = at + kFirstChar.size();
  if (after < type.size() && (type[after] == ',' || type[after] == ')')) {
    type.replace(at, kFirstChar.size(), "(*)(int");
  }
  return type;
}

}  // namespace

Report compare(const Table& table, const std::vector<Fact>& facts) {
  Report report;

  std::map<Key, const Row*> rowsByKey;
  for (const Row& row : table.rows) rowsByKey.emplace(Key{row.kind, row.owner, row.name}, &row);

  std::set<std::string> declaredOwners;
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
      report.unknownFacts.push_back(where(row) + label + ": declared twice | " + row.text);
      continue;
    }
    if (const std::optional<std::string> why = disagreement(row, fact)) {
      report.valueFailures.push_back(where(row) + label + ": " + *why + "; we declare " + describe(fact) +
                                     " | " + row.text);
    }
    const std::string wanted = expectedType(row);
    if (!wanted.empty()) {
      ++report.typedRows;
      if (fact.type != wanted) {
        report.typeFailures.push_back(where(row) + label + ": the table's type is " + wanted +
                                      ", we declare " + (fact.type.empty() ? "no type" : fact.type) +
                                      " | " + row.text);
      }
    }
  }
  report.checkedRows = static_cast<int>(checked.size());

  for (const Row& row : table.rows) {
    if (checked.count(&row) != 0) continue;
    if (row.kind != "const" && declaredOwners.count(ownerOf(row)) != 0) {
      report.uncheckedRows.push_back(where(row) + ownerOf(row) + " is declared, but nothing checks this row | " +
                                     row.text);
      continue;
    }
    report.skippedRows.push_back(row);
  }
  return report;
}

}  // namespace host_abi
