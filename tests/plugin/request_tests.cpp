// Parts of a layer, as After Effects asks for them (a layer larger than the composition, a region of
// interest, a zoomed viewer, a layer that an effect above has moved, a reduced resolution): through
// the real plug-in, every requested rectangle holds exactly the full-frame render's pixels, at every
// depth and key mode, in the test's own host and through fxhost.exe on four threads.

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "fxhost/frame_protocol.h"
#include "plugin_test_support.h"
#include "program_run.h"
#include "render_harness.h"

namespace {

using namespace plugin_test;
using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using tessaline::SourceMode;
using Bytes = std::vector<std::uint8_t>;
namespace protocol = fxhost::protocol;

constexpr std::array<int, 3> kKey = {230, 235, 240};  // the background: what the key takes

// Long shallow stairs that cross the whole frame both ways, so that the edges of any window cut
// steps whose treads run on outside it, and a transparent corner.
void paintStairs(OwnedWorld& w) {
  host_render_test::Paint(w, [&](A_long x, A_long y) -> std::array<int, 4> {
    if (x > w.width() * 5 / 9 + y / 7) return {255, 250, 40, 10};  // near-vertical: treads 7 rows tall
    if (y > w.height() * 3 / 10 + x / 9) return {255, 20, 30, 160};  // shallow: treads 9 columns wide
    if (x < 6 && y < 4) return {0, kKey[0], kKey[1], kKey[2]};
    return {255, kKey[0], kKey[1], kKey[2]};
  });
}

// Long ramps, so that a step's blend reaches far along its tread.
const tessaline::Params kParams{.colorThreshold = 10, .softness = 100, .bias = 0,
                                .keyColor = {255, kKey[0], kKey[1], kKey[2]}, .keyColorThreshold = 30};
constexpr SourceMode kModes[] = {SourceMode::Plain, SourceMode::Key, SourceMode::KeyInvert};
constexpr PixelDepth kDepths[] = {PixelDepth::Eight, PixelDepth::Sixteen, PixelDepth::Float};

std::tuple<A_long, A_long, A_long, A_long> corners(const PF_LRect& r) { return {r.left, r.top, r.right, r.bottom}; }

PF_LRect clipped(const PF_LRect& r, const PF_LRect& bounds) {
  const PF_LRect c{std::max(r.left, bounds.left), std::max(r.top, bounds.top), std::min(r.right, bounds.right),
                   std::min(r.bottom, bounds.bottom)};
  return c.left < c.right && c.top < c.bottom ? c : PF_LRect{};
}

// A frame of packed pixels as a world.
std::unique_ptr<OwnedWorld> worldOf(PixelDepth depth, A_long width, A_long height, const Bytes& packed) {
  auto world = std::make_unique<OwnedWorld>(depth, width, height);
  world->setPackedPixels(packed);
  return world;
}

// The pixels of `w` inside `r` (in w's own pixels), row after row.
Bytes windowOf(const OwnedWorld& w, const PF_LRect& r) {
  const std::size_t pixel = fxhost::bytesPerPixel(w.depth());
  Bytes out;
  for (A_long y = r.top; y < r.bottom; ++y) {
    out.insert(out.end(), w.row(y) + static_cast<std::size_t>(r.left) * pixel,
               w.row(y) + static_cast<std::size_t>(r.right) * pixel);
  }
  return out;
}

// "" when two windows `width` pixels wide are equal, else how many pixels differ and where the first is.
std::string difference(const Bytes& got, const Bytes& expected, A_long width, std::size_t pixel) {
  if (got.size() != expected.size()) {
    return std::to_string(got.size()) + " bytes, not " + std::to_string(expected.size());
  }
  std::size_t count = 0, first = 0;
  for (std::size_t i = 0; i < got.size(); i += pixel) {
    if (std::equal(got.begin() + i, got.begin() + i + pixel, expected.begin() + i)) continue;
    if (count++ == 0) first = i / pixel;
  }
  if (count == 0) return "";
  return std::to_string(count) + " pixels differ, the first at (" + std::to_string(first % width) + ", " +
         std::to_string(first / width) + ")";
}

// How many bytes of `w` outside `r` are not the 0xCD it started with.
std::size_t writtenOutside(const OwnedWorld& w, const PF_LRect& r) {
  const std::size_t pixel = fxhost::bytesPerPixel(w.depth());
  std::size_t written = 0;
  for (A_long y = 0; y < w.height(); ++y) {
    for (std::size_t b = 0; b < static_cast<std::size_t>(w.width()) * pixel; ++b) {
      const auto x = static_cast<A_long>(b / pixel);
      const bool inside = y >= r.top && y < r.bottom && x >= r.left && x < r.right;
      if (!inside && w.row(y)[b] != 0xCD) ++written;
    }
  }
  return written;
}

class RequestTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    startSession();
    setValue(kColorThreshold, kParams.colorThreshold);
    setValue(kSoftness, kParams.softness);
    setValue(kBias, kParams.bias);
    setValue(kKeyThreshold, kParams.keyColorThreshold);
    host->param(kKeyColor).u.cd.value = PF_Pixel{255, kKey[0], kKey[1], kKey[2]};
  }
  void setMode(SourceMode mode) {
    setValue(kKeyEnable, mode != SourceMode::Plain);
    setValue(kInvert, mode == SourceMode::KeyInvert);
  }
};

struct Request {
  const char* name;
  PF_LRect rect;
  PF_Point origin = {0, 0};
  bool halfResolution = false;  // in_data says 1/2: the input world is the layer already reduced
};

// Of a 90 x 60 layer.
const Request kRequests[] = {
    {"the whole layer", {0, 0, 90, 60}},
    {"an interior rectangle", {23, 11, 61, 47}},
    {"the left edge", {0, 20, 30, 40}},
    {"the top edge", {30, 0, 70, 25}},
    {"the right edge", {60, 15, 90, 45}},
    {"the bottom edge", {10, 40, 50, 60}},
    {"more than the layer", {-10, -5, 100, 70}},
    {"partly outside", {70, 50, 120, 90}},
    {"wholly outside", {95, 0, 120, 20}},
    {"an empty rectangle", {40, 30, 40, 50}},
    {"one pixel", {45, 26, 46, 27}},
    {"a moved layer, whole", {-7, 5, 83, 65}, {-7, 5}},
    {"a moved layer, inside", {16, 16, 54, 52}, {-7, 5}, true},
    {"a moved layer, across its corner", {-20, -20, 10, 12}, {-7, 5}, true},
};

// Inside the rectangle the host asked for (as far as the layer reaches) the output is the full-frame
// render's; the host's output world holds just that, and the input is checked out whole.
TEST_F(RequestTest, EveryRectangleHoldsTheFullFramesPixels) {
  for (const PixelDepth depth : kDepths) {
    OwnedWorld input(depth, 90, 60, 12);
    paintStairs(input);
    for (const SourceMode mode : kModes) {
      setMode(mode);
      const auto full = worldOf(depth, 90, 60, engineRender(input, kParams, mode));
      for (const Request& r : kRequests) {
        SCOPED_TRACE(std::string(r.name) + ", depth " + std::to_string(static_cast<int>(depth)) + ", mode " +
                     std::to_string(static_cast<int>(mode)));
        fxhost::SmartFrame frame;
        frame.request.rect = r.rect;
        frame.request.origin = r.origin;
        if (r.halfResolution) frame.request.downsampleX = frame.request.downsampleY = PF_RationalScale{1, 2};
        OwnedWorld output(depth, 90, 60, 8, 0xCD);
        host->records() = fxhost::Records{};
        ASSERT_EQ(host->renderSmart(input, output, frame), PF_Err_NONE) << frame.message;

        const PF_LRect layer{r.origin.h, r.origin.v, r.origin.h + 90, r.origin.v + 60};
        const PF_LRect shown = clipped(r.rect, layer);
        EXPECT_EQ(corners(frame.outputRect), corners(shown));
        EXPECT_EQ(corners(host->lastPreRenderOutput().max_result_rect), corners(layer));
        const auto& checkouts = host->records().layerCheckouts;
        ASSERT_EQ(checkouts.size(), 2u);
        EXPECT_EQ(std::tuple(checkouts[0].checkoutId, corners(checkouts[0].request.rect)),
                  std::tuple(1, corners(r.rect)));
        EXPECT_EQ(std::tuple(checkouts[1].checkoutId, corners(checkouts[1].request.rect)),
                  std::tuple(0, corners(layer)));

        // The full frame's pixels in the window, and nothing written outside it.
        const PF_LRect own{shown.left - r.origin.h, shown.top - r.origin.v, shown.right - r.origin.h,
                           shown.bottom - r.origin.v};
        EXPECT_EQ(difference(windowOf(output, own), windowOf(*full, own), std::max<A_long>(own.right - own.left, 1),
                             fxhost::bytesPerPixel(depth)),
                  "");
        EXPECT_EQ(writtenOutside(output, own), 0u);
        EXPECT_TRUE(output.paddingUntouched());
        expectBalanced(r.name);
      }
    }
  }
}

// A partial request's scratch world is given back on every path, and its failures are the command's.
TEST_F(RequestTest, APartialRenderThatFailsLeavesNothingBehind) {
  OwnedWorld input(PixelDepth::Float, 90, 60);
  paintStairs(input);
  const std::pair<const char*, std::function<void(fxhost::Faults&)>> faults[] = {
      {"no picture world", [](auto& f) { f.newWorldError = PF_Err_OUT_OF_MEMORY; }},
      {"no edge map world", [](auto& f) { f.newWorldError = PF_Err_OUT_OF_MEMORY, f.newWorldSuccessesFirst = 1; }},
      {"the render's checkout refused",
       [](auto& f) { f.checkoutLayerError = PF_Err_OUT_OF_MEMORY, f.checkoutLayerSuccessesFirst = 1; }},
  };
  for (const auto& [name, arrange] : faults) {
    SCOPED_TRACE(name);
    fxhost::SmartFrame frame;
    frame.request.rect = PF_LRect{10, 10, 40, 40};
    OwnedWorld output(PixelDepth::Float, 90, 60, 0, 0xCD);
    arrange(host->faults());
    EXPECT_EQ(host->renderSmart(input, output, frame), PF_Err_OUT_OF_MEMORY);
    host->faults() = fxhost::Faults{};
    expectBalanced(name);
  }
  fxhost::SmartFrame frame;
  frame.request.rect = PF_LRect{10, 10, 40, 40};
  OwnedWorld output(PixelDepth::Float, 90, 60, 0, 0xCD);
  host->faults().refuseSuite("PF World Suite", 2);
  EXPECT_EQ(host->renderSmart(input, output, frame), PF_Err_BAD_CALLBACK_PARAM);  // 516 through the entry point
  host->faults() = fxhost::Faults{};
}

// fxhost.exe, four frames at a time: the windows of a request (from the command line, or the
// frame's own) are the full-frame render's; at half resolution, the engine's render of the reduced
// frame.
TEST_F(RequestTest, TheProgramRendersWindowsOnFourThreads) {
  constexpr A_long kW = 160, kH = 100;
  std::vector<protocol::FrameRequest> frames;
  std::vector<SourceMode> modes;
  for (int k = 0; k < 12; ++k) {
    const PixelDepth depth = kDepths[k % 3];
    const SourceMode mode = kModes[k / 3 % 3];
    OwnedWorld picture(depth, kW, kH);
    paintStairs(picture);
    const std::uint32_t color = 255u | kKey[0] << 8 | kKey[1] << 16 | static_cast<std::uint32_t>(kKey[2]) << 24;
    const std::vector<std::uint32_t> slots = {10, 100, 0, 0, mode != SourceMode::Plain, color, 30,
                                              mode == SourceMode::KeyInvert, 0};
    frames.push_back({depth, kW, kH, {}, slots, picture.packedPixels()});
    modes.push_back(mode);
  }
  // Frames of their own: the lower half, nothing at all, and a rectangle outside the layer.
  frames[4].region = {protocol::kGivenRect, {0, 50, kW, kH}};
  frames[7].region = {protocol::kGivenRect, {20, 20, 20, 90}};
  frames[10].region = {protocol::kGivenRect | protocol::kGivenOrigin, {0, 0, 40, 40}, {100, 100}};
  Bytes stream;
  for (const auto& f : frames) {
    const Bytes encoded = protocol::encodeRequest(f);
    stream.insert(stream.end(), encoded.begin(), encoded.end());
  }
  const std::string program = '"' + programPath() + "\" \"" + pluginPath() + "\" render ";
  const auto run = [&](const std::string& options) {
    const test_support::ProgramRun ran =
        test_support::runProgram(program + options, "request_tests_program.", stream, 120000);
    EXPECT_EQ(ran.exitCode, 0u) << ran.err;
    EXPECT_TRUE(ran.err.ends_with("balanced\n")) << ran.err;
    std::vector<protocol::FrameReply> replies;
    std::size_t at = 0;
    const protocol::ReadBytes read = [&](void* buffer, std::size_t count) {
      const std::size_t n = std::min(count, ran.out.size() - at);
      std::memcpy(buffer, ran.out.data() + at, n);
      at += n;
      return n;
    };
    protocol::FrameReply reply;
    std::string error;
    while (protocol::readReply(read, reply, error) == protocol::ReadResult::Frame) replies.push_back(reply);
    EXPECT_EQ(replies.size(), frames.size()) << error;
    return replies;
  };

  struct Case {
    std::string options;
    std::uint32_t reduce;  // the downsample factor across and down
    PF_LRect rect;         // of the command line, in full-resolution layer coordinates
    PF_Point origin;
  };
  const Case cases[] = {
      {"--threads 4 --request 37,21,121,77", 1, {37, 21, 121, 77}, {0, 0}},
      {"--threads 4 --downsample 2", 2, {0, 0, kW, kH}, {0, 0}},
      {"--threads 4 --downsample 2 --request 37,21,121,77 --origin -5,3", 2, {37, 21, 121, 77}, {-5, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    const std::vector<protocol::FrameReply> replies = run(c.options);
    for (std::size_t k = 0; k < replies.size(); ++k) {
      SCOPED_TRACE("frame " + std::to_string(k));
      const protocol::FrameRequest& f = frames[k];
      const protocol::FrameRegion region =
          protocol::overlay({protocol::kGivenRect | protocol::kGivenOrigin, c.rect, c.origin}, f.region);
      const A_long w = (kW + c.reduce - 1) / c.reduce, h = (kH + c.reduce - 1) / c.reduce;
      const auto layer =
          worldOf(f.depth, w, h, protocol::downsamplePixels(f.depth, f.width, f.height, f.pixels, c.reduce, c.reduce));
      const PF_Point origin{protocol::downsampleCoordinate(region.origin.h, c.reduce),
                            protocol::downsampleCoordinate(region.origin.v, c.reduce)};
      const PF_LRect shown = clipped(protocol::downsampleRect(region.rect, c.reduce, c.reduce),
                                     {origin.h, origin.v, origin.h + w, origin.v + h});
      const protocol::FrameReply& reply = replies[k];
      ASSERT_EQ(reply.status, 0) << reply.message;
      EXPECT_EQ(corners({reply.origin.h, reply.origin.v, reply.origin.h + static_cast<A_long>(reply.width),
                         reply.origin.v + static_cast<A_long>(reply.height)}),
                corners(shown));
      const auto full = worldOf(f.depth, w, h, engineRender(*layer, kParams, modes[k]));
      const PF_LRect own{shown.left - origin.h, shown.top - origin.v, shown.right - origin.h, shown.bottom - origin.v};
      EXPECT_EQ(difference(reply.pixels, windowOf(*full, own), std::max<A_long>(own.right - own.left, 1),
                           fxhost::bytesPerPixel(f.depth)),
                "");
    }
  }
}

}  // namespace
