// The property-list reader over resources built byte by byte (tests/plugin/artefact_tests reads the
// plug-in's whole list as the resource compiler lays it out).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fxhost/pipl_reader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using host_sdk::fourCharHighFirst;

// `value` as `size` little-endian bytes appended to `out`.
Bytes& put(Bytes& out, std::uint32_t value, int size = 4) {
  for (int at = 0; at < size; ++at) out.push_back(static_cast<std::uint8_t>(value >> (8 * at)));
  return out;
}
Bytes u32Value(std::uint32_t value) {
  Bytes data;
  return put(data, value);
}
Bytes cString(const std::string& text) { return Bytes(text.c_str(), text.c_str() + text.size() + 1); }
Bytes pascal(const std::string& text) {
  Bytes data{static_cast<std::uint8_t>(text.size())};
  return data.insert(data.end(), text.begin(), text.end()), data;
}

// A resource in the host's layout; lengths and counts can be falsified to make it malformed.
class PiplBuilder {
 public:
  PiplBuilder& add(const char (&key)[5], const Bytes& data) {
    return addRaw(host_sdk::kPiPLVendor, fourCharHighFirst(key), data, data.size(), true);
  }

  PiplBuilder& addRaw(std::uint32_t vendor, std::uint32_t key, const Bytes& data, std::uint32_t length, bool pad) {
    for (std::uint32_t word : {vendor, key, 0u, length}) put(body_, word);
    body_.insert(body_.end(), data.begin(), data.end());
    if (pad) body_.resize((body_.size() + 3) & ~std::size_t{3}, 0);
    ++count_;
    return *this;
  }

  Bytes build(std::optional<std::uint32_t> count = {}, std::uint16_t firstWord = 1, std::uint32_t version = 0) const {
    Bytes out;
    put(put(put(out, firstWord, 2), version), count.value_or(count_));
    out.insert(out.end(), body_.begin(), body_.end());
    return out;
  }

 private:
  Bytes body_;
  std::uint32_t count_ = 0;
};

TEST(PiplReader, SkipsOtherVendorsAndUnknownKeysAndEndsTheEntryPointAtItsTerminator) {
  PiplBuilder list;
  list.addRaw(fourCharHighFirst("ADBE"), fourCharHighFirst("name"), Bytes{200, 1, 2, 3}, 4, true)
      .add("zzzz", Bytes{1, 2, 3})
      .add("8664", Bytes{'R', 'u', 'n', 0, 'x', 0, 0, 0});
  const fxhost::PiplResult result = fxhost::parsePipl(list.build());
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(result.info.name, "");
  EXPECT_EQ(result.info.entryPoint, "Run");
  ASSERT_EQ(result.properties.size(), 3u);
  EXPECT_EQ(result.properties[1].data, (Bytes{1, 2, 3}));
}

PiplBuilder withEntry(PiplBuilder list = {}) { return list.add("8664", cString("Entry")), list; }
PiplBuilder withRawEntry(const Bytes& data, std::uint32_t length, bool pad) {
  PiplBuilder list;
  list.addRaw(host_sdk::kPiPLVendor, fourCharHighFirst("8664"), data, length, pad);
  return list;
}
Bytes padded(Bytes bytes, std::size_t extra) { return bytes.resize(bytes.size() + extra, 0), bytes; }

struct Malformed {
  const char* what;
  Bytes bytes;
  std::string error;
};

TEST(PiplReader, RefusesEachMalformedList) {
  const std::string past = "past the end of the resource";
  const Malformed cases[] = {
      {"short header", Bytes{1, 0, 0, 0, 0}, "PiPL resource of 5 bytes has no header"},
      {"first word", withEntry().build({}, 2), "PiPL resource does not start with the 16-bit word 1"},
      {"list version", withEntry().build({}, 1, 1), "PiPL list version is not 0"},
      {"count too big", withEntry().build(1000), "PiPL property count 1000 does not fit in 34 bytes"},
      // Room for the count, not for a third property.
      {"count past properties", padded(withEntry(PiplBuilder().add("zzzz", Bytes{})).build(3), 12),
       "PiPL property 2 starts " + past},
      {"length past end", withRawEntry(cString("Entry"), 100, true).build(),
       "PiPL property 0 ('8664') has length 100, " + past},
      {"negative length", withRawEntry(cString("Entry"), 0xFFFFFFFF, true).build(),
       "PiPL property 0 ('8664') has length -1, " + past},
      {"no padding", withRawEntry(Bytes{'R', 'u', 'n', 0, 0}, 5, false).build(),
       "PiPL property 0 ('8664') has length 5, " + past},
      {"no entry point",
       PiplBuilder().add("kind", u32Value(fourCharHighFirst("eFKT"))).add("name", pascal("x")).build(),
       "PiPL has no '8664' entry point property"},
      {"empty entry point", PiplBuilder().add("8664", Bytes{0}).build(), "property '8664' names no function"},
      {"long Pascal string", withEntry(PiplBuilder().add("name", Bytes{10, 'a', 'b', 'c'})).build(),
       "property 'name': Pascal string of 10 characters in 4 bytes"},
      {"short number", withEntry(PiplBuilder().add("eVER", Bytes{7, 0})).build(),
       "property 'eVER' has 2 bytes, needs 4"},
      {"short version", withEntry(PiplBuilder().add("eSVR", Bytes{13, 0})).build(),
       "property 'eSVR' has 2 bytes, needs 4"},
      {"short flags", withEntry(PiplBuilder().add("eINF", Bytes{1})).build(), "property 'eINF' has 1 bytes, needs 2"},
      {"empty name", withEntry(PiplBuilder().add("name", Bytes{})).build(), "property 'name' is empty"},
  };
  for (const Malformed& malformed : cases) {
    const fxhost::PiplResult result = fxhost::parsePipl(malformed.bytes);
    EXPECT_EQ(result.error, malformed.error) << malformed.what;
    EXPECT_FALSE(result.ok()) << malformed.what;
  }
  // A list refused for want of an entry point still shows its properties.
  EXPECT_EQ(fxhost::parsePipl(cases[8].bytes).properties.size(), 2u);
}

}  // namespace
