// The property-list reader over resources built byte by byte.

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

void putU16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putU32(Bytes& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

Bytes pascal(const std::string& text) {
  Bytes data(text.size() + 1);
  data[0] = static_cast<std::uint8_t>(text.size());
  std::copy(text.begin(), text.end(), data.begin() + 1);
  return data;
}

Bytes cString(const std::string& text) {
  Bytes data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

Bytes u32Value(std::uint32_t value) {
  Bytes data;
  putU32(data, value);
  return data;
}

Bytes pairValue(std::uint16_t first, std::uint16_t second) {
  Bytes data;
  putU16(data, first);
  putU16(data, second);
  return data;
}

// A resource in the host's layout; lengths and counts can be falsified to make it malformed.
class PiplBuilder {
 public:
  PiplBuilder& add(const char (&key)[5], const Bytes& data) { return addRaw(host_sdk::kPiPLVendor, fourCharHighFirst(key), data, data.size(), true); }

  PiplBuilder& addRaw(std::uint32_t vendor, std::uint32_t key, const Bytes& data, std::uint32_t length, bool pad) {
    putU32(body_, vendor);
    putU32(body_, key);
    putU32(body_, 0);
    putU32(body_, length);
    body_.insert(body_.end(), data.begin(), data.end());
    if (pad) body_.resize((body_.size() + 3) & ~std::size_t{3}, 0);
    ++count_;
    return *this;
  }

  Bytes build(std::optional<std::uint32_t> count = {}, std::uint16_t firstWord = 1, std::uint32_t version = 0) const {
    Bytes out;
    putU16(out, firstWord);
    putU32(out, version);
    putU32(out, count.value_or(count_));
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
  ASSERT_TRUE(info.piplVersion);
  EXPECT_EQ(info.piplVersion->major, 2);
  EXPECT_EQ(info.piplVersion->minor, 0);
  ASSERT_TRUE(info.specVersion);
  EXPECT_EQ(info.specVersion->major, 13);
  EXPECT_EQ(info.specVersion->minor, 27);
  EXPECT_EQ(info.effectVersion, 0x88E07u);
  EXPECT_EQ(info.infoFlags, 0);
  EXPECT_EQ(info.outFlags, 0x06000030);
  EXPECT_EQ(info.outFlags2, 0x08801419);
  EXPECT_EQ(info.matchName, "NORVA TESSALINE");
  EXPECT_EQ(info.reservedInfo, 0);
}

TEST(PiplReader, KeepsEveryPropertyWithItsUnpaddedData) {
  const fxhost::PiplResult result = fxhost::parsePipl(effectList().build());
  ASSERT_EQ(result.properties.size(), 12u);
  const fxhost::PiplProperty& name = result.properties[1];
  EXPECT_EQ(name.vendor, fourCharHighFirst("8BIM"));
  EXPECT_EQ(name.key, fourCharHighFirst("name"));
  EXPECT_EQ(name.id, 0);
  EXPECT_EQ(name.data, (Bytes{9, 't', 'e', 's', 's', 'a', 'l', 'i', 'n', 'e'}));
  EXPECT_EQ(result.properties[7].data, (Bytes{0, 0}));
}

TEST(PiplReader, StoresCodesAsLittleEndianWords) {
  const Bytes bytes = effectList().build();
  // The first property's vendor '8BIM' follows the 10-byte header, its bytes reversed.
  EXPECT_EQ(Bytes(bytes.begin() + 10, bytes.begin() + 18), (Bytes{'M', 'I', 'B', '8', 'd', 'n', 'i', 'k'}));
}

TEST(PiplReader, NamesCodesFromTheHighestByte) {
  EXPECT_EQ(fxhost::fourCharText(0x65464B54), "eFKT");
  EXPECT_EQ(fxhost::fourCharText(fourCharHighFirst("8664")), "8664");
}

TEST(PiplReader, EntryPointEndsAtItsFirstTerminator) {
  PiplBuilder list;
  list.add("8664", Bytes{'R', 'u', 'n', 0, 'x', 0, 0, 0});
  const fxhost::PiplResult result = fxhost::parsePipl(list.build());
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(result.info.entryPoint, "Run");
}

TEST(PiplReader, SkipsOtherVendorsAndUnknownKeys) {
  PiplBuilder list;
  list.addRaw(fourCharHighFirst("ADBE"), fourCharHighFirst("name"), Bytes{200, 1, 2, 3}, 4, true)
      .add("zzzz", Bytes{1, 2, 3})
      .add("8664", cString("Entry"));
  const fxhost::PiplResult result = fxhost::parsePipl(list.build());
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(result.info.name, "");
  ASSERT_EQ(result.properties.size(), 3u);
  EXPECT_EQ(result.properties[1].data, (Bytes{1, 2, 3}));
}

TEST(PiplReader, RefusesAResourceTooShortForItsHeader) {
  EXPECT_EQ(fxhost::parsePipl(Bytes{1, 0, 0, 0, 0}).error, "PiPL resource of 5 bytes has no header");
}

TEST(PiplReader, RefusesAnotherFirstWord) {
  EXPECT_EQ(fxhost::parsePipl(effectList().build({}, 2)).error, "PiPL resource does not start with the 16-bit word 1");
}

TEST(PiplReader, RefusesAnotherListVersion) {
  EXPECT_EQ(fxhost::parsePipl(effectList().build({}, 1, 1)).error, "PiPL list version is not 0");
}

TEST(PiplReader, RefusesACountTheResourceCannotHold) {
  PiplBuilder list;
  list.add("8664", cString("Entry"));
  EXPECT_EQ(fxhost::parsePipl(list.build(1000)).error, "PiPL property count 1000 does not fit in 34 bytes");
}

TEST(PiplReader, RefusesACountBeyondItsProperties) {
  PiplBuilder list;
  list.add("8664", cString("Entry")).add("zzzz", Bytes{});
  Bytes bytes = list.build(3);
  bytes.resize(bytes.size() + 12, 0);  // room for the count, not for a third property
  EXPECT_EQ(fxhost::parsePipl(bytes).error, "PiPL property 2 starts past the end of the resource");
}

TEST(PiplReader, RefusesALengthPastTheEnd) {
  PiplBuilder list;
  list.addRaw(host_sdk::kPiPLVendor, fourCharHighFirst("8664"), cString("Entry"), 100, true);
  EXPECT_EQ(fxhost::parsePipl(list.build()).error,
            "PiPL property 0 ('8664') has length 100, past the end of the resource");
}

TEST(PiplReader, RefusesANegativeLength) {
  PiplBuilder list;
  list.addRaw(host_sdk::kPiPLVendor, fourCharHighFirst("8664"), cString("Entry"), 0xFFFFFFFF, true);
  EXPECT_EQ(fxhost::parsePipl(list.build()).error,
            "PiPL property 0 ('8664') has length -1, past the end of the resource");
}

TEST(PiplReader, RefusesDataWithoutItsPadding) {
  PiplBuilder list;
  list.addRaw(host_sdk::kPiPLVendor, fourCharHighFirst("8664"), Bytes{'R', 'u', 'n', 0, 0}, 5, false);
  EXPECT_EQ(fxhost::parsePipl(list.build()).error,
            "PiPL property 0 ('8664') has length 5, past the end of the resource");
}

TEST(PiplReader, RefusesAListWithoutEntryPoint) {
  PiplBuilder list;
  list.add("kind", u32Value(fourCharHighFirst("eFKT"))).add("name", pascal("x"));
  const fxhost::PiplResult result = fxhost::parsePipl(list.build());
  EXPECT_EQ(result.error, "PiPL has no '8664' entry point property");
  EXPECT_EQ(result.properties.size(), 2u);
}

TEST(PiplReader, RefusesAnEmptyEntryPoint) {
  PiplBuilder list;
  list.add("8664", Bytes{0});
  EXPECT_EQ(fxhost::parsePipl(list.build()).error, "property '8664' names no function");
}

TEST(PiplReader, RefusesAPascalStringLongerThanItsData) {
  PiplBuilder list;
  list.add("name", Bytes{10, 'a', 'b', 'c'}).add("8664", cString("Entry"));
  EXPECT_EQ(fxhost::parsePipl(list.build()).error, "property 'name': Pascal string of 10 characters in 4 bytes");
}

TEST(PiplReader, RefusesAShortNumber) {
  PiplBuilder list;
  list.add("eVER", Bytes{7, 0}).add("8664", cString("Entry"));
  EXPECT_EQ(fxhost::parsePipl(list.build()).error, "property 'eVER' has 2 bytes, needs 4");
}

}  // namespace
