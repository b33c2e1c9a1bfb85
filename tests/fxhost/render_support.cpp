#include "render_support.h"

#include <cstring>

namespace fxhost_test {

void paint(fxhost::OwnedWorld& world) {
  for (A_long y = 0; y < world.height(); ++y) {
    std::uint8_t* row = world.row(y);
    for (A_long x = 0; x < world.width(); ++x) {
      for (int channel = 0; channel < 4; ++channel) {
        const int seed = x * 7 + y * 13 + channel * 29 + 1;
        const std::size_t at = static_cast<std::size_t>(x * 4 + channel);
        switch (world.depth()) {
          case fxhost::PixelDepth::Eight:
            row[at] = static_cast<std::uint8_t>(seed);
            break;
          case fxhost::PixelDepth::Sixteen: {
            const auto value = static_cast<std::uint16_t>(seed * 97 % 32769);
            std::memcpy(row + at * 2, &value, 2);
            break;
          }
          case fxhost::PixelDepth::Float: {
            const float value = static_cast<float>(seed) / 64.0f;
            std::memcpy(row + at * 4, &value, 4);
            break;
          }
        }
      }
    }
  }
}

}  // namespace fxhost_test
