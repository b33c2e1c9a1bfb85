#pragma once
// Host handles: relocatable memory the plug-in reaches through a pointer to a pointer. The table
// owns the memory, counts locks per handle and books every misuse with the accounts. Like the
// accounts, it is called under the host's lock.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ae_types.h"
#include "fxhost/accounts.h"

namespace fxhost::detail {

// A handle's bytes. Guarded memory ends exactly where an inaccessible page begins, so that any
// access past the last byte faults at once instead of reading a neighbour's bytes.
class HandleMemory {
 public:
  HandleMemory(std::size_t size, bool guarded);
  ~HandleMemory();
  HandleMemory(const HandleMemory&) = delete;
  HandleMemory& operator=(const HandleMemory&) = delete;

  std::uint8_t* data() const { return data_; }
  bool guarded() const { return reservation_ != nullptr; }

 private:
  std::vector<std::uint8_t> heap_;
  void* reservation_ = nullptr;  // the VirtualAlloc block of guarded memory
  std::uint8_t* data_ = nullptr;
};

class HandleTable {
 public:
  explicit HandleTable(Accounts& accounts) : accounts_(accounts) {}

  PF_Handle allocate(std::size_t size, bool guarded = false);
  void* lock(PF_Handle handle);
  void unlock(PF_Handle handle);
  void dispose(PF_Handle handle);
  std::optional<std::size_t> size(PF_Handle handle) const;
  PF_Err resize(std::size_t size, PF_Handle* handle);

  bool contains(PF_Handle handle) const { return entries_.contains(handle); }
  int locks(PF_Handle handle) const;
  std::vector<std::uint8_t> bytes(PF_Handle handle) const;

  // The calling thread's command: its locks and unlocks are counted apart from other threads'.
  void beginCommand();
  void endCommand();  // books handles whose lock count this thread's command changed
  std::vector<std::string> outstanding() const;
  int live() const { return static_cast<int>(entries_.size()); }

 private:
  struct Entry {
    void* data = nullptr;  // first: the handle is the address of this pointer
    std::unique_ptr<HandleMemory> memory;
    std::size_t size = 0;
    int locks = 0;
    std::string origin;
  };

  Entry* find(PF_Handle handle, const char* function);
  void countLock(PF_Handle handle, int change);

  Accounts& accounts_;
  std::map<PF_Handle, std::unique_ptr<Entry>> entries_;
  // Per thread in a command: locks minus unlocks of each handle since the command began.
  std::map<std::thread::id, std::map<PF_Handle, int>> lockChanges_;
};

}  // namespace fxhost::detail
