// Compares declared facts with the measured table.
#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "abi.h"

namespace host_abi {
namespace {

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

}  // namespace

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

}  // namespace host_abi
