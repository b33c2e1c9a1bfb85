#include "blend.h"

#include <gtest/gtest.h>

namespace tessaline {
namespace {

TEST(Blend8, PartialAlphaMixesByAlphaShare) {
  Pixel8 out{255, 0, 0, 0};
  BlendPixel8(out, Pixel8{51, 255, 0, 0}, 32768);
  EXPECT_EQ(out.red, 43);
  EXPECT_EQ(out.alpha, 153);
}

}  // namespace
}  // namespace tessaline
