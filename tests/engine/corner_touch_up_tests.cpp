// The three-quarter restore that reaches up and to the right of a right step, on hand-made maps, at
// every depth and in every source mode.
#include <gtest/gtest.h>

#include <string>

#include "local_corrections.h"
#include "test_image.h"

namespace tessaline {
namespace {

// A right step at (x, 3) under a right step at (x, 2), with lower steps at (x+1, 1) and (x+2, 1)
// and nothing else around: the pattern of the restore of (x+1, 2). `above` is the hex entry of
// (x+1, 2) and `beside` that of (x, 1); the image is x+4 wide, so x < W-3 holds.
test::Map StepPattern(int x, char above, char beside) {
  const std::string pad(static_cast<std::size_t>(x), '.');
  return test::HandMap({pad + "....", pad + beside + "22.", pad + "1" + above + "..", pad + "1...", pad + "...."});
}

struct Case {
  int x;
  char above;     // entry of (x+1, 2): R = 1, D = 2
  bool restores;  // whether (x+1, 2) is pulled back to its source colour
  char beside = '.';
};

// Restores only when (x+1, 2) has neither a right nor a lower step and (x, 1) no diagonal one, and
// never from column 0.
constexpr Case kCases[] = {
    {1, '.', true}, {1, '1', false}, {1, '2', false}, {1, '3', false}, {1, '4', true}, {1, '8', true},
    {1, '.', false, '4'}, {0, '.', false}, {0, '1', false}, {0, '2', false}, {0, '3', false},
};

template <class D, SourceMode M>
void CheckCases(typename D::Pixel source, typename D::Pixel before) {
  using P = typename D::Pixel;
  Params params;  // key colour black, threshold 0: the grey source is kept by the key, removed by its inverse
  P keyed = source;
  if (M == SourceMode::KeyInvert) keyed.alpha = 0;
  for (const Case& c : kCases) {
    const test::Map map = StepPattern(c.x, c.above, c.beside);
    const int w = c.x + 4;
    test::Image<P> in(w, 5, source);
    test::Image<P> out(w, 5, before);
    const auto f = test::MakeFrame<D, M>(in, out, map, params);
    CornerTouchUp(f, c.x, 3, false);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < w; ++x) {
        P want = before;
        if (c.restores && x == c.x + 1 && y == 2) D::Blend(want, keyed, D::kThreeQuarters);
        EXPECT_TRUE(SameBits(out.at(x, y), want))
            << "depth " << sizeof(P) << " mode " << static_cast<int>(M) << " x " << c.x << " entry "
            << c.above << " at " << x << "," << y;
      }
  }
}

template <class D>
void CheckModes(typename D::Pixel source, typename D::Pixel before) {
  CheckCases<D, SourceMode::Plain>(source, before);
  CheckCases<D, SourceMode::Key>(source, before);
  CheckCases<D, SourceMode::KeyInvert>(source, before);
}

TEST(CornerTouchUp, ThreeQuarterRestoreAboveRightOfARightStep) {
  CheckModes<Depth8>(test::Grey8(200), test::Grey8(0));
  CheckModes<Depth16>(test::Grey16(25000), test::Grey16(0));
  CheckModes<DepthF>(test::GreyF(0.8f), test::GreyF(0.0f));
  // The weight itself: 200 pulled from 0 by 49151 / 65535 of the way.
  Pixel8 restored = test::Grey8(0);
  Depth8::Blend(restored, test::Grey8(200), Depth8::kThreeQuarters);
  EXPECT_TRUE(SameBits(restored, test::Grey8(150)));
}

}  // namespace
}  // namespace tessaline
