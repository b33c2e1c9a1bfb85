// The small record every instance of the effect keeps in the host's projects, live and flat.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::uint32_t SequenceMagic = 0x70736571;  // the bytes "qesp" in memory
inline constexpr std::uint32_t kSequenceVersion = 1;

// The live record, 24 bytes, little-endian. Size and version trade places in the flat form.
struct SequenceRecord {
  std::uint32_t magic;
  std::uint32_t flattened;  // 1 only in the flat form
  std::uint32_t size;
  std::uint32_t version;
  std::uint8_t reserved[8];  // carried unchanged through flattening and rebuilding
};
static_assert(sizeof(SequenceRecord) == 24);

// The flat form as projects store it: magic, 1, version, size, then the reserved bytes.
struct FlatSequenceRecord {
  std::uint32_t magic;
  std::uint32_t flattened;
  std::uint32_t version;
  std::uint32_t size;
  std::uint8_t reserved[8];
};
static_assert(sizeof(FlatSequenceRecord) == 24);

SequenceRecord newSequenceRecord();
FlatSequenceRecord flatten(const SequenceRecord& live);
// The live record stored bytes stand for: their values when they are a flat record of this
// version, else a new record. Fewer than 24 bytes always give a new record.
SequenceRecord unflatten(const std::uint8_t* bytes, std::size_t count);
