#pragma once
// The stream protocol of `fxhost.exe PLUGIN render`: frames in on stdin, rendered frames out on
// stdout, many frames per start of the program (and of Wine).
//
// All integers are little-endian.
//
// Request, one per frame:
//   u32  magic      kRequestMagic, the bytes "FXF2"
//   u32  depth      bits per channel: 8, 16 or 32
//   u32  width      with height, at most 2 GiB of pixels; a frame wider or higher than a layer
//   u32  height     may be (PF_MAX_WORLD_WIDTH, PF_MAX_WORLD_HEIGHT: 30000) fails alone, with
//                   kStatusHostWorld
//   u32  given      which of the three region fields below the frame sets (kGivenRect,
//                   kGivenOrigin, kGivenDownsample); a field it does not set comes from the
//                   program's command line (--request, --origin, --downsample), else its default
//   i32  rect[4]    left, top, right, bottom: the part of the layer the host asks the effect for
//                   (default: the whole layer); any rectangle, also empty or beyond the layer
//   i32  origin[2]  x, y: where the frame's top-left pixel lies in the layer (default 0, 0)
//   u32  downsample[2]  x, y: the host renders the layer at 1/x by 1/y of its size, as at a
//                   reduced preview resolution: 1 to kMaxDownsample (default 1, 1)
//   u32  count      number of parameter slots; must be the plug-in's parameter count without the
//                   input layer (num_params - 1)
//   u32  slot[count]  the value of parameters 1..count in the plug-in's own order:
//                     slider, fixed slider, angle, checkbox, popup: the 32-bit value as the host
//                       stores it (a fixed slider or angle as 16.16);
//                     colour: the bytes alpha, red, green, blue in this order;
//                     float slider: the IEEE-754 single-precision bits;
//                     group start and end, button, no-data parameters: ignored (send 0);
//                     any other type makes the frame fail with kStatusParamType.
//   pixels          width * height pixels, rows top to bottom without padding, each pixel the
//                   channels alpha, red, green, blue: unsigned bytes (depth 8), unsigned 16-bit
//                   values 0..32768 (depth 16) or 32-bit floats (depth 32).
// The rectangle and the origin are in the coordinates of the frame as sent (full resolution). At a
// reduced resolution the host reduces the frame (downsamplePixels), the origin and the rectangle
// (downsampleRect) before it renders.
//
// Reply, one per request:
//   u32  magic      kReplyMagic, the bytes "FXR2"
//   i32  status     0 success; above 0 the plug-in's PF_Err; below 0 a kStatus* code of the host
//   u32  depth, width, height   of the pixels that follow: what the effect delivered of the
//                   request, as far as the layer reaches, at the render's resolution (the whole
//                   frame when the whole layer was asked for at full resolution); on failure the
//                   request's frame size
//   i32  x, y       where those pixels lie in the layer, at the render's resolution (0, 0 when
//                   there are none)
//   u32  length     then `length` bytes of text: the plug-in's return_msg or the host's reason
//   pixels          only when status is 0: width * height pixels in the request's layout
//
// Frame k of the session (counting from 0) renders at time k * time step, its slot values set as
// keyframes at that time; with --threads N up to N frames render at once, and replies still come
// in the order of the requests.
//
// End of input at a frame boundary ends the session normally. A request that cannot be read
// (bad magic, depth, sizes, downsample factors, or the input ends inside it) gets a
// kStatusMalformed reply and ends the session. At the end the program sends the remaining setdown
// commands, writes the accounts to stderr and exits with 0 (balanced), 1 (plug-in could not be set
// up), 2 (malformed stream) or 3 (accounts imbalance).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ae_params.h"
#include "fxhost/pixel_depth.h"

namespace fxhost::protocol {

inline constexpr std::uint32_t kRequestMagic = 0x32465846;  // "FXF2"
inline constexpr std::uint32_t kReplyMagic = 0x32525846;    // "FXR2"
inline constexpr std::uint32_t kMaxParamSlots = 4096;
inline constexpr std::uint32_t kMaxDownsample = 64;

inline constexpr std::uint32_t kGivenRect = 1;
inline constexpr std::uint32_t kGivenOrigin = 2;
inline constexpr std::uint32_t kGivenDownsample = 4;

inline constexpr std::int32_t kStatusMalformed = -1;   // the stream ends after this reply
inline constexpr std::int32_t kStatusParamCount = -2;  // slot count differs from the plug-in's
inline constexpr std::int32_t kStatusParamType = -3;   // a slot for a parameter type without one
inline constexpr std::int32_t kStatusHostWorld = -4;   // the host cannot make the frame's worlds
inline constexpr std::int32_t kStatusRegion = -5;      // a request or origin for the classic render

// Which part of the layer the host asks for, where the frame lies in it and at which resolution.
struct FrameRegion {
  std::uint32_t given = 0;  // kGiven* bits: the fields this region sets
  PF_LRect rect{};
  PF_Point origin{0, 0};
  std::uint32_t downsampleX = 1;
  std::uint32_t downsampleY = 1;
};

// `region` with the fields `over` sets taken from `over`.
FrameRegion overlay(FrameRegion region, const FrameRegion& over);

struct FrameRequest {
  PixelDepth depth = PixelDepth::Eight;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  FrameRegion region;
  std::vector<std::uint32_t> slots;
  std::vector<std::uint8_t> pixels;
};

struct FrameReply {
  std::int32_t status = 0;
  PixelDepth depth = PixelDepth::Eight;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  PF_Point origin{0, 0};
  std::string message;
  std::vector<std::uint8_t> pixels;
};

// Reads up to `count` bytes into the buffer and returns how many it read; fewer only at the end.
using ReadBytes = std::function<std::size_t(void* buffer, std::size_t count)>;

enum class ReadResult { Frame, End, Malformed };

// Writes all `count` bytes: false when they could not all be written.
using WriteBytes = std::function<bool(const void* bytes, std::size_t count)>;

// A frame as bytes, whole, or only what comes before its pixels.
std::vector<std::uint8_t> encodeRequest(const FrameRequest& request);
std::vector<std::uint8_t> encodeReply(const FrameReply& reply);
std::vector<std::uint8_t> encodeRequestHead(const FrameRequest& request);
std::vector<std::uint8_t> encodeReplyHead(const FrameReply& reply);
// Writes a reply without gathering its pixels behind its head first: a frame can be large.
bool writeReply(const FrameReply& reply, const WriteBytes& write);
ReadResult readRequest(const ReadBytes& read, FrameRequest& request, std::string& error);
ReadResult readReply(const ReadBytes& read, FrameReply& reply, std::string& error);

std::size_t frameBytes(PixelDepth depth, std::uint32_t width, std::uint32_t height);

// The frame as the host renders it at 1/nx by 1/ny of its size: ceil(width / nx) by
// ceil(height / ny) pixels, each the top-left pixel of its nx-by-ny block.
std::vector<std::uint8_t> downsamplePixels(PixelDepth depth, std::uint32_t width, std::uint32_t height,
                                           const std::vector<std::uint8_t>& pixels, std::uint32_t nx,
                                           std::uint32_t ny);
// A full-resolution rectangle at that resolution: left and top rounded down, right and bottom up,
// so that it covers every reduced pixel the full one touches; an empty one stays empty.
PF_LRect downsampleRect(const PF_LRect& rect, std::uint32_t nx, std::uint32_t ny);
// A full-resolution coordinate at that resolution, rounded down.
A_long downsampleCoordinate(A_long value, std::uint32_t n);

// Puts a slot's value into a parameter definition; false for a type that carries no slot value.
bool applyParamSlot(PF_ParamDef& def, std::uint32_t slot);

}  // namespace fxhost::protocol
