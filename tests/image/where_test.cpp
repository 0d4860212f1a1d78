#include "image/where.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/field_locations.hpp"
#include "support/test_program.hpp"

namespace rcp::image {
namespace {

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

TEST(Where, AddressesAreTakenInTheFormsPeopleTypeThem) {
  const struct {
    const char* text;
    std::optional<Address> address;
  } cases[] = {
      {"0x0CF", 0x0CF}, {"0X0cf", 0x0CF}, {"0CF", 0x0CF}, {"207", 207},      {"0x3FF", 0x3FF},
      {"0", 0},         {"0x400", {}},    {"1024", {}},   {"0x", {}},        {"", {}},
      {"TA", {}},       {"0x0CG", {}},    {"-1", {}},     {"0x00000CF", {}}, {"12345", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(parseAddress(c.text), c.address) << c.text;
  EXPECT_EQ(addressText(0x0CF), "0x0CF");
  EXPECT_EQ(addressText(0x2C2), "0x2C2");
}

// Each query names the field, its path on the window, its key and its place, whichever way in.
TEST(Where, AnAddressNamesItsFieldAndAFieldOrKeyItsAddresses) {
  test::TestProgram app;
  const struct {
    const char* query;
    std::vector<std::string> expected;
  } cases[] = {
      {"0x0CF", {"0x0CF（byte）：字段 TA，用户信息 › 时间常数 › TA，数据文件键：TA"}},
      {"207", {"0x0CF（byte）：字段 TA，用户信息 › 时间常数 › TA，数据文件键：TA"}},
      {"TA", {"字段 TA：用户信息 › 时间常数 › TA", "数据文件键：TA", "电台存储：0x0CF（byte）"}},
      {"0x01C", {"0x01B–0x030（unused, written 0）：填充"}},
      {"0x200", {"0x200：写频不发送此地址"}},
  };
  for (const auto& c : cases) {
    const auto lines = whereLines(app.state(), c.query);
    ASSERT_TRUE(lines) << c.query;
    EXPECT_EQ(joined(*lines), joined(c.expected)) << c.query;
  }
  // A key kept under another name than its field leads to that field.
  const auto preset = whereLines(app.state(), "常用菜单");
  ASSERT_TRUE(preset);
  EXPECT_EQ(preset->at(1), "数据文件键：常用菜单、全部菜单");
  // A field name that reads as hexadecimal is the field.
  const auto dead = whereLines(app.state(), "Dead");
  ASSERT_TRUE(dead);
  EXPECT_EQ(dead->front().rfind("字段 Dead：", 0), 0u) << dead->front();
  for (const char* unknown : {"", "NoSuchField", "0x400", "ta "})
    EXPECT_FALSE(whereLines(app.state(), unknown)) << unknown;
}

// Whatever byte a write sends, `where` says which field or filler it is, under both schemes.
TEST(Where, EveryAddressTheWriteSendsIsNamed) {
  test::TestProgram app;
  for (Address at : writtenAddresses()) {
    const auto lines = whereLines(app.state(), addressText(at));
    ASSERT_TRUE(lines) << addressText(at);
    ASSERT_FALSE(lines->empty());
    for (const std::string& line : *lines) {
      EXPECT_EQ(line.find("写频不发送"), std::string::npos) << line;
      EXPECT_TRUE(line.find("：字段 ") != std::string::npos || line.ends_with("：填充")) << line;
    }
  }
}

}  // namespace
}  // namespace rcp::image
