// The edge map by its rule, pair by pair, to hold the engine's builder to (which takes whole groups at
// once, skips flat ones and uses SSE2): rows of MapStride(w) bytes, a zero row above and below, entry
// (0, 0) four bytes into the second row. Within each group of four entries (the groups end before the
// last column's group) the diagonal bits of the first three are tested only once a right or lower bit
// of that entry, an earlier one of the group or the next one is set. Shared with the fuzzer.
#pragma once

#include <cstdint>
#include <vector>

#include "depth_traits.h"
#include "engine.h"

namespace tessaline::test {

// at(x, y) is the pixel at (x, y); t the threshold in the depth's units.
template <class D, class At>
std::vector<std::uint8_t> ReferenceMap(int w, int h, typename D::Value t, At at) {
  const std::size_t stride = static_cast<std::size_t>(MapStride(w));
  std::vector<std::uint8_t> map((static_cast<std::size_t>(h) + 2) * stride, 0);
  auto dif = [&](int x0, int y0, int x1, int y1) {
    return x1 < w && y1 < h && D::Differ(at(x0, y0), at(x1, y1), t) ? 1 : 0;
  };
  const int g = (w - 1) / 4 * 4;
  for (int y = 0; y < h; ++y) {
    std::uint8_t* e = map.data() + (static_cast<std::size_t>(y) + 1) * stride + 4;
    for (int x = 0; x < w; ++x) e[x] = static_cast<std::uint8_t>(dif(x, y, x + 1, y) | dif(x, y, x, y + 1) << 1);
    for (int x = 0; x + 1 < w && y + 1 < h; ++x) {
      bool tested = x >= g || x % 4 == 3;
      for (int k = x - x % 4; k <= x + 1; ++k) tested = tested || e[k] != 0;
      if (tested) e[x] = static_cast<std::uint8_t>(e[x] | dif(x, y, x + 1, y + 1) << 2 | dif(x + 1, y, x, y + 1) << 3);
    }
  }
  return map;
}

}  // namespace tessaline::test
