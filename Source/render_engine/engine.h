// The edge-smoothing engine: one entry point over explicit image views.
//
// The engine sees ARGB pixels (memory order alpha, red, green, blue, straight alpha) at one of three
// depths, the effect's parameter values and a caller-supplied zeroed edge-map buffer. It includes no
// host or platform header, so the plug-in, the command-line tool, the tests and the fuzzer all run the
// very same code.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaline {

enum class Depth {
  U8,   // four unsigned bytes, full scale 255
  U16,  // four unsigned 16-bit channels, full scale 32768
  F32,  // four 32-bit floats, full scale 1.0
};

enum class SourceMode {
  Plain,      // source pixels are read as they are
  Key,        // pixels matching the key colour become transparent
  KeyInvert,  // pixels not matching the key colour become transparent
};

// A rectangle of pixels. rowbytes is the distance between the starts of two rows and may exceed
// width * pixel size; input and output views of one render may have different rowbytes.
struct ImageView {
  const void* data = nullptr;
  std::ptrdiff_t rowbytes = 0;
  int width = 0;
  int height = 0;
};

struct MutableImageView {
  void* data = nullptr;
  std::ptrdiff_t rowbytes = 0;
  int width = 0;
  int height = 0;
};

// The effect's parameter values, as the user sets them (thresholds in 8-bit colour units).
struct Params {
  std::int32_t colorThreshold = 10;     // 0..1020 (the effect offers 1..1020)
  std::int32_t softness = 70;           // 0..100
  std::int32_t bias = 0;                // 0..100
  std::uint8_t keyColor[4] = {255, 0, 0, 0};  // alpha, red, green, blue; alpha is not used
  std::int32_t keyColorThreshold = 0;   // 0..1020
};

// The widest image the engine takes: its map stride must fit a 32-bit signed integer.
constexpr int kMaxWidth = 0x7FFFFFF0;

// Bytes of one edge-map row for an image of the given width: the smallest multiple of 4 that is
// not less than width + 5 (four zero entries left of column 0, at least one right of the last).
std::int32_t MapStride(int width);

// Bytes the edge map needs for an image of width x height: (height + 2) * MapStride(width); 0 for a
// size the engine does not take.
std::size_t EdgeMapBytes(int width, int height);

// Bytes of one pixel at the given depth (4, 8 or 16).
std::size_t PixelBytes(Depth depth);

// What an edge-map entry records: which of the pixel's neighbour pairs differ by more than the
// colour threshold. The entry of pixel (x, y) of a w-pixel-wide image is byte
// (y + 1) * MapStride(w) + 4 + x of the map buffer.
enum EdgeBits : std::uint8_t {
  EdgeRight = 0x01,         // (x, y) differs from (x + 1, y)
  EdgeBelow = 0x02,         // (x, y) differs from (x, y + 1)
  EdgeDiagonal = 0x04,      // (x, y) differs from (x + 1, y + 1)
  EdgeAntiDiagonal = 0x08,  // (x + 1, y) differs from (x, y + 1)
};

// Why a render did not run. The output is untouched in every case.
enum class RenderStatus {
  Ok,
  SizeMismatch,  // input and output differ in width or height
  BadView,       // negative or too large a size, null data for a non-empty view, or a view
                 // whose rows overlap each other
  BadParams,     // a parameter outside its range (thresholds 0..1020, softness and bias 0..100)
};

// Renders `in` into `out`: copies the input (through the colour key in the key modes), returns at
// softness 0, builds the edge map in `zeroedMap` and smooths every edge. `zeroedMap` must hold
// EdgeMapBytes(width, height) zero bytes; the engine writes it. `in` and `out` must not overlap.
RenderStatus Render(Depth depth, SourceMode mode, const ImageView& in, const MutableImageView& out,
                    const Params& params, std::uint8_t* zeroedMap);

// The stages of Render, for callers that make the copy themselves (the plug-in uses the host's copy
// in the plain mode). Both expect views of equal, valid size.
//
// CopyStage copies `in` into `out`; in the key modes alpha is forced to 0 where the key removes
// the pixel.
void CopyStage(Depth depth, SourceMode mode, const ImageView& in, const MutableImageView& out,
               const Params& params);
// Smooth builds the edge map from `out` (which must hold the copy of `in`) and scans it. Does
// nothing at softness 0.
void Smooth(Depth depth, SourceMode mode, const ImageView& in, const MutableImageView& out,
            const Params& params, std::uint8_t* zeroedMap);
// EdgeMapStage builds into `zeroedMap` the very map Smooth would build from `copy` (the output of
// CopyStage), without smoothing: what the render detects, for callers that show it. Like Smooth it
// builds nothing at softness 0.
void EdgeMapStage(Depth depth, const ImageView& copy, const Params& params, std::uint8_t* zeroedMap);

// The instruction-set paths the kernels are built for. Every path gives the same output bits; the
// wider ones are faster.
enum class EnginePath {
  Portable,  // no SIMD code
  Sse2,      // SSE2, which every x86-64 processor has
  Avx2,      // AVX2 with BMI1 and BMI2
};

// The path the engine's calls take. Chosen at the first call: the one the environment variable
// TESSALINE_ENGINE_PATH names ("portable", "sse2" or "avx2") when this build and processor run it,
// otherwise the widest they run.
EnginePath ActiveEnginePath();
const char* EnginePathName(EnginePath path);
// Whether this build has the path and the processor runs it.
bool EnginePathAvailable(EnginePath path);
// Makes every later call take `path`, for tests and benchmarks that run each path in turn. Returns
// false, and changes nothing, when the path is not available. Not for use while renders run.
bool UseEnginePath(EnginePath path);

}  // namespace tessaline
