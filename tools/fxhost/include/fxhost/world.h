#pragma once
// Image buffers the host owns: the frames it hands to the plug-in and the worlds the plug-in asks
// it to make. Every buffer is registered by its pixel address while it lives, so that the host can
// answer for any copy of its PF_EffectWorld record (pixel format, geometry) as the real host does.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "ae_types.h"
#include "ae_world.h"
#include "fxhost/pixel_depth.h"

namespace fxhost {

class OwnedWorld {
 public:
  // `rowPadding` bytes follow each row; it must keep channels aligned. Pixels start as `fill`
  // bytes, the padding as kPaddingByte so that writes past a row's end can be seen.
  OwnedWorld(PixelDepth depth, A_long width, A_long height, A_long rowPadding = 0, std::uint8_t fill = 0);
  ~OwnedWorld();
  OwnedWorld(const OwnedWorld&) = delete;
  OwnedWorld& operator=(const OwnedWorld&) = delete;

  static constexpr std::uint8_t kPaddingByte = 0xEE;

  PF_EffectWorld* world() { return &world_; }
  const PF_EffectWorld* world() const { return &world_; }
  PixelDepth depth() const { return depth_; }
  A_long width() const { return world_.width; }
  A_long height() const { return world_.height; }
  A_long rowbytes() const { return world_.rowbytes; }
  std::size_t byteCount() const { return bytes_.size(); }  // the buffer, row padding included
  std::uint8_t* row(A_long y) { return bytes_.data() + static_cast<std::size_t>(y) * rowStride(); }
  const std::uint8_t* row(A_long y) const { return bytes_.data() + static_cast<std::size_t>(y) * rowStride(); }

  // The pixels row after row without padding, the layout of the program's stream.
  std::vector<std::uint8_t> packedPixels() const;
  void setPackedPixels(std::span<const std::uint8_t> pixels);
  bool paddingUntouched() const;

 private:
  std::size_t rowStride() const { return static_cast<std::size_t>(world_.rowbytes); }

  PixelDepth depth_;
  std::vector<std::uint8_t> bytes_;
  PF_EffectWorld world_{};
};

// The live buffer whose pixels start at `data`, or null: how the host recognises a world record
// the plug-in hands back, whichever copy of the record it is.
const OwnedWorld* findWorld(const void* data);

}  // namespace fxhost
