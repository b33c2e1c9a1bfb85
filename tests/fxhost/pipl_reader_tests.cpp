// The property-list reader over resources built byte by byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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
Bytes pairValue(std::uint16_t first, std::uint16_t second) { return u32Value(first | (std::uint32_t{second} << 16)); }
Bytes cString(const std::string& text) { return Bytes(text.c_str(), text.c_str() + text.size() + 1); }
Bytes pascal(const std::string& text) {
  Bytes data{static_cast<std::uint8_t>(text.size())};
  return data.insert(data.end(), text.begin(), text.end()), data;
}

// A resource in the host's layout; lengths and counts can be falsified to make it malformed.
class PiplBuilder {
 public:
  PiplBuilder& add(const char (&key)[5], const Bytes& data) { return addRaw(host_sdk::kPiPLVendor, fourCharHighFirst(key), data, data.size(), true); }

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

PiplBuilder effectList() {
  PiplBuilder list;
  list.add("kind", u32Value(fourCharHighFirst("eFKT")))
      .add("name", pascal("tessaline"))
      .add("catg", pascal("NORVA"))
      .add("8664", cString("EntryPointFunc"))
      .add("ePVR", pairValue(2, 0))
      .add("eSVR", pairValue(13, 27))
      .add("eVER", u32Value(0x88E07))
      .add("eINF", Bytes{0, 0})
      .add("eGLO", u32Value(0x06000030))
      .add("eGL2", u32Value(0x08801419))
      .add("eMNA", pascal("NORVA TESSALINE"))
      .add("aeFL", u32Value(0));
  return list;
}

TEST(PiplReader, DecodesEveryPropertyOfAnEffectList) {
  const fxhost::PiplResult result = fxhost::parsePipl(effectList().build());
  ASSERT_TRUE(result.ok()) << result.error;
  const fxhost::PiplInfo& info = result.info;
  EXPECT_EQ(info.kind, fourCharHighFirst("eFKT"));
  EXPECT_EQ(info.name, "tessaline");
  EXPECT_EQ(info.category, "NORVA");
  EXPECT_EQ(info.entryPoint, "EntryPointFunc");
  ASSERT_TRUE(info.piplVersion && info.specVersion);
  EXPECT_EQ((std::array<int, 4>{info.piplVersion->major, info.piplVersion->minor, info.specVersion->major,
                                info.specVersion->minor}),
            (std::array<int, 4>{2, 0, 13, 27}));
  EXPECT_EQ(info.effectVersion, 0x88E07u);
  EXPECT_EQ(info.infoFlags, 0);
  EXPECT_EQ(info.outFlags, 0x06000030);
  EXPECT_EQ(info.outFlags2, 0x08801419);
  EXPECT_EQ(info.matchName, "NORVA TESSALINE");
  EXPECT_EQ(info.reservedInfo, 0);
  // Every property is kept with its data unpadded.
  ASSERT_EQ(result.properties.size(), 12u);
  const fxhost::PiplProperty& name = result.properties[1];
  EXPECT_EQ(name.vendor, fourCharHighFirst("8BIM"));
  EXPECT_EQ(name.key, fourCharHighFirst("name"));
  EXPECT_EQ(name.id, 0);
  EXPECT_EQ(name.data, (Bytes{9, 't', 'e', 's', 's', 'a', 'l', 'i', 'n', 'e'}));
  EXPECT_EQ(result.properties[7].data, (Bytes{0, 0}));
}

TEST(PiplReader, NamesCodesFromTheHighestByte) {
  EXPECT_EQ(fxhost::fourCharText(0x65464B54), "eFKT");
  EXPECT_EQ(fxhost::fourCharText(fourCharHighFirst("8664")), "8664");
}

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
      {"first word", effectList().build({}, 2), "PiPL resource does not start with the 16-bit word 1"},
      {"list version", effectList().build({}, 1, 1), "PiPL list version is not 0"},
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
      {"no entry point", PiplBuilder().add("kind", u32Value(fourCharHighFirst("eFKT"))).add("name", pascal("x")).build(),
       "PiPL has no '8664' entry point property"},
      {"empty entry point", PiplBuilder().add("8664", Bytes{0}).build(), "property '8664' names no function"},
      {"long Pascal string", withEntry(PiplBuilder().add("name", Bytes{10, 'a', 'b', 'c'})).build(),
       "property 'name': Pascal string of 10 characters in 4 bytes"},
      {"short number", withEntry(PiplBuilder().add("eVER", Bytes{7, 0})).build(), "property 'eVER' has 2 bytes, needs 4"},
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
