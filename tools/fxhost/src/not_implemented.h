#pragma once
// Functions of the host's tables that the simulated host does not offer. Each slot still gets a
// function of exactly its own type, so a plug-in that calls one gets an error back, and the call
// is recorded under the slot's name, instead of jumping through a null pointer.

#include <algorithm>
#include <cstddef>
#include <type_traits>

#include "sp_basic_suite.h"

namespace fxhost::detail {

void recordNotImplemented(const char* function);

template <std::size_t N>
struct SlotName {
  char text[N];
  constexpr SlotName(const char (&name)[N]) { std::copy_n(name, N, text); }
};

template <typename R>
R notImplementedResult() {
  if constexpr (std::is_void_v<R>) {
    return;
  } else if constexpr (std::is_pointer_v<R>) {
    return nullptr;
  } else {
    return static_cast<R>(kSPUnimplementedError);
  }
}

template <typename Function, SlotName Name>
struct NotImplemented;

template <SlotName Name, typename R, typename... Args>
struct NotImplemented<R (*)(Args...), Name> {
  static R call(Args...) {
    recordNotImplemented(Name.text);
    return notImplementedResult<R>();
  }
};

template <SlotName Name, typename R, typename... Args>
struct NotImplemented<R (*)(Args..., ...), Name> {
  static R call(Args..., ...) {
    recordNotImplemented(Name.text);
    return notImplementedResult<R>();
  }
};

}  // namespace fxhost::detail

// Fills `table.member` with the not-implemented function for that slot, named "`prefix`member".
#define FXHOST_NOT_IMPLEMENTED(table, prefix, member) \
  (table).member = ::fxhost::detail::NotImplemented<std::remove_reference_t<decltype((table).member)>, ::fxhost::detail::SlotName{prefix #member}>::call
