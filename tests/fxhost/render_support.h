#pragma once
// Pictures and rectangles for the render and world tests.

#include <ostream>

#include "fxhost/world.h"

inline bool operator==(const PF_LRect& a, const PF_LRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& out, const PF_LRect& rect) {
  return out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}

namespace fxhost_test {

// A different value in every channel of every pixel, within each depth's range.
void paint(fxhost::OwnedWorld& world);

}  // namespace fxhost_test
