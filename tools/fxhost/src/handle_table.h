#pragma once
// Host handles: relocatable memory the plug-in reaches through a pointer to a pointer. The table
// owns the memory, counts locks per handle and books every misuse with the accounts.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ae_types.h"
#include "fxhost/accounts.h"

namespace fxhost::detail {

class HandleTable {
 public:
  explicit HandleTable(Accounts& accounts) : accounts_(accounts) {}

  PF_Handle allocate(std::size_t size);
  void* lock(PF_Handle handle);
  void unlock(PF_Handle handle);
  void dispose(PF_Handle handle);
  std::optional<std::size_t> size(PF_Handle handle) const;
  PF_Err resize(std::size_t size, PF_Handle* handle);

  bool contains(PF_Handle handle) const { return entries_.contains(handle); }
  int locks(PF_Handle handle) const;
  std::vector<std::uint8_t> bytes(PF_Handle handle) const;

  void beginCommand();
  void endCommand();  // books handles whose lock count changed during the command
  std::vector<std::string> outstanding() const;
  int live() const { return static_cast<int>(entries_.size()); }

 private:
  struct Entry {
    void* data = nullptr;  // first: the handle is the address of this pointer
    std::vector<std::uint8_t> storage;
    std::size_t size = 0;
    int locks = 0;
    int locksAtCommandStart = 0;
    std::string origin;
  };

  Entry* find(PF_Handle handle, const char* function);

  Accounts& accounts_;
  std::map<PF_Handle, std::unique_ptr<Entry>> entries_;
};

}  // namespace fxhost::detail
