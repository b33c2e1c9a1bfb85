// The program's stream protocol: encoding, decoding and every way a stream can be malformed.

#include <cstring>
#include <numeric>
#include <tuple>

#include "test_support.h"

namespace {

using namespace fxhost::protocol;
using Bytes = std::vector<std::uint8_t>;
using fxhost_test::readerOf;

FrameRequest sampleRequest() {
  Bytes pixels(16);
  std::iota(pixels.begin(), pixels.end(), 0);
  const FrameRegion region{kGivenRect | kGivenDownsample, {-1, 2, 3, 0x7FFFFFFF}, {-5, 6}, 2, 3};
  return {fxhost::PixelDepth::Sixteen, 2, 1, region, {7, 0x04030201}, pixels};
}

// The documented layout, read back in pieces as a pipe hands them out, frame after frame.
TEST(FrameProtocol, EncodesARequestAndReadsItBack) {
  const Bytes one = encodeRequest(sampleRequest());
  EXPECT_EQ(one, (Bytes{'F', 'X', 'F', '2', 16, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0,                        // geometry
                        5, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 3, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F,  // rect
                        0xFB, 0xFF, 0xFF, 0xFF, 6, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0,  // origin, downsample
                        2, 0, 0, 0, 7, 0, 0, 0, 1, 2, 3, 4,                          // slots
                        0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  Bytes stream = one;
  stream.insert(stream.end(), one.begin(), one.end());
  const ReadBytes read = readerOf(stream);
  std::string error;
  for (int frame = 0; frame < 2; ++frame) {
    FrameRequest request;
    ASSERT_EQ(readRequest(read, request, error), ReadResult::Frame) << error;
    EXPECT_EQ(encodeRequest(request), one);  // every field read back
  }
  FrameRequest request;
  EXPECT_EQ(readRequest(read, request, error), ReadResult::End);
  EXPECT_EQ(error, "");
}

// The documented layout; pixels only after success. (The program's tests read replies back.)
TEST(FrameProtocol, RepliesCarryPixelsOnlyOnSuccess) {
  FrameReply reply{512, fxhost::PixelDepth::Float, 1, 1, {-2, 3}, "ok", Bytes(16, 9)};
  EXPECT_EQ(encodeReply(reply), (Bytes{'F', 'X', 'R', '2', 0, 2, 0, 0, 32, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0xFE, 0xFF,
                                       0xFF, 0xFF, 3, 0, 0, 0, 2, 0, 0, 0, 'o', 'k'}));
  reply.status = 0;
  EXPECT_EQ(encodeReply(reply).size(), 32u + 2 + 16);
}

// The error a malformed stream gets.
std::string malformation(const Bytes& bytes) {
  FrameRequest request;
  std::string error;
  EXPECT_EQ(readRequest(readerOf(bytes), request, error), ReadResult::Malformed);
  return error;
}

Bytes withWord(Bytes bytes, std::size_t at, std::uint32_t value) {
  std::memcpy(bytes.data() + at, &value, 4);
  return bytes;
}

TEST(FrameProtocol, RefusesMalformedRequests) {
  const Bytes good = encodeRequest(sampleRequest());
  EXPECT_EQ(malformation(withWord(good, 0, 0x12345678)), "bad magic 0x12345678");
  EXPECT_EQ(malformation(Bytes(good.begin(), good.begin() + 2)), "the stream ends inside a frame's magic");
  EXPECT_EQ(malformation(Bytes(good.begin(), good.begin() + 10)), "the stream ends inside a frame header");
  EXPECT_EQ(malformation(withWord(good, 4, 24)), "depth 24 is not 8, 16 or 32");
  EXPECT_EQ(malformation(withWord(withWord(good, 8, 65536), 12, 32769)), "frame size 65536x32769 is out of range");
  EXPECT_EQ(malformation(withWord(good, 16, 8)), "unknown region bits 0x8");
  EXPECT_EQ(malformation(withWord(good, 44, 0)), "downsample factor 1/0 is not 1/1 to 1/64");
  EXPECT_EQ(malformation(withWord(good, 48, 65)), "downsample factor 1/65 is not 1/1 to 1/64");
  EXPECT_EQ(malformation(withWord(good, 52, 5000)), "5000 parameter slots are more than 4096");
  EXPECT_EQ(malformation(Bytes(good.begin(), good.begin() + 58)), "the stream ends inside a frame's parameter slots");
  EXPECT_EQ(malformation(Bytes(good.begin(), good.end() - 1)), "the stream ends inside a frame's pixels");
}

// Reduced resolution: every nth pixel from the top-left, sizes and rectangles rounded outwards, an
// origin rounded down.
TEST(FrameProtocol, DownsamplesFramesAndRectangles) {
  Bytes pixels(5 * 3 * 4);
  std::iota(pixels.begin(), pixels.end(), 0);  // pixel i starts with byte 4 i
  const Bytes reduced = downsamplePixels(fxhost::PixelDepth::Eight, 5, 3, pixels, 2, 2);
  ASSERT_EQ(reduced.size(), 3u * 2 * 4);
  for (const auto& [at, source] : {std::pair{0, 0}, {1, 2}, {2, 4}, {3, 10}, {4, 12}, {5, 14}}) {
    EXPECT_EQ(reduced[4 * at], 4 * source) << "reduced pixel " << at;
  }
  const auto rect = [](const PF_LRect& r) { return std::tuple(r.left, r.top, r.right, r.bottom); };
  EXPECT_EQ(rect(downsampleRect({-3, 1, 5, 8}, 2, 4)), std::tuple(-2, 0, 3, 2));
  EXPECT_EQ(rect(downsampleRect({4, 4, 4, 9}, 2, 2)), std::tuple(0, 0, 0, 0));  // empty stays empty
  EXPECT_EQ(rect(downsampleRect({0, 0, 0x7FFFFFFF, 1}, 64, 1)), std::tuple(0, 0, 33554432, 1));
  EXPECT_EQ(std::tuple(downsampleCoordinate(-1, 4), downsampleCoordinate(-4, 4), downsampleCoordinate(7, 4)),
            std::tuple(-1, -1, 1));
}

// (The program's tests put slider, checkbox, colour and float slider values through.)
TEST(FrameProtocol, IgnoresSlotsOfParametersWithoutAValueAndRefusesOtherTypes) {
  for (const PF_ParamType type : {PF_Param_GROUP_START, PF_Param_GROUP_END, PF_Param_BUTTON, PF_Param_NO_DATA}) {
    PF_ParamDef def{};
    def.param_type = type;
    ASSERT_TRUE(applyParamSlot(def, 99)) << type;
    EXPECT_EQ(def.u.sd.value, 0) << type;
  }
  for (const PF_ParamType type : {PF_Param_POINT, PF_Param_LAYER, PF_Param_ARBITRARY_DATA}) {
    PF_ParamDef def{};
    def.param_type = type;
    EXPECT_FALSE(applyParamSlot(def, 1)) << type;
  }
}

}  // namespace
