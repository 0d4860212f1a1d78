#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/image.hpp"
#include "support/temp_dir.hpp"

namespace rcp::app {
namespace {

TEST(CliImage, AValueThatIsNoNumberIsReportedWithItsKeyAndFile) {
  test::TempDir dir;
  const auto file = dir / "bad.ini";
  std::ofstream(file, std::ios::binary) << "[File0]\r\nFirstChannel=12\r\nRegCode=abc\r\n";
  std::ostringstream out, err;
  EXPECT_EQ(cliImage("HX33", file, {out, err}), kExitUsageFileOrPort);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(),
            "文件“" + file.string() + "”中RegCode的值有误：'abc' is not a valid integer value.\n");
}

}  // namespace
}  // namespace rcp::app
