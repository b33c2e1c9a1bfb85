// The measured table of the host's binary interface (data/host-abi.tsv), parsed into rows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace host_abi {

// One row: kind, owner, name, value, size, note, as the file has them.
struct Row {
  int line = 0;  // 1-based line in the file
  std::string kind;
  std::string owner;
  std::string name;
  std::string value;
  std::string size;
  std::string note;
  std::string text;  // the whole line, for messages
};

struct Table {
  std::vector<Row> rows;
  std::vector<std::string> errors;  // lines that are not six tab-separated columns, a wrong header
};

// The first line must be the header "kind owner name value size note" (tab-separated).
Table parseTable(std::string_view tsv);

// The table embedded into the test at build time.
std::string_view embeddedTable();

// The record or suite a row belongs to: a struct row belongs to the record it sizes, field and
// suite rows to their owner. Constants belong to no owner (empty).
std::string ownerOf(const Row& row);

// The C type named by the note's "type=" part, or empty when the note names none.
std::string typeNote(const Row& row);

}  // namespace host_abi
