#include "abi_table.h"

namespace host_abi {
namespace {

std::vector<std::string> split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(separator, start);
    if (end == std::string_view::npos) {
      parts.emplace_back(text.substr(start));
      return parts;
    }
    parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace

Table parseTable(std::string_view tsv) {
  Table table;
  std::vector<std::string> lines = split(tsv, '\n');
  // A final newline leaves one empty piece behind; it is not a row.
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  if (lines.empty()) {
    table.errors.push_back("the table is empty");
    return table;
  }
  if (lines.front() != "kind\towner\tname\tvalue\tsize\tnote") {
    table.errors.push_back("line 1: unexpected header: " + lines.front());
  }
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const int lineNumber = static_cast<int>(i) + 1;
    std::vector<std::string> columns = split(line, '\t');
    if (columns.size() != 6) {
      table.errors.push_back("line " + std::to_string(lineNumber) + ": " +
                             std::to_string(columns.size()) + " columns: " + line);
      continue;
    }
    Row row;
    row.line = lineNumber;
    row.kind = columns[0];
    row.owner = columns[1];
    row.name = columns[2];
    row.value = columns[3];
    row.size = columns[4];
    row.note = columns[5];
    row.text = line;
    table.rows.push_back(std::move(row));
  }
  return table;
}

std::string ownerOf(const Row& row) {
  if (row.kind == "struct") return row.name;
  return row.owner;
}

std::string typeNote(const Row& row) {
  static constexpr std::string_view kTag = "type=";
  const size_t at = row.note.find(kTag);
  if (at == std::string::npos) return {};
  const size_t start = at + kTag.size();
  const size_t end = row.note.find(';', start);
  return row.note.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace host_abi
