#include "world_ops.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace fxhost::detail {
namespace {

// Memory of a new world that the plug-in did not ask to be cleared holds this, never zeros.
constexpr std::uint8_t kUnclearedByte = 0xCD;

bool insideWorld(const PF_Rect& rect, const OwnedWorld& world) {
  return rect.left >= 0 && rect.top >= 0 && rect.left <= rect.right && rect.top <= rect.bottom &&
         rect.right <= world.width() && rect.bottom <= world.height();
}

// The registered world behind a record, when the record still describes it faithfully.
const OwnedWorld* knownWorld(HostCore& host, const PF_EffectWorld* world, const char* function) {
  const OwnedWorld* owned = world == nullptr ? nullptr : findWorld(world->data);
  if (owned == nullptr) {
    host.accounts.imbalance(host.accounts.where() + ": " + function + " of a world the host does not know");
    return nullptr;
  }
  if (world->width != owned->width() || world->height != owned->height() || world->rowbytes != owned->rowbytes()) {
    host.accounts.imbalance(host.accounts.where() + ": " + function + " of a world record whose size was changed");
    return nullptr;
  }
  return owned;
}

}  // namespace

PF_Err makeWorld(HostCore& host, A_long width, A_long height, PixelDepth depth, bool clear, PF_EffectWorld* world) {
  if (world == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  *world = PF_EffectWorld{};
  if (Faults::due(host.faults.newWorldError, host.faults.newWorldSuccessesFirst)) return host.faults.newWorldError;
  if (width < 0 || height < 0 || width > PF_MAX_WORLD_WIDTH || height > PF_MAX_WORLD_HEIGHT) {
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  const auto start = std::chrono::steady_clock::now();
  auto owned = std::make_unique<OwnedWorld>(depth, width, height, host.options.newWorldRowPadding,
                                            clear ? std::uint8_t{0} : kUnclearedByte);
  host.records.worldMakingMilliseconds +=
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  owned->world()->world_flags |= PF_WorldFlag_WRITEABLE;
  *world = *owned->world();
  host.records.worldBytes += owned->byteCount();
  host.records.worldBytesPeak = std::max(host.records.worldBytesPeak, host.records.worldBytes);
  host.accounts.worldCreated(owned->world()->data);
  host.pluginWorlds.push_back(std::move(owned));
  return PF_Err_NONE;
}

PF_Err disposeWorld(HostCore& host, PF_EffectWorld* world) {
  if (world == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  const auto found = std::find_if(host.pluginWorlds.begin(), host.pluginWorlds.end(),
                                  [&](const auto& owned) { return owned->world()->data == world->data; });
  if (!host.accounts.worldDisposed(world->data) || found == host.pluginWorlds.end()) return PF_Err_BAD_CALLBACK_PARAM;
  host.records.worldBytes -= (*found)->byteCount();
  host.pluginWorlds.erase(found);
  return host.faults.disposeWorldError;
}

PF_Err copyWorld(HostCore& host, const PF_EffectWorld* source, PF_EffectWorld* destination,
                 const PF_Rect* sourceRect, const PF_Rect* destinationRect) {
  CopyRecord& record = host.records.copies.emplace_back();
  record.wholeSource = sourceRect == nullptr;
  record.wholeDestination = destinationRect == nullptr;
  if (sourceRect != nullptr) record.sourceRect = *sourceRect;
  if (destinationRect != nullptr) record.destinationRect = *destinationRect;
  const auto finish = [&](PF_Err result) { return record.result = result; };

  if (host.faults.copyError != 0) return finish(host.faults.copyError);
  const OwnedWorld* from = knownWorld(host, source, "copy");
  const OwnedWorld* to = knownWorld(host, destination, "copy");
  if (from == nullptr || to == nullptr || from->depth() != to->depth()) return finish(PF_Err_BAD_CALLBACK_PARAM);
  const PF_Rect src = sourceRect != nullptr ? *sourceRect : PF_Rect{0, 0, from->width(), from->height()};
  const PF_Rect dst = destinationRect != nullptr ? *destinationRect : PF_Rect{0, 0, to->width(), to->height()};
  if (!insideWorld(src, *from) || !insideWorld(dst, *to)) return finish(PF_Err_BAD_CALLBACK_PARAM);
  if (src.right - src.left != dst.right - dst.left || src.bottom - src.top != dst.bottom - dst.top) {
    // The host only copies; a copy that would have to scale is not offered.
    return finish(PF_Err_BAD_CALLBACK_PARAM);
  }
  const std::size_t pixel = bytesPerPixel(from->depth());
  const std::size_t rowLength = static_cast<std::size_t>(src.right - src.left) * pixel;
  auto* target = reinterpret_cast<std::uint8_t*>(destination->data);
  for (A_long y = 0; y < src.bottom - src.top; ++y) {
    const std::uint8_t* in = from->row(src.top + y) + static_cast<std::size_t>(src.left) * pixel;
    std::uint8_t* out = target + static_cast<std::size_t>(dst.top + y) * static_cast<std::size_t>(to->rowbytes()) +
                        static_cast<std::size_t>(dst.left) * pixel;
    std::memmove(out, in, rowLength);
  }
  return finish(PF_Err_NONE);
}

PF_Err worldPixelFormat(HostCore& host, const PF_EffectWorld* world, PF_PixelFormat* format) {
  if (format == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  if (host.faults.pixelFormatError != 0) return host.faults.pixelFormatError;
  const OwnedWorld* owned = knownWorld(host, world, "PF_GetPixelFormat");
  if (owned == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  *format = pixelFormatOf(owned->depth());
  return PF_Err_NONE;
}

}  // namespace fxhost::detail
