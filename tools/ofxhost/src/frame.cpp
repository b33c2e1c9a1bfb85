// Frames, names of depths and storages, and coordinates.
#include <cmath>

#include "host_internal.h"

namespace ofxhost {

const char* DepthName(BitDepth depth) {
  switch (depth) {
    case BitDepth::Byte: return kOfxBitDepthByte;
    case BitDepth::Short: return kOfxBitDepthShort;
    case BitDepth::Float: return kOfxBitDepthFloat;
  }
  return kOfxBitDepthNone;
}

const char* StorageName(Storage storage) {
  switch (storage) {
    case Storage::Opaque: return kOfxImageOpaque;
    case Storage::PreMultiplied: return kOfxImagePreMultiplied;
    case Storage::UnPreMultiplied: return kOfxImageUnPreMultiplied;
  }
  return kOfxImageOpaque;
}

const char* ComponentsName(int channels) {
  return channels == 4 ? kOfxImageComponentRGBA : channels == 3 ? kOfxImageComponentRGB : kOfxImageComponentNone;
}

std::size_t SampleBytes(BitDepth depth) {
  switch (depth) {
    case BitDepth::Byte: return 1;
    case BitDepth::Short: return 2;
    case BitDepth::Float: return 4;
  }
  return 1;
}

Frame::Frame(BitDepth d, int c, Storage s, OfxRectI b) : depth(d), channels(c), storage(s), bounds(b) {
  pixels.assign(RowBytes() * static_cast<std::size_t>(std::max(0, Height())), 0);
}

unsigned char* Frame::Pixel(int x, int y) {
  return pixels.data() + static_cast<std::size_t>(y - bounds.y1) * RowBytes() +
         static_cast<std::size_t>(x - bounds.x1) * PixelBytes();
}

const unsigned char* Frame::Pixel(int x, int y) const { return const_cast<Frame*>(this)->Pixel(x, y); }

OfxRectI ToPixels(const OfxRectD& r, double scale) {
  const auto down = [scale](double v) { return static_cast<int>(std::floor(v * scale)); };
  const auto up = [scale](double v) { return static_cast<int>(std::ceil(v * scale)); };
  return {down(r.x1), down(r.y1), up(r.x2), up(r.y2)};
}

OfxRectD ToCanonical(const OfxRectI& r, double scale) {
  return {r.x1 / scale, r.y1 / scale, r.x2 / scale, r.y2 / scale};
}

OfxRectI Intersect(const OfxRectI& a, const OfxRectI& b) {
  OfxRectI r{std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2), std::min(a.y2, b.y2)};
  if (r.x2 < r.x1) r.x2 = r.x1;
  if (r.y2 < r.y1) r.y2 = r.y1;
  return r;
}

std::vector<std::string> DescribedObject::Values(const std::string& property) const {
  for (const DescribedProperty& p : properties) {
    if (p.name == property) return p.values;
  }
  return {};
}

}  // namespace ofxhost
