// Writing an image file of one or more subimages (parts, pages) atomically, with every failure of
// the writer, the disk or the folder reported and nothing half-written left behind.
#pragma once

#include <OpenImageIO/imageio.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

namespace tessaline::cli {

// One subimage: its layout and metadata, and its samples interleaved in the spec's own per-channel
// formats (what OpenImageIO calls native data).
struct SubimageData {
  OIIO::ImageSpec spec;
  const void* samples = nullptr;
};

// The index of the channel called `name`, or -1. Unlike the library's own lookup, which stops the
// program on an assertion, it is safe on a layout that names fewer channels than it has (some
// readers make such layouts of damaged or unusual files).
inline int ChannelIndex(const OIIO::ImageSpec& spec, std::string_view name) {
  const int named = std::min(spec.nchannels, static_cast<int>(spec.channelnames.size()));
  for (int c = 0; c < named; ++c) {
    if (spec.channelnames[static_cast<std::size_t>(c)] == name) return c;
  }
  return -1;
}

// The writer for the format `path`'s extension names. Throws CliError for an extension no writer takes.
std::unique_ptr<OIIO::ImageOutput> CreateWriter(const std::string& path);

// Whether the format `path`'s extension names can hold an alpha channel; empty when it names no
// format tessaline writes.
std::optional<bool> HoldsAlpha(const std::string& path);

// ".exr, .tif, .png, ...": an extension of every format tessaline writes that holds alpha, from the
// library's own list.
std::string ExtensionsHoldingAlpha();

// Writes `subimages` with `writer` through a temporary file that replaces the file at `path` only
// once every byte has reached the disk and the file reads back with every subimage and channel.
// Throws CliError; on failure the file at `path` is as it was.
void WriteImageFile(std::unique_ptr<OIIO::ImageOutput> writer, const std::string& path,
                    const std::vector<SubimageData>& subimages);

}  // namespace tessaline::cli
