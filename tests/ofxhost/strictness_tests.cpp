// The simulated host holds an effect to the API's contract: each way the fixture effect can break
// it is recorded, and an effect that breaks nothing leaves no record.
#include <algorithm>

#include <gtest/gtest.h>

#include "ofxhost/host.h"

namespace {

using ofxhost::BitDepth;
using ofxhost::Storage;

struct FaultCase {
  int fault;
  const char* recorded;  // what the record says
};

const FaultCase kFaults[] = {
    {1, "the API has no such property"},
    {2, "the property is of type double, not int"},
    {3, "index 4 of 4 values"},
    {4, "fetchSuite(OfxNoSuchSuite, 1): the host has no such suite"},
    {5, "an image was not released before the action returned"},
    {6, "paramSetValue(fault): 99.000000 outside 0.000000 to 12.000000"},
    {7, "the effect may only read it"},
    {8, "\"kOfxImagePreMultiplied\" is not one of its values"},
    {10, "the render wrote outside the render window"},
    {11, "clipReleaseImage: not a live image handle"},
    {12, "a flag is 0 or 1, not 2"},
};

TEST(OfxHostStrictness, EachBreachOfTheContractIsRecorded) {
  ofxhost::HostOptions options;
  options.wholeOutput = true;  // room outside the window to write into
  ofxhost::Host host(FIXTURE_BUNDLE, options);
  auto instance = host.CreateInstance({BitDepth::Byte, 4, Storage::UnPreMultiplied});
  ofxhost::Frame frame(BitDepth::Byte, 4, Storage::UnPreMultiplied, {0, 0, 8, 8});
  for (std::size_t i = 0; i < frame.pixels.size(); ++i) frame.pixels[i] = static_cast<unsigned char>(i * 7);
  const OfxRectI window = {2, 2, 6, 6};
  const auto render = [&](int fault) {
    instance->SetParam("fault", {static_cast<double>(fault)});
    return instance->Render(frame, 0, window);
  };
  // Without a fault, the window is the source's, and nothing is recorded.
  ofxhost::Frame expected(BitDepth::Byte, 4, Storage::UnPreMultiplied, window);
  for (int y = window.y1; y < window.y2; ++y) std::copy_n(frame.Pixel(window.x1, y), expected.RowBytes(), expected.Pixel(window.x1, y));
  EXPECT_EQ(render(0).output.pixels, expected.pixels);
  EXPECT_EQ(host.Failures(), std::vector<std::string>{});
  for (const FaultCase& c : kFaults) {
    const std::size_t before = host.Failures().size();
    render(c.fault);
    const std::vector<std::string> failures = host.Failures();
    ASSERT_EQ(failures.size(), before + 1) << "fault " << c.fault;
    EXPECT_NE(failures.back().find(c.recorded), std::string::npos) << "fault " << c.fault << ": " << failures.back();
  }
  // Memory kept past the render shows in what the effect holds, as does a value set out of range
  // by the user.
  render(9);
  EXPECT_EQ(host.Held().imageMemory, 1u);
  const std::size_t before = host.Failures().size();
  instance->SetParam("fault", {13});
  ASSERT_EQ(host.Failures().size(), before + 1);
  EXPECT_NE(host.Failures().back().find("setting fault: 13"), std::string::npos) << host.Failures().back();
}

}  // namespace
