// Compares declared facts with the measured table.
#pragma once

#include <string>
#include <vector>

#include "abi_facts.h"
#include "abi_table.h"

namespace host_abi {

struct Report {
  std::vector<std::string> valueFailures;  // a fact whose value or size differs from its row
  std::vector<std::string> unknownFacts;   // a fact with no row in the table, or declared twice
  std::vector<std::string> uncheckedRows;  // a row of a declared record or suite that no fact checks
  std::vector<std::string> typeFailures;   // a member whose C type differs from its row's type= note
  int checkedRows = 0;                     // rows matched by a fact
  int typedRows = 0;                       // of those, rows whose C type was compared
  std::vector<Row> skippedRows;            // rows of records, suites or constants we do not declare
};

Report compare(const Table& table, const std::vector<Fact>& facts);

}  // namespace host_abi
