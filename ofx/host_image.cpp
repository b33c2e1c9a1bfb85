#include "host_image.h"

#include <new>

#include "suites.h"

namespace tessaline::ofx {

HostImage::HostImage(OfxImageClipHandle clip, OfxTime time) {
  if (Host().effect->clipGetImage(clip, time, nullptr, &handle_) != kOfxStatOK || handle_ == nullptr) {
    handle_ = nullptr;
    throw OfxError{kOfxStatFailed};
  }
  try {
    const Properties p(handle_);
    depth = p.String(kOfxImageEffectPropPixelDepth);
    components = p.String(kOfxImageEffectPropComponents);
    const std::string storage = p.String(kOfxImageEffectPropPreMultiplication);
    premultiplied = storage == kOfxImagePreMultiplied;
    opaque = storage == kOfxImageOpaque;
    bounds = p.RectI(kOfxImagePropBounds);
    rowBytes = p.Int(kOfxImagePropRowBytes);
    data_ = p.Pointer(kOfxImagePropData);
  } catch (...) {
    Host().effect->clipReleaseImage(handle_);
    throw;
  }
}

HostImage::~HostImage() {
  if (handle_ != nullptr) Host().effect->clipReleaseImage(handle_);
}

int HostImage::Channels() const {
  if (components == kOfxImageComponentRGBA) return 4;
  if (components == kOfxImageComponentRGB) return 3;
  return 0;
}

HostMemory::HostMemory(OfxImageEffectHandle effect, std::size_t bytes) {
  if (Host().effect->imageMemoryAlloc(effect, bytes, &handle_) == kOfxStatOK && handle_ != nullptr) {
    if (Host().effect->imageMemoryLock(handle_, &data_) == kOfxStatOK && data_ != nullptr) return;
    Host().effect->imageMemoryFree(handle_);
  }
  handle_ = nullptr;
  heap_.reset(new (std::nothrow) unsigned char[bytes]);
  data_ = heap_.get();
  if (data_ == nullptr) throw OfxError{kOfxStatErrMemory};
}

HostMemory::~HostMemory() {
  if (handle_ == nullptr) return;
  Host().effect->imageMemoryUnlock(handle_);
  Host().effect->imageMemoryFree(handle_);
}

}  // namespace tessaline::ofx
