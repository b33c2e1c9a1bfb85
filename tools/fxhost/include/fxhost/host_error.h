#pragma once
// What the host throws when it cannot go on: a plug-in that does not load, a malformed property
// list, a misuse of the host's own programming interface by a test.

#include <stdexcept>

namespace fxhost {

class HostError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace fxhost
