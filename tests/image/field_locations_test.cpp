#include "image/field_locations.hpp"

#include <gtest/gtest.h>

#include "image/memory_map.hpp"
#include "settings/field_table.hpp"

namespace rcp::image {
namespace {

bool inScheme(const FieldLocation& l, SchemeOnly scheme) {
  return l.scheme == SchemeOnly::Both || l.scheme == scheme;
}

TEST(FieldLocations, EveryBitTheWriteSendsBelongsToExactlyOneFieldOrFiller) {
  for (SchemeOnly scheme : {SchemeOnly::Mpt1343, SchemeOnly::Cpsx}) {
    for (Address at : writtenAddresses()) {
      int wholeBytes = 0;
      std::uint8_t bits = 0;
      for (const FieldLocation* l : locationsAt(at)) {
        if (!inScheme(*l, scheme)) continue;
        if (l->mask == 0) {
          ++wholeBytes;
          continue;
        }
        EXPECT_EQ(bits & l->mask, 0) << std::hex << at << " bit " << int{l->mask} << " twice";
        bits |= l->mask;
      }
      const bool oneByte = wholeBytes == 1 && bits == 0;
      const bool allBits = wholeBytes == 0 && bits == 0xFF;
      EXPECT_TRUE(oneByte || allBits)
          << std::hex << "0x" << at << (scheme == SchemeOnly::Cpsx ? " CPSX" : " MPT1343") << ": "
          << std::dec << wholeBytes << " whole-byte places, bits " << std::hex << int{bits};
    }
  }
}

TEST(FieldLocations, NameFieldsOfTheRecordAndLeadBothWays) {
  for (const FieldLocation& l : fieldLocations()) {
    if (l.isFiller()) {
      EXPECT_FALSE(l.encoding.empty()) << "a filler says what it is, at " << l.address;
      continue;
    }
    EXPECT_NE(settings::findField(l.field), nullptr) << l.field;
  }
  const auto ta = locationsAt(0x0CF);
  ASSERT_EQ(ta.size(), 1u);
  EXPECT_EQ(ta[0]->field, "TA");
  const auto indivol = locationsOf("Indivol");
  ASSERT_EQ(indivol.size(), 3u) << "count and digits under MPT1343, prefix and ident under CPSX";
  EXPECT_EQ(indivol[0]->address, 0x053);
}

TEST(FieldLocations, EveryAreaTheWriteSendsIsLaidOutByItsCodec) {
  const std::set<Address> written = writtenAddresses();
  for (const MemoryArea& area : kMemoryAreas)
    if (written.count(area.address)) {
      EXPECT_FALSE(locationsAt(area.address).empty())
          << std::hex << "0x" << area.address << ": its codec lays out nothing there";
    }
}

}  // namespace
}  // namespace rcp::image
