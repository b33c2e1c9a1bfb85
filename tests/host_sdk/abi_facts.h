// What our host_sdk declarations say about themselves, as the compiler lays them out: one fact per
// record size, member, suite function, suite name or version, and constant.
#pragma once

#include <string>
#include <vector>

namespace host_abi {

struct Fact {
  std::string kind;   // as in the table: "struct", "field", "suite" or "const"
  std::string owner;  // record or suite of a field or suite fact; empty otherwise
  std::string name;   // the table's name for it
  bool isText = false;
  long long number = 0;  // size, offset, version or value
  std::string text;      // suite names and other texts
  bool hasSize = false;
  long long size = 0;  // bytes of a member or function pointer
  std::string type;    // the member's C type as the compiler names it; empty for non-members
};

// Every fact host_sdk/ declares: the generated ones and those kept by hand (abi_facts.cpp).
std::vector<Fact> declaredFacts();

// The facts generated at build time from the table and host_sdk/ (generate_abi_facts.py).
void appendGeneratedFacts(std::vector<Fact>& facts);

}  // namespace host_abi
