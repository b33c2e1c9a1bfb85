#include "sequence_data.h"

#include <cstring>

#include "base_filter.h"
#include "host_handle.h"

SequenceRecord newSequenceRecord() { return SequenceRecord{SequenceMagic, 0, sizeof(SequenceRecord), kSequenceVersion, {}}; }

FlatSequenceRecord flatten(const SequenceRecord& live) {
  FlatSequenceRecord flat{live.magic, 1, live.version, live.size, {}};
  std::memcpy(flat.reserved, live.reserved, sizeof flat.reserved);
  return flat;
}

SequenceRecord unflatten(const std::uint8_t* bytes, std::size_t count) {
  FlatSequenceRecord flat{};
  if (count < sizeof flat) return newSequenceRecord();
  std::memcpy(&flat, bytes, sizeof flat);
  if (flat.magic != SequenceMagic || flat.version != kSequenceVersion) return newSequenceRecord();
  SequenceRecord live{flat.magic, 0, flat.size, flat.version, {}};
  std::memcpy(live.reserved, flat.reserved, sizeof live.reserved);
  return live;
}

namespace {

// The handle's size as the host reports it; 0 for none.
std::size_t handleSize(const PF_InData* in_data, PF_Handle handle) {
  return handle != nullptr ? static_cast<std::size_t>(in_data->utils->host_get_handle_size(handle)) : 0;
}

// Puts `bytes` into a new handle for out_data; 4 when none can be had, 512 when it cannot be locked.
PF_Err newHandleWith(PF_InData* in_data, PF_OutData* out_data, const void* bytes, std::size_t count) {
  PF_UtilCallbacks& utils = *in_data->utils;
  const PF_Handle handle = utils.host_new_handle(count);
  if (handle == nullptr) return PF_Err_OUT_OF_MEMORY;
  {
    const LockedHandle locked(in_data, handle);
    if (locked.data() == nullptr) {
      utils.host_dispose_handle(handle);
      return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    std::memcpy(locked.data(), bytes, count);
  }
  out_data->sequence_data = handle;
  return PF_Err_NONE;
}

// Writes the flat form of the instance's live record into a new handle for the host.
PF_Err flattenInto(PF_InData* in_data, PF_OutData* out_data, bool disposeLive) {
  const PF_Handle live = in_data->sequence_data;
  FlatSequenceRecord flat{};
  {
    const LockedHandle locked(in_data, live);
    // A live record is always ours and whole; a handle too short to hold one is not read past.
    if (locked.data() == nullptr || handleSize(in_data, live) < sizeof(SequenceRecord)) {
      return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    SequenceRecord record{};
    std::memcpy(&record, locked.data(), sizeof record);
    flat = flatten(record);
    if (const PF_Err err = newHandleWith(in_data, out_data, &flat, sizeof flat); err != PF_Err_NONE) return err;
  }
  if (disposeLive) in_data->utils->host_dispose_handle(live);
  return PF_Err_NONE;
}

}  // namespace

PF_Err BaseFilter::SequenceSetup(PF_InData* in_data, PF_OutData* out_data) {
  const SequenceRecord record = newSequenceRecord();
  return newHandleWith(in_data, out_data, &record, sizeof record);
}

PF_Err BaseFilter::SequenceSetdown(PF_InData* in_data, PF_OutData*) {
  if (in_data->sequence_data != nullptr) in_data->utils->host_dispose_handle(in_data->sequence_data);
  return PF_Err_NONE;
}

PF_Err BaseFilter::SequenceFlatten(PF_InData* in_data, PF_OutData* out_data) {
  return flattenInto(in_data, out_data, true);
}

PF_Err BaseFilter::GetFlattenedSequenceData(PF_InData* in_data, PF_OutData* out_data) {
  return flattenInto(in_data, out_data, false);
}

PF_Err BaseFilter::SequenceResetup(PF_InData* in_data, PF_OutData* out_data) {
  // Stored data comes from project files: any length, any bytes. Nothing past the handle's
  // reported size is read, and only the first 24 bytes are looked at.
  std::uint8_t bytes[sizeof(FlatSequenceRecord)];
  bool ours = false;
  {
    const PF_Handle stored = in_data->sequence_data;
    const LockedHandle old(in_data, stored);
    if (old.data() != nullptr && handleSize(in_data, stored) >= sizeof bytes) {
      std::memcpy(bytes, old.data(), sizeof bytes);
      std::uint32_t magic = 0;
      std::memcpy(&magic, bytes, sizeof magic);
      ours = magic == SequenceMagic;
    }
  }
  if (!ours) return ConvertSequenceData(in_data, out_data);
  const SequenceRecord record = unflatten(bytes, sizeof bytes);
  return newHandleWith(in_data, out_data, &record, sizeof record);
}
