// How a fact is built from what the compiler says about a declaration: shared by the generated
// facts, the ones kept by hand (abi_facts.cpp) and the checker's own tests.
#pragma once

#include <cxxabi.h>

#include <cstddef>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

#include "abi_facts.h"

namespace host_abi {

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
