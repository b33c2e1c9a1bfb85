#include "fxhost/frame_protocol.h"

#include <bit>
#include <cstdio>
#include <cstring>

namespace fxhost::protocol {
namespace {

// Frames beyond this are refused rather than allocated: 2 GiB of pixels.
constexpr std::size_t kMaxFrameBytes = std::size_t{1} << 31;

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void putI32(std::vector<std::uint8_t>& out, std::int32_t value) { putU32(out, static_cast<std::uint32_t>(value)); }

std::uint32_t getU32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// Fills the buffer completely: true, or false when the input ended first.
bool readExactly(const ReadBytes& read, void* buffer, std::size_t count) {
  auto* at = static_cast<std::uint8_t*>(buffer);
  while (count > 0) {
    const std::size_t got = read(at, count);
    if (got == 0) return false;
    at += got;
    count -= got;
  }
  return true;
}

bool readU32(const ReadBytes& read, std::uint32_t& value) {
  std::uint8_t bytes[4];
  if (!readExactly(read, bytes, sizeof bytes)) return false;
  value = getU32(bytes);
  return true;
}

// Depth, width and height: shared by requests and replies.
ReadResult readGeometry(const ReadBytes& read, PixelDepth& depth, std::uint32_t& width, std::uint32_t& height,
                        std::string& error) {
  std::uint32_t bits = 0;
  if (!readU32(read, bits) || !readU32(read, width) || !readU32(read, height)) {
    error = "the stream ends inside a frame header";
    return ReadResult::Malformed;
  }
  const auto known = depthFromBits(bits);
  if (!known) {
    error = "depth " + std::to_string(bits) + " is not 8, 16 or 32";
    return ReadResult::Malformed;
  }
  depth = *known;
  // A frame larger than a layer may be is still a frame: the host refuses to make its world, and
  // that frame alone fails. Only what cannot be held ends the stream.
  if (frameBytes(depth, width, height) > kMaxFrameBytes) {
    error = "frame size " + std::to_string(width) + "x" + std::to_string(height) + " is out of range";
    return ReadResult::Malformed;
  }
  return ReadResult::Frame;
}

bool readI32(const ReadBytes& read, std::int32_t& value) {
  std::uint32_t bits = 0;
  if (!readU32(read, bits)) return false;
  value = static_cast<std::int32_t>(bits);
  return true;
}

ReadResult readRegion(const ReadBytes& read, FrameRegion& region, std::string& error) {
  PF_LRect& r = region.rect;
  if (!readU32(read, region.given) || !readI32(read, r.left) || !readI32(read, r.top) || !readI32(read, r.right) ||
      !readI32(read, r.bottom) || !readI32(read, region.origin.h) || !readI32(read, region.origin.v) ||
      !readU32(read, region.downsampleX) || !readU32(read, region.downsampleY)) {
    error = "the stream ends inside a frame header";
    return ReadResult::Malformed;
  }
  if (region.given > (kGivenRect | kGivenOrigin | kGivenDownsample)) {
    error = "unknown region bits 0x" + std::to_string(region.given);
    return ReadResult::Malformed;
  }
  for (const std::uint32_t n : {region.downsampleX, region.downsampleY}) {
    if (n < 1 || n > kMaxDownsample) {
      error = "downsample factor 1/" + std::to_string(n) + " is not 1/1 to 1/" + std::to_string(kMaxDownsample);
      return ReadResult::Malformed;
    }
  }
  return ReadResult::Frame;
}

ReadResult readPixels(const ReadBytes& read, std::size_t count, std::vector<std::uint8_t>& pixels, std::string& error) {
  pixels.resize(count);
  if (readExactly(read, pixels.data(), count)) return ReadResult::Frame;
  error = "the stream ends inside a frame's pixels";
  return ReadResult::Malformed;
}

// The first magic word: a clean end when nothing at all arrives.
ReadResult readMagic(const ReadBytes& read, std::uint32_t expected, std::string& error) {
  std::uint8_t bytes[4];
  const std::size_t got = read(bytes, sizeof bytes);
  if (got == 0) return ReadResult::End;
  if (got < sizeof bytes && !readExactly(read, bytes + got, sizeof bytes - got)) {
    error = "the stream ends inside a frame's magic";
    return ReadResult::Malformed;
  }
  if (getU32(bytes) == expected) return ReadResult::Frame;
  error = "bad magic 0x" + [&] {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", getU32(bytes));
    return std::string(text);
  }();
  return ReadResult::Malformed;
}

}  // namespace

std::size_t frameBytes(PixelDepth depth, std::uint32_t width, std::uint32_t height) {
  return static_cast<std::size_t>(width) * height * bytesPerPixel(depth);
}

std::vector<std::uint8_t> encodeRequestHead(const FrameRequest& request) {
  std::vector<std::uint8_t> out;
  out.reserve(56 + 4 * request.slots.size());
  putU32(out, kRequestMagic);
  putU32(out, static_cast<std::uint32_t>(request.depth));
  putU32(out, request.width);
  putU32(out, request.height);
  const FrameRegion& region = request.region;
  putU32(out, region.given);
  for (const std::int32_t v : {region.rect.left, region.rect.top, region.rect.right, region.rect.bottom,
                               region.origin.h, region.origin.v}) {
    putI32(out, v);
  }
  putU32(out, region.downsampleX);
  putU32(out, region.downsampleY);
  putU32(out, static_cast<std::uint32_t>(request.slots.size()));
  for (const std::uint32_t slot : request.slots) putU32(out, slot);
  return out;
}

std::vector<std::uint8_t> encodeReplyHead(const FrameReply& reply) {
  std::vector<std::uint8_t> out;
  out.reserve(32 + reply.message.size());
  putU32(out, kReplyMagic);
  putU32(out, static_cast<std::uint32_t>(reply.status));
  putU32(out, static_cast<std::uint32_t>(reply.depth));
  putU32(out, reply.width);
  putU32(out, reply.height);
  putI32(out, reply.origin.h);
  putI32(out, reply.origin.v);
  putU32(out, static_cast<std::uint32_t>(reply.message.size()));
  out.insert(out.end(), reply.message.begin(), reply.message.end());
  return out;
}

std::vector<std::uint8_t> encodeRequest(const FrameRequest& request) {
  std::vector<std::uint8_t> out = encodeRequestHead(request);
  out.insert(out.end(), request.pixels.begin(), request.pixels.end());
  return out;
}

std::vector<std::uint8_t> encodeReply(const FrameReply& reply) {
  std::vector<std::uint8_t> out = encodeReplyHead(reply);
  if (reply.status == 0) out.insert(out.end(), reply.pixels.begin(), reply.pixels.end());
  return out;
}

bool writeReply(const FrameReply& reply, const WriteBytes& write) {
  const std::vector<std::uint8_t> head = encodeReplyHead(reply);
  return write(head.data(), head.size()) && (reply.status != 0 || write(reply.pixels.data(), reply.pixels.size()));
}

ReadResult readRequest(const ReadBytes& read, FrameRequest& request, std::string& error) {
  if (const ReadResult magic = readMagic(read, kRequestMagic, error); magic != ReadResult::Frame) return magic;
  if (readGeometry(read, request.depth, request.width, request.height, error) != ReadResult::Frame) {
    return ReadResult::Malformed;
  }
  if (readRegion(read, request.region, error) != ReadResult::Frame) return ReadResult::Malformed;
  std::uint32_t count = 0;
  if (!readU32(read, count)) {
    error = "the stream ends inside a frame header";
    return ReadResult::Malformed;
  }
  if (count > kMaxParamSlots) {
    error = std::to_string(count) + " parameter slots are more than " + std::to_string(kMaxParamSlots);
    return ReadResult::Malformed;
  }
  request.slots.assign(count, 0);
  for (std::uint32_t& slot : request.slots) {
    if (!readU32(read, slot)) {
      error = "the stream ends inside a frame's parameter slots";
      return ReadResult::Malformed;
    }
  }
  return readPixels(read, frameBytes(request.depth, request.width, request.height), request.pixels, error);
}

ReadResult readReply(const ReadBytes& read, FrameReply& reply, std::string& error) {
  if (const ReadResult magic = readMagic(read, kReplyMagic, error); magic != ReadResult::Frame) return magic;
  std::uint32_t status = 0;
  if (!readU32(read, status)) {
    error = "the stream ends inside a reply header";
    return ReadResult::Malformed;
  }
  reply.status = static_cast<std::int32_t>(status);
  if (readGeometry(read, reply.depth, reply.width, reply.height, error) != ReadResult::Frame) {
    return ReadResult::Malformed;
  }
  if (!readI32(read, reply.origin.h) || !readI32(read, reply.origin.v)) {
    error = "the stream ends inside a reply header";
    return ReadResult::Malformed;
  }
  std::uint32_t length = 0;
  if (!readU32(read, length) || length > 65536) {
    error = "a reply's message length is missing or out of range";
    return ReadResult::Malformed;
  }
  reply.message.assign(length, '\0');
  if (!readExactly(read, reply.message.data(), length)) {
    error = "the stream ends inside a reply's message";
    return ReadResult::Malformed;
  }
  reply.pixels.clear();
  if (reply.status != 0) return ReadResult::Frame;
  return readPixels(read, frameBytes(reply.depth, reply.width, reply.height), reply.pixels, error);
}

FrameRegion overlay(FrameRegion region, const FrameRegion& over) {
  if ((over.given & kGivenRect) != 0) region.rect = over.rect;
  if ((over.given & kGivenOrigin) != 0) region.origin = over.origin;
  if ((over.given & kGivenDownsample) != 0) {
    region.downsampleX = over.downsampleX;
    region.downsampleY = over.downsampleY;
  }
  region.given |= over.given;
  return region;
}

namespace {

std::int64_t floorDivide(std::int64_t value, std::int64_t n) {
  return value >= 0 ? value / n : -((-value + n - 1) / n);
}

}  // namespace

A_long downsampleCoordinate(A_long value, std::uint32_t n) { return static_cast<A_long>(floorDivide(value, n)); }

PF_LRect downsampleRect(const PF_LRect& rect, std::uint32_t nx, std::uint32_t ny) {
  if (rect.left >= rect.right || rect.top >= rect.bottom) return PF_LRect{};
  const auto up = [](A_long value, std::uint32_t n) {
    return static_cast<A_long>(floorDivide(static_cast<std::int64_t>(value) + n - 1, n));
  };
  return PF_LRect{downsampleCoordinate(rect.left, nx), downsampleCoordinate(rect.top, ny), up(rect.right, nx),
                  up(rect.bottom, ny)};
}

std::vector<std::uint8_t> downsamplePixels(PixelDepth depth, std::uint32_t width, std::uint32_t height,
                                           const std::vector<std::uint8_t>& pixels, std::uint32_t nx,
                                           std::uint32_t ny) {
  const std::size_t pixel = bytesPerPixel(depth);
  const std::uint32_t w = (width + nx - 1) / nx, h = (height + ny - 1) / ny;
  std::vector<std::uint8_t> reduced(frameBytes(depth, w, h));
  for (std::uint32_t y = 0; y < h; ++y) {
    for (std::uint32_t x = 0; x < w; ++x) {
      const std::size_t from = (static_cast<std::size_t>(y) * ny * width + static_cast<std::size_t>(x) * nx) * pixel;
      std::memcpy(reduced.data() + (static_cast<std::size_t>(y) * w + x) * pixel, pixels.data() + from, pixel);
    }
  }
  return reduced;
}

bool applyParamSlot(PF_ParamDef& def, std::uint32_t slot) {
  const auto value = static_cast<PF_ParamValue>(slot);
  switch (def.param_type) {
    case PF_Param_SLIDER:
      def.u.sd.value = value;
      return true;
    case PF_Param_FIX_SLIDER:
      def.u.fd.value = value;
      return true;
    case PF_Param_ANGLE:
      def.u.ad.value = value;
      return true;
    case PF_Param_CHECKBOX:
      def.u.bd.value = value;
      return true;
    case PF_Param_POPUP:
      def.u.pd.value = value;
      return true;
    case PF_Param_COLOR:
      def.u.cd.value = PF_Pixel{static_cast<A_u_char>(slot), static_cast<A_u_char>(slot >> 8),
                                static_cast<A_u_char>(slot >> 16), static_cast<A_u_char>(slot >> 24)};
      return true;
    case PF_Param_FLOAT_SLIDER:
      def.u.fs_d.value = std::bit_cast<float>(slot);
      return true;
    case PF_Param_GROUP_START:
    case PF_Param_GROUP_END:
    case PF_Param_BUTTON:
    case PF_Param_NO_DATA:
      return true;
    default:
      return false;
  }
}

}  // namespace fxhost::protocol
