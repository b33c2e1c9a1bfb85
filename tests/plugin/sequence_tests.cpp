// The record every instance keeps in projects: its flat bytes, and what any stored bytes (any
// length, any content, from any project file) are rebuilt into, through the real plug-in with
// every handle ending at an inaccessible page, so a read past a handle's end cannot go unseen.

#include <cstring>
#include <random>

#include "plugin_test_support.h"
#include "sequence_data.h"

namespace {

using namespace plugin_test;
using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const SequenceRecord& r) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&r);
  return Bytes(p, p + sizeof r);
}

void putU32(Bytes& bytes, std::size_t at, std::uint32_t value) { std::memcpy(bytes.data() + at, &value, 4); }

// The rule, stated apart from the code: a flat record of this version gives its values back,
// anything else a new record.
Bytes expectedLive(const Bytes& stored) {
  const Bytes fresh = bytesOf(newSequenceRecord());
  if (stored.size() < 24) return fresh;
  std::uint32_t magic, version;
  std::memcpy(&magic, stored.data(), 4);
  std::memcpy(&version, stored.data() + 8, 4);
  if (magic != 0x70736571 || version != 1) return fresh;
  Bytes live(stored.begin(), stored.begin() + 24);
  putU32(live, 4, 0);
  std::memcpy(live.data() + 8, stored.data() + 12, 4);  // size
  std::memcpy(live.data() + 12, stored.data() + 8, 4);  // version
  return live;
}

class SequenceTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    host->options().guardHandleEnds = true;
    startSession();
    ASSERT_EQ(host->sequenceSetdown(), PF_Err_NONE);
  }

  Bytes rebuild(const Bytes& stored) {
    host->setSequenceDataBytes(stored);
    EXPECT_EQ(host->sequenceResetup(), PF_Err_NONE);
    Bytes live = host->handleBytes(host->sequenceData());
    EXPECT_EQ(host->sequenceSetdown(), PF_Err_NONE);
    return live;
  }
};

TEST_F(SequenceTest, StoredBytesRebuildByTheRules) {
  const Bytes flatNew = {0x71, 0x65, 0x73, 0x70, 1, 0, 0, 0, 1, 0, 0, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const Bytes liveNew = {0x71, 0x65, 0x73, 0x70, 0, 0, 0, 0, 24, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(rebuild(flatNew), liveNew);
  // Any other length, magic or version is AnyStoredBytesGiveAWholeRecord's; a long one here.
  Bytes longer = flatNew, kept = liveNew;
  for (std::size_t i = 16; i < 24; ++i) longer[i] = kept[i] = static_cast<std::uint8_t>(0xA0 + i);  // reserved
  longer.resize(4096, 0xEE);
  EXPECT_EQ(rebuild(longer), kept);

  // No stored data at all: a new record.
  ASSERT_EQ(host->sequenceResetup(), PF_Err_NONE);
  EXPECT_EQ(host->handleBytes(host->sequenceData()), liveNew);
}

// Arbitrary stored bytes, many of them close to a valid record so the deeper checks are reached.
TEST_F(SequenceTest, AnyStoredBytesGiveAWholeRecord) {
  std::mt19937 random(20261206);
  for (int round = 0; round < 20000; ++round) {
    Bytes stored(random() % 40);
    for (std::uint8_t& b : stored) b = static_cast<std::uint8_t>(random());
    if (stored.size() >= 24 && random() % 2 == 0) putU32(stored, 0, SequenceMagic);
    if (stored.size() >= 24 && random() % 2 == 0) putU32(stored, 8, 1);
    ASSERT_EQ(rebuild(stored), expectedLive(stored)) << "round " << round << ", " << stored.size() << " bytes";
  }
}

}  // namespace
