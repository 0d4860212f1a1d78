#include "settings/data_file_values.hpp"

#include <gtest/gtest.h>

#include "ui/conversion_error.hpp"

namespace rcp::settings {
namespace {

TEST(DataFileValues, NumbersStayWithinSigned32Bits) {
  EXPECT_EQ(parseFileNumber("-2147483648"), INT32_MIN);
  EXPECT_EQ(parseFileNumber("$7FFFFFFF"), INT32_MAX);
  // Hexadecimal after "0x" or "0X" alike.
  EXPECT_EQ(parseFileNumber("0x10"), 16);
  EXPECT_EQ(parseFileNumber("0X10"), 16);
  EXPECT_EQ(parseFileNumber("0X7fffffff"), INT32_MAX);
  EXPECT_EQ(readNumberText("0X1F"), "31");
  for (const char* bad : {"2147483648", "$80000000", "$", "0x", "0X", "0x-1", "0X-1", "1 2", "1e3"})
    EXPECT_EQ(parseFileNumber(bad), std::nullopt) << bad;
  // Only unsigned decimal digits may go beyond 32 bits in a digit field.
  EXPECT_EQ(readNumberText("003269999999"), "3269999999");
  EXPECT_THROW(readNumberText("-3269999999"), ui::ConversionError);
}

TEST(DataFileValues, LenientU32WrapsModulo2To32) {
  EXPECT_EQ(readLenientU32("4294967296"), 0u);
  EXPECT_EQ(readLenientU32("9999999999"), 1410065407u);
  EXPECT_EQ(readLenientU32(" \t+12abc"), 12u);
  EXPECT_EQ(readLenientU32("-"), 0u);
}

}  // namespace
}  // namespace rcp::settings
