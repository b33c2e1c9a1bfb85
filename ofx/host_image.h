// An image of a clip, held for the length of one action, and image memory from the host; both
// are handed back however the action ends.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "ofx_image_effect.h"

namespace tessaline::ofx {

class HostImage {
 public:
  // The clip's image at `time`, as the host supplies it (the region the effect asked for).
  HostImage(OfxImageClipHandle clip, OfxTime time);
  ~HostImage();
  HostImage(const HostImage&) = delete;
  HostImage& operator=(const HostImage&) = delete;

  std::string depth;       // kOfxBitDepth*
  std::string components;  // kOfxImageComponent*
  bool premultiplied = false;
  bool opaque = false;  // its alpha means nothing: every pixel is whole
  OfxRectI bounds{};
  std::ptrdiff_t rowBytes = 0;  // negative when the rows are stored top-down

  int Channels() const;  // 4 for RGBA, 3 for RGB, 0 for anything else
  const void* Data() const { return data_; }
  // The pixel at (x, y) in pixel coordinates, inside `bounds`; rows run upwards from bounds.y1.
  template <class T>
  T* Pixel(int x, int y) const {
    auto* row = static_cast<unsigned char*>(data_) + (y - bounds.y1) * rowBytes;
    return reinterpret_cast<T*>(row) + static_cast<std::ptrdiff_t>(x - bounds.x1) * Channels();
  }

 private:
  OfxPropertySetHandle handle_ = nullptr;
  void* data_ = nullptr;
};

class HostMemory {
 public:
  // `bytes` of the host's image memory for `effect`, locked, so that the host counts them with its
  // images; from the heap when the host will not give them. Throws OfxError{kOfxStatErrMemory}.
  HostMemory(OfxImageEffectHandle effect, std::size_t bytes);
  ~HostMemory();
  HostMemory(const HostMemory&) = delete;
  HostMemory& operator=(const HostMemory&) = delete;

  template <class T>
  T* As() const {
    return static_cast<T*>(data_);
  }

 private:
  OfxImageMemoryHandle handle_ = nullptr;
  std::unique_ptr<unsigned char[]> heap_;
  void* data_ = nullptr;
};

}  // namespace tessaline::ofx
