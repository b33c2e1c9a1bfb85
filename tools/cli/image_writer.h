// Writing an image file of one or more subimages (parts, pages) atomically, with every failure of
// the writer, the disk or the folder reported and nothing half-written left behind.
#pragma once

#include <OpenImageIO/imageio.h>

#include <memory>
#include <string>
#include <vector>

namespace tessaline::cli {

// One subimage: its layout and metadata, and its samples interleaved in the spec's own per-channel
// formats (what OpenImageIO calls native data).
struct SubimageData {
  OIIO::ImageSpec spec;
  const void* samples = nullptr;
};

// The writer for the format `path`'s extension names. Throws CliError for an extension no writer takes.
std::unique_ptr<OIIO::ImageOutput> CreateWriter(const std::string& path);

// Writes `subimages` with `writer` through a temporary file that replaces the file at `path` only
// once every byte has reached the disk and the file reads back with every subimage and channel.
// Throws CliError; on failure the file at `path` is as it was.
void WriteImageFile(std::unique_ptr<OIIO::ImageOutput> writer, const std::string& path,
                    const std::vector<SubimageData>& subimages);

}  // namespace tessaline::cli
