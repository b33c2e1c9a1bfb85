#pragma once
// The stream protocol of `fxhost.exe PLUGIN render`: frames in on stdin, rendered frames out on
// stdout, many frames per start of the program (and of Wine).
//
// All integers are little-endian.
//
// Request, one per frame:
//   u32  magic      kRequestMagic, the bytes "FXFR"
//   u32  depth      bits per channel: 8, 16 or 32
//   u32  width      0 to PF_MAX_WORLD_WIDTH (30000)
//   u32  height     0 to PF_MAX_WORLD_HEIGHT (30000)
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
//
// Reply, one per request:
//   u32  magic      kReplyMagic, the bytes "FXRS"
//   i32  status     0 success; above 0 the plug-in's PF_Err; below 0 a kStatus* code of the host
//   u32  depth, width, height   as requested
//   u32  length     then `length` bytes of text: the plug-in's return_msg or the host's reason
//   pixels          only when status is 0: the output frame in the request's layout
//
// Frame k of the session (counting from 0) renders at time k * time step, its slot values set as
// keyframes at that time; with --threads N up to N frames render at once, and replies still come
// in the order of the requests.
//
// End of input at a frame boundary ends the session normally. A request that cannot be read
// (bad magic, depth, sizes, or the input ends inside it) gets a kStatusMalformed reply and ends
// the session. At the end the program sends the remaining setdown commands, writes the accounts
// to stderr and exits with 0 (balanced), 1 (plug-in could not be set up), 2 (malformed stream)
// or 3 (accounts imbalance).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ae_params.h"
#include "fxhost/pixel_depth.h"

namespace fxhost::protocol {

inline constexpr std::uint32_t kRequestMagic = 0x52465846;  // "FXFR"
inline constexpr std::uint32_t kReplyMagic = 0x53525846;    // "FXRS"
inline constexpr std::uint32_t kMaxParamSlots = 4096;

inline constexpr std::int32_t kStatusMalformed = -1;   // the stream ends after this reply
inline constexpr std::int32_t kStatusParamCount = -2;  // slot count differs from the plug-in's
inline constexpr std::int32_t kStatusParamType = -3;   // a slot for a parameter type without one
inline constexpr std::int32_t kStatusHostWorld = -4;   // the host cannot make the frame's worlds

struct FrameRequest {
  PixelDepth depth = PixelDepth::Eight;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint32_t> slots;
  std::vector<std::uint8_t> pixels;
};

struct FrameReply {
  std::int32_t status = 0;
  PixelDepth depth = PixelDepth::Eight;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::string message;
  std::vector<std::uint8_t> pixels;
};

// Reads up to `count` bytes into the buffer and returns how many it read; fewer only at the end.
using ReadBytes = std::function<std::size_t(void* buffer, std::size_t count)>;

enum class ReadResult { Frame, End, Malformed };

std::vector<std::uint8_t> encodeRequest(const FrameRequest& request);
std::vector<std::uint8_t> encodeReply(const FrameReply& reply);
ReadResult readRequest(const ReadBytes& read, FrameRequest& request, std::string& error);
ReadResult readReply(const ReadBytes& read, FrameReply& reply, std::string& error);

std::size_t frameBytes(PixelDepth depth, std::uint32_t width, std::uint32_t height);

// Puts a slot's value into a parameter definition; false for a type that carries no slot value.
bool applyParamSlot(PF_ParamDef& def, std::uint32_t slot);

}  // namespace fxhost::protocol
