// Image files in and out: one part of a file read into the engine's straight-alpha ARGB pixels, and
// the whole file written back (in its own format or converted on the way) with the smoothed colour in
// place and every other channel, part and page as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "atomic_file.h"  // InstallInterruptCleanup
#include "cli_error.h"
#include "engine.h"
#include "file_samples.h"  // FileToEngine16, EngineToFile16

namespace tessaline::cli {

// Everything of the input file that the output needs besides the smoothed pixels (image_io.cpp).
struct SourceFile;

// An image as the engine sees it, plus the file it came from.
struct Image {
  Depth depth = Depth::U8;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // height rows of width ARGB pixels at `depth`, no padding, straight alpha
  std::shared_ptr<const SourceFile> source;  // shared by copies: it never changes once read
  std::size_t set = 0;  // which of the file's chosen colour sets (part, layer or view) this is

  bool HasAlpha() const;
  std::ptrdiff_t RowBytes() const {
    return static_cast<std::ptrdiff_t>(PixelBytes(depth)) * static_cast<std::ptrdiff_t>(width);
  }
  ImageView View() const { return {pixels.data(), RowBytes(), width, height}; }
  MutableImageView MutableView() { return {pixels.data(), RowBytes(), width, height}; }
};

struct ReadOptions {
  // The part (EXR) or page (TIFF) to smooth, by name or by number from 0, or a layer or view inside
  // one ("diffuse", "right"). Empty: the first part with R, G and B channels (or a grey Y channel),
  // and A if it has one; failing that, the first layer with them.
  std::string part;
  bool allParts = false;  // every part, layer and view with colour channels
  // Refuse a file whose parts declare more pixels than this in all, before anything is allocated
  // for them; 0 for no limit.
  std::uint64_t maxPixels = 0;
};

// Reads every part of a file and the colour of what `options` chooses: one image per colour set
// (part, layer or view), all sharing the rest of the file. The colour channels must be 8-bit or
// 16-bit unsigned integers, halfs or floats; other channels may be anything. Grey becomes
// R = G = B; no alpha means full alpha; premultiplied files (OpenEXR, TIFF with associated alpha)
// are divided by alpha. Throws CliError.
std::vector<Image> ReadImages(const std::string& path, const ReadOptions& options = {});
// The first of them.
Image ReadImage(const std::string& path, const ReadOptions& options = {});

// Writes `images` (from one ReadImages call) to `path`, in the format its extension names: the
// smoothed colour in place of each set's R, G, B and A, premultiplied where the format stores it so,
// and every other channel, part, page and attribute as read. `withAlpha` gives a set that was read
// without alpha an alpha channel (named A, or LAYER.A), for the transparency a colour key makes.
// Pixels the engine left unchanged keep their stored samples bit for bit when the format is the
// input's. Atomic and safe to call from several threads for different paths. Throws CliError; on
// failure the file at `path` is as it was.
void WriteImages(const std::vector<Image>& images, const std::string& path, bool withAlpha = false);
void WriteImage(const Image& image, const std::string& path, bool withAlpha = false);

// Writes what the render detects (edge_view.cpp), atomically like WriteImage: an 8-bit RGB picture
// of the frame (through the colour key in the key modes) dimmed to a third, with every pixel whose
// edge-map entry has bits drawn at full strength in red for a step to the right, green for a step
// below and blue for a diagonal step, mixed where a pixel has several. Nothing is drawn at softness 0,
// where the render detects nothing.
void WriteEdges(const Image& input, const Params& params, SourceMode mode, const std::string& path);

}  // namespace tessaline::cli
