// A host handle held locked for one scope: unlocked on every path out, exceptions included.
#pragma once

#include "ae_effect.h"

class LockedHandle {
 public:
  LockedHandle(const PF_InData* in_data, PF_Handle handle)
      : utils_(in_data->utils), handle_(handle),
        data_(handle != nullptr ? utils_->host_lock_handle(handle) : nullptr) {}
  ~LockedHandle() {
    if (data_ != nullptr) utils_->host_unlock_handle(handle_);
  }
  LockedHandle(const LockedHandle&) = delete;
  LockedHandle& operator=(const LockedHandle&) = delete;

  // Null when there was no handle or the host would not lock it.
  void* data() const { return data_; }
  template <class T>
  T* as() const {
    return static_cast<T*>(data_);
  }

 private:
  PF_UtilCallbacks* utils_;
  PF_Handle handle_;
  void* data_;
};
