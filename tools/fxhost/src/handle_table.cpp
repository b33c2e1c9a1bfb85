#include "handle_table.h"

#include <algorithm>

namespace fxhost::detail {
namespace {

void place(std::vector<std::uint8_t>& storage, std::size_t size) {
  // Never a null data pointer, even for an empty handle.
  storage.resize(std::max<std::size_t>(size, 1));
}

}  // namespace

HandleTable::Entry* HandleTable::find(PF_Handle handle, const char* function) {
  const auto found = entries_.find(handle);
  if (found != entries_.end()) return found->second.get();
  accounts_.imbalance(accounts_.where() + ": " + function + " of a handle the host did not allocate");
  return nullptr;
}

PF_Handle HandleTable::allocate(std::size_t size) {
  auto entry = std::make_unique<Entry>();
  place(entry->storage, size);
  entry->data = entry->storage.data();
  entry->size = size;
  entry->origin = accounts_.where();
  PF_Handle handle = &entry->data;
  entries_.emplace(handle, std::move(entry));
  accounts_.handleAllocated();
  return handle;
}

void* HandleTable::lock(PF_Handle handle) {
  Entry* entry = find(handle, "host_lock_handle");
  if (entry == nullptr) return nullptr;
  ++entry->locks;
  accounts_.handleLocked();
  return entry->data;
}

void HandleTable::unlock(PF_Handle handle) {
  Entry* entry = find(handle, "host_unlock_handle");
  if (entry == nullptr) return;
  if (entry->locks == 0) {
    accounts_.imbalance(accounts_.where() + ": host_unlock_handle of a handle that is not locked");
    return;
  }
  --entry->locks;
  accounts_.handleUnlocked();
}

void HandleTable::dispose(PF_Handle handle) {
  Entry* entry = find(handle, "host_dispose_handle");
  if (entry == nullptr) return;
  if (entry->locks != 0) {
    accounts_.imbalance(accounts_.where() + ": host_dispose_handle of a handle still locked " +
                        std::to_string(entry->locks) + " time(s)");
  }
  entries_.erase(handle);
  accounts_.handleDisposed();
}

std::optional<std::size_t> HandleTable::size(PF_Handle handle) const {
  const auto found = entries_.find(handle);
  if (found == entries_.end()) return std::nullopt;
  return found->second->size;
}

PF_Err HandleTable::resize(std::size_t size, PF_Handle* handle) {
  if (handle == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  Entry* entry = find(*handle, "host_resize_handle");
  if (entry == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  // Memory behind a lock must not move.
  if (entry->locks != 0) return PF_Err_BAD_CALLBACK_PARAM;
  place(entry->storage, size);
  entry->data = entry->storage.data();
  entry->size = size;
  return PF_Err_NONE;
}

int HandleTable::locks(PF_Handle handle) const {
  const auto found = entries_.find(handle);
  return found == entries_.end() ? 0 : found->second->locks;
}

std::vector<std::uint8_t> HandleTable::bytes(PF_Handle handle) const {
  const auto found = entries_.find(handle);
  if (found == entries_.end()) return {};
  const Entry& entry = *found->second;
  return {entry.storage.begin(), entry.storage.begin() + static_cast<std::ptrdiff_t>(entry.size)};
}

void HandleTable::beginCommand() {
  for (auto& [handle, entry] : entries_) entry->locksAtCommandStart = entry->locks;
}

void HandleTable::endCommand() {
  for (auto& [handle, entry] : entries_) {
    // Handles made during this command started from zero locks.
    const int delta = entry->locks - entry->locksAtCommandStart;
    if (delta > 0) {
      accounts_.imbalance(accounts_.where() + ": a handle of " + std::to_string(entry->size) + " bytes locked " +
                          std::to_string(delta) + " time(s) more than unlocked");
    } else if (delta < 0) {
      accounts_.imbalance(accounts_.where() + ": a handle of " + std::to_string(entry->size) +
                          " bytes unlocked more often than locked");
    }
    entry->locksAtCommandStart = entry->locks;
  }
}

std::vector<std::string> HandleTable::outstanding() const {
  std::vector<std::string> messages;
  for (const auto& [handle, entry] : entries_) {
    messages.push_back("a handle of " + std::to_string(entry->size) + " bytes allocated during " + entry->origin +
                       " was never disposed of");
  }
  return messages;
}

}  // namespace fxhost::detail
