#include "handle_table.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace fxhost::detail {
namespace {

std::size_t pageSize() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return info.dwPageSize;
}

}  // namespace

HandleMemory::HandleMemory(std::size_t size, bool guarded) {
  if (!guarded) {
    // Never a null data pointer, even for an empty handle.
    heap_.resize(std::max<std::size_t>(size, 1));
    data_ = heap_.data();
    return;
  }
  const std::size_t page = pageSize();
  const std::size_t dataPages = (size + page - 1) / page;
  const std::size_t total = (dataPages + 1) * page;
  reservation_ = VirtualAlloc(nullptr, total, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (reservation_ == nullptr) throw std::bad_alloc();
  auto* base = static_cast<std::uint8_t*>(reservation_);
  DWORD previous = 0;
  if (!VirtualProtect(base + dataPages * page, page, PAGE_NOACCESS, &previous)) {
    VirtualFree(reservation_, 0, MEM_RELEASE);
    throw std::bad_alloc();
  }
  // An empty handle points at the guard page itself: not null, and nothing of it is readable.
  data_ = base + dataPages * page - size;
}

HandleMemory::~HandleMemory() {
  if (reservation_ != nullptr) VirtualFree(reservation_, 0, MEM_RELEASE);
}

HandleTable::Entry* HandleTable::find(PF_Handle handle, const char* function) {
  const auto found = entries_.find(handle);
  if (found != entries_.end()) return found->second.get();
  accounts_.imbalance(accounts_.where() + ": " + function + " of a handle the host did not allocate");
  return nullptr;
}

PF_Handle HandleTable::allocate(std::size_t size, bool guarded) {
  auto entry = std::make_unique<Entry>();
  entry->memory = std::make_unique<HandleMemory>(size, guarded);
  entry->data = entry->memory->data();
  entry->size = size;
  entry->origin = accounts_.where();
  PF_Handle handle = &entry->data;
  entries_.emplace(handle, std::move(entry));
  accounts_.handleAllocated();
  return handle;
}

void HandleTable::countLock(PF_Handle handle, int change) {
  const auto open = lockChanges_.find(std::this_thread::get_id());
  if (open != lockChanges_.end()) open->second[handle] += change;
}

void* HandleTable::lock(PF_Handle handle) {
  Entry* entry = find(handle, "host_lock_handle");
  if (entry == nullptr) return nullptr;
  ++entry->locks;
  countLock(handle, 1);
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
  countLock(handle, -1);
  accounts_.handleUnlocked();
}

void HandleTable::dispose(PF_Handle handle) {
  Entry* entry = find(handle, "host_dispose_handle");
  if (entry == nullptr) return;
  if (entry->locks != 0) {
    accounts_.imbalance(accounts_.where() + ": host_dispose_handle of a handle still locked " +
                        std::to_string(entry->locks) + " time(s)");
  }
  // Its locks are booked by the disposal; no command answers for them any more.
  for (auto& [thread, changes] : lockChanges_) changes.erase(handle);
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
  auto moved = std::make_unique<HandleMemory>(size, entry->memory->guarded());
  std::memcpy(moved->data(), entry->data, std::min(size, entry->size));
  entry->memory = std::move(moved);
  entry->data = entry->memory->data();
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
  const auto* data = static_cast<const std::uint8_t*>(entry.data);
  return {data, data + entry.size};
}

void HandleTable::beginCommand() { lockChanges_[std::this_thread::get_id()].clear(); }

void HandleTable::endCommand() {
  const auto open = lockChanges_.find(std::this_thread::get_id());
  if (open == lockChanges_.end()) return;
  for (const auto& [handle, change] : open->second) {
    const std::string size = std::to_string(entries_.at(handle)->size);
    if (change > 0) {
      accounts_.imbalance(accounts_.where() + ": a handle of " + size + " bytes locked " + std::to_string(change) +
                          " time(s) more than unlocked");
    } else if (change < 0) {
      accounts_.imbalance(accounts_.where() + ": a handle of " + size + " bytes unlocked more often than locked");
    }
  }
  lockChanges_.erase(open);
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
