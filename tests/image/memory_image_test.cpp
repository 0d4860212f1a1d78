#include "image/memory_image.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace rcp::image {
namespace {

TEST(ChannelFrequency, StepsFoldingAndUnfolding) {
  EXPECT_EQ(channelCount(8510125, 125), 0x4E71);
  EXPECT_EQ(frequencyOfCount(0x4E71, 125), 8510125);
  EXPECT_EQ(channelCount(8510125, 250), 10040);  // "Old" radios at 25 kHz
  EXPECT_EQ(channelCount(3580125, 125), 28641);
  EXPECT_EQ(frequencyOfCount(28641, 125), 3580125);
  // 800 MHz itself is not folded, 801 MHz is.
  EXPECT_EQ(channelCount(8000000, 125), 64000);
  EXPECT_EQ(channelCount(8009999, 125), 64079);
  EXPECT_EQ(channelCount(8010000, 125), 16080);
  EXPECT_EQ(frequencyOfCount(16080, 125), 8010000);
  // Counts that decode to 200.xxxx or 300.xxxx MHz are not unfolded.
  EXPECT_EQ(frequencyOfCount(16000, 125), 2000000);
  EXPECT_EQ(frequencyOfCount(16079, 125), 2009875);
  EXPECT_EQ(frequencyOfCount(24000, 125), 3000000);
  EXPECT_EQ(frequencyOfCount(23999, 125), 8999875);
}

TEST(MemoryImage, NumbersAreBigEndianAndFlagsReadAnyNonzero) {
  MemoryImage m;
  m.setWord(0x041, 0x4E71);
  m.setTriple(0x215, 0x0123AB);
  EXPECT_EQ(m.hex(0x041, 2), "4E71");
  EXPECT_EQ(m.hex(0x215, 3), "0123AB");
  EXPECT_EQ(m.word(0x041), 0x4E71);
  EXPECT_EQ(m.triple(0x215), 0x0123ABu);
  EXPECT_THROW(m.setTriple(0x215, 0x1000000), std::out_of_range);

  m.setInvertedFlag(0x1FB, true);
  EXPECT_EQ(m.byte(0x1FB), 0x00);
  m.setInvertedFlag(0x1FB, false);
  EXPECT_EQ(m.byte(0x1FB), 0x01);
  m.setByte(0x1F0, 0x30);
  EXPECT_TRUE(m.flag(0x1F0));
  EXPECT_FALSE(m.lowFlag(0x1F0)) << "only the low half-byte counts";
  m.setBit(0x033, 0x80, true);
  m.setBit(0x033, 0x02, true);
  m.setBit(0x033, 0x80, false);
  EXPECT_EQ(m.byte(0x033), 0x02);

  m.setFrequency(0x041, FrequencyWidth::Word, 125, 8510125);
  EXPECT_EQ(m.frequency(0x041, FrequencyWidth::Word, 125), 8510125);
  EXPECT_THROW(m.setFrequency(0x041, FrequencyWidth::Word, 125, 20000000), std::out_of_range);
  EXPECT_THROW(m.setFrequency(0x041, FrequencyWidth::Word, 125, -125), std::out_of_range);
  m.setPrefixIdent(0x053, {0x7E, 2});
  EXPECT_EQ(m.hex(0x053, 3), "7E0002");
  EXPECT_THROW(m.setPrefixIdent(0x053, {-1, 2}), std::out_of_range);
  EXPECT_THROW(m.setPrefixIdent(0x053, {1, 65536}), std::out_of_range);
}

TEST(MemoryImage, DigitStrings) {
  MemoryImage m;
  m.setByte(0x054, 0xFF);
  m.setNibbleDigits(0x054, 5, "3262001");
  EXPECT_EQ(m.hex(0x054, 5), "3262001000") << "the rest of the slot is cleared";
  EXPECT_EQ(m.nibbleDigits(0x054, 5, 7), "3262001");
  EXPECT_EQ(m.nibbleDigits(0x054, 5, 200), "3262001000") << "a count beyond the slot stops at it";
  m.setByte(0x055, 0xAB);
  EXPECT_EQ(m.nibbleDigits(0x054, 5, 4), "32AB") << "half-bytes above 9 read as they are";
  EXPECT_THROW(m.setNibbleDigits(0x054, 5, "12*4"), std::invalid_argument);
  EXPECT_THROW(m.setNibbleDigits(0x054, 5, "12345678901"), std::invalid_argument);

  m.setByteDigits(0x190, 8, "1386");
  EXPECT_EQ(m.hex(0x190, 8), "0103080600000000");
  m.setByte(0x191, 0x2B);  // 43
  EXPECT_EQ(m.byteDigits(0x190, 8, 4), "1386") << "43 reads as its low digit 3";
  EXPECT_EQ(m.byteDigits(0x190, 8, 9).size(), 8u);
}

TEST(MemoryImage, WireFormTakesAnyCharacters) {
  MemoryImage m;
  EXPECT_EQ(m.loadHex(0x010, "0A1f"), 2u);
  EXPECT_EQ(m.byte(0x010), 0x0A);
  EXPECT_EQ(m.byte(0x011), 16 + 47) << "'f' is 102 - 55 = 47";
  EXPECT_EQ(m.loadHex(0x3FE, "1234567"), 2u) << "nothing beyond 0x3FF, no odd digit";
  EXPECT_EQ(m.hex(0x3FE, 2), "1234");
  EXPECT_EQ(m.loadHex(0x020, "ZZ"), 1u);
  EXPECT_EQ(m.byte(0x020), static_cast<std::uint8_t>(35 * 16 + 35));
  EXPECT_THROW(m.byte(0x400), std::out_of_range);
  EXPECT_THROW(m.hex(0x3FF, 2), std::out_of_range);
}

}  // namespace
}  // namespace rcp::image
