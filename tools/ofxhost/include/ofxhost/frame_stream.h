#pragma once
// The stream of `ofxhost BUNDLE render`: frames in on stdin, rendered windows out on stdout, many
// frames per start of the program. All integers are little-endian.
//
// Request, one per frame:
//   u32  magic     kRequestMagic, the bytes "OXF1"
//   u32  depth     bits per channel: 8, 16 or 32 (float)
//   u32  channels  3 (RGB) or 4 (RGBA)
//   u32  storage   0 opaque, 1 premultiplied, 2 straight (unpremultiplied)
//   i32  bounds[4] x1, y1, x2, y2: the source's region of definition in pixels, at most kMaxSide
//                  on a side
//   i32  window[4] the render window in pixels; an empty one (x1 >= x2 or y1 >= y2) asks for the
//                  whole output
//   u32  count     parameters set before this frame renders (the others keep their values), each:
//                    u32 length, then the name's bytes; u32 values, then that many f64
//   pixels         the rows of `bounds` bottom-up (row y1 first), each pixel R, G, B[, A], no padding
//
// Reply, one per request, in the order of the requests:
//   u32  magic     kReplyMagic, the bytes "OXR1"
//   i32  status    kRendered, kIdentity (the host copied the source) or kFailed
//   u32  depth, channels, storage   of the pixels that follow
//   i32  window[4] the window rendered (the request's, inside the output)
//   u32  length    then that many bytes of text: why it failed, or empty
//   pixels         unless failed: the rows of the window bottom-up, as in the request
//
// Frames of one source format render in one instance of the effect. With --threads N up to N
// frames (or, with --tiles, windows of frames) render at once.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ofxhost/host.h"

namespace ofxhost::stream {

inline constexpr std::uint32_t kRequestMagic = 0x3146584F;  // "OXF1"
inline constexpr std::uint32_t kReplyMagic = 0x3152584F;    // "OXR1"
inline constexpr int kMaxSide = 32768;
inline constexpr std::int32_t kRendered = 0;
inline constexpr std::int32_t kIdentity = 1;
inline constexpr std::int32_t kFailed = -1;

struct Request {
  Frame source;
  OfxRectI window{};  // empty for the whole output
  std::vector<std::pair<std::string, std::vector<double>>> params;
};

struct Reply {
  std::int32_t status = kRendered;
  std::string text;
  Frame output;
};

// Reads through `read(buffer, count)`, which returns the bytes it read. False at a clean end of
// the stream (no byte of a request); throws std::runtime_error for a malformed one.
bool ReadRequest(const std::function<std::size_t(void*, std::size_t)>& read, Request& request);
std::string EncodeRequest(const Request& request);
void ReadReply(const std::function<std::size_t(void*, std::size_t)>& read, Reply& reply);
std::string EncodeReply(const Reply& reply);

}  // namespace ofxhost::stream
