// Image files in and out: reading a file into the engine's ARGB pixels and writing them back in the
// file's own format, depth and channel layout.
#pragma once

#include <OpenImageIO/imageio.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine.h"

namespace tessaline::cli {

// A failure to report to the user: one line, without the "tessaline: " prefix.
struct CliError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// 16-bit files hold 0..65535 but the 16-bit kernels work on 0..32768. Both directions round to the
// nearest value, so every engine value goes out to the file and comes back unchanged.
constexpr std::uint16_t FileToEngine16(std::uint16_t v) {
  return static_cast<std::uint16_t>((v * 32768u + 32767u) / 65535u);
}
// u must not exceed 32768.
constexpr std::uint16_t EngineToFile16(std::uint16_t u) {
  return static_cast<std::uint16_t>((u * 65535u + 16384u) / 32768u);
}

// An image as the engine sees it, plus what the output file needs to match the input file.
struct Image {
  Depth depth = Depth::U8;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // height rows of width ARGB pixels at `depth`, no padding
  OIIO::ImageSpec fileSpec;          // the input file's layout and metadata
  std::string fileFormat;            // the input file's format, as OpenImageIO names it ("png")

  bool HasAlpha() const { return fileSpec.alpha_channel >= 0; }
  std::ptrdiff_t RowBytes() const {
    return static_cast<std::ptrdiff_t>(PixelBytes(depth)) * static_cast<std::ptrdiff_t>(width);
  }
  ImageView View() const { return {pixels.data(), RowBytes(), width, height}; }
  MutableImageView MutableView() { return {pixels.data(), RowBytes(), width, height}; }
};

// Reads the first subimage of a file with 1 (grey), 2 (grey, alpha), 3 (RGB) or 4 (RGBA) channels
// of 8-bit or 16-bit unsigned integers, halfs or floats. Grey becomes R = G = B; a file without
// alpha gets full alpha. Throws CliError.
Image ReadImage(const std::string& path);

// Writes `image` to `path` in the format, depth and channel layout it was read with, through a
// temporary file beside `path` that replaces it only once complete. On failure nothing at `path`
// changes and the temporary file is gone. Throws CliError.
void WriteImage(const Image& image, const std::string& path);

}  // namespace tessaline::cli
