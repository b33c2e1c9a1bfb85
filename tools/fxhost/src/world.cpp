#include "fxhost/world.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "fxhost/host_error.h"

namespace fxhost {
namespace {

// Worlds are made and dropped on every thread that renders.
std::mutex gRegistryMutex;

std::map<const void*, const OwnedWorld*>& registry() {
  static std::map<const void*, const OwnedWorld*> worlds;
  return worlds;
}

}  // namespace

OwnedWorld::OwnedWorld(PixelDepth depth, A_long width, A_long height, A_long rowPadding, std::uint8_t fill)
    : depth_(depth) {
  if (width < 0 || height < 0 || width > PF_MAX_WORLD_WIDTH || height > PF_MAX_WORLD_HEIGHT) {
    throw HostError("world size " + std::to_string(width) + "x" + std::to_string(height) + " out of range");
  }
  if (rowPadding < 0 || static_cast<std::size_t>(rowPadding) % bytesPerChannel(depth) != 0) {
    throw HostError("row padding " + std::to_string(rowPadding) + " does not keep channels aligned");
  }
  const std::size_t packedRow = static_cast<std::size_t>(width) * bytesPerPixel(depth);
  const std::size_t stride = packedRow + static_cast<std::size_t>(rowPadding);
  // Never a null or shared pixel address, even for an empty world: the address is the world's name.
  bytes_.assign(std::max<std::size_t>(stride * static_cast<std::size_t>(height), 16), rowPadding == 0 ? fill : kPaddingByte);
  if (rowPadding != 0) {
    for (A_long y = 0; y < height; ++y) std::memset(bytes_.data() + stride * static_cast<std::size_t>(y), fill, packedRow);
  }

  world_.world_flags = depth == PixelDepth::Sixteen ? PF_WorldFlag_DEEP : 0;
  world_.data = reinterpret_cast<PF_PixelPtr>(bytes_.data());
  world_.rowbytes = static_cast<A_long>(stride);
  world_.width = width;
  world_.height = height;
  world_.extent_hint = PF_LRect{0, 0, width, height};
  world_.pix_aspect_ratio = PF_RationalScale{1, 1};
  const std::lock_guard lock(gRegistryMutex);
  registry()[bytes_.data()] = this;
}

OwnedWorld::~OwnedWorld() {
  const std::lock_guard lock(gRegistryMutex);
  registry().erase(bytes_.data());
}

std::vector<std::uint8_t> OwnedWorld::packedPixels() const {
  const std::size_t packedRow = static_cast<std::size_t>(width()) * bytesPerPixel(depth_);
  std::vector<std::uint8_t> pixels(packedRow * static_cast<std::size_t>(height()));
  for (A_long y = 0; y < height(); ++y) std::memcpy(pixels.data() + packedRow * static_cast<std::size_t>(y), row(y), packedRow);
  return pixels;
}

void OwnedWorld::setPackedPixels(std::span<const std::uint8_t> pixels) {
  const std::size_t packedRow = static_cast<std::size_t>(width()) * bytesPerPixel(depth_);
  if (pixels.size() != packedRow * static_cast<std::size_t>(height())) {
    throw HostError("expected " + std::to_string(packedRow * static_cast<std::size_t>(height())) +
                    " bytes of pixels, got " + std::to_string(pixels.size()));
  }
  for (A_long y = 0; y < height(); ++y) std::memcpy(row(y), pixels.data() + packedRow * static_cast<std::size_t>(y), packedRow);
}

bool OwnedWorld::paddingUntouched() const {
  const std::size_t packedRow = static_cast<std::size_t>(width()) * bytesPerPixel(depth_);
  for (A_long y = 0; y < height(); ++y) {
    const std::uint8_t* end = row(y) + rowStride();
    if (std::any_of(row(y) + packedRow, end, [](std::uint8_t b) { return b != kPaddingByte; })) return false;
  }
  return true;
}

const OwnedWorld* findWorld(const void* data) {
  const std::lock_guard lock(gRegistryMutex);
  const auto found = registry().find(data);
  return found == registry().end() ? nullptr : found->second;
}

}  // namespace fxhost
