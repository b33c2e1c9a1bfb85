// The host's measured binary interface (data/host-abi.tsv) as rows, and what host_sdk/ declares as
// facts the compiler measures.
#pragma once

#include <cxxabi.h>

#include <cstddef>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

namespace host_abi {

// One row of the table, as the file has it; the generator has already refused a malformed table.
struct Row {
  int line;  // 1-based line in the file
  std::string_view kind, owner, name, value, size, note;
};

// Every row of the table, embedded at build time by generate_abi_facts.py.
std::span<const Row> tableRows();

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
void appendGeneratedFacts(std::vector<Fact>& facts);

// The C type as the compiler spells it, e.g. "int (*)(PF_ProgressInfo*, PF_ParamDef*)": the same
// spelling the table's type= notes use.
template <class T>
std::string typeName() {
  int status = 0;
  char* demangled = abi::__cxa_demangle(typeid(T).name(), nullptr, nullptr, &status);
  std::string name = status == 0 && demangled != nullptr ? demangled : typeid(T).name();
  std::free(demangled);
  return name;
}

// A size, version or constant: a number, or a text when the value is a string.
template <class V>
Fact valueFact(std::string kind, std::string owner, std::string name, const V& value) {
  Fact fact;
  fact.kind = std::move(kind);
  fact.owner = std::move(owner);
  fact.name = std::move(name);
  if constexpr (std::is_convertible_v<const V&, std::string_view>) {
    fact.isText = true;
    fact.text = std::string(std::string_view(value));
  } else {
    fact.number = static_cast<long long>(value);
  }
  return fact;
}

// A member or suite function: its offset, size and C type.
inline Fact memberFact(std::string kind, std::string owner, std::string name, long long offset, long long size,
                       std::string type) {
  Fact fact = valueFact(std::move(kind), std::move(owner), std::move(name), offset);
  fact.hasSize = true;
  fact.size = size;
  fact.type = std::move(type);
  return fact;
}

}  // namespace host_abi

#define ABI_VALUE(kind, owner, row, value) facts.push_back(::host_abi::valueFact(kind, owner, row, value))

// A member path may name a member of an embedded record ("inter.checkout_param"); its offset is
// measured from the outer record, as in the table. When T has no such member nothing is added, so
// that the test names the row nothing checks instead of the build failing.
#define ABI_MEMBER(kind, T, path)                                                                     \
  [&]<class R>() {                                                                                    \
    if constexpr (requires(R& r) { r.path; }) {                                                       \
      using M = decltype(std::declval<R&>().path);                                                    \
      facts.push_back(::host_abi::memberFact(kind, #T, #path, offsetof(R, path), sizeof(M),            \
                                             ::host_abi::typeName<M>()));                             \
    }                                                                                                 \
  }.template operator()<T>()

#define ABI_STRINGIZE(x) #x
#define ABI_EXPANSION(macro) ABI_STRINGIZE(macro)
