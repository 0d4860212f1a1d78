// "rcp520-cli ports" over a fake machine: the table, the reasons and the exit code.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/ports.hpp"
#include "support/fake_system.hpp"
#include "support/temp_dir.hpp"

namespace rcp::app {
namespace {

struct PortsCommandTest : ::testing::Test {
  test::TempDir dir;
  test::FakeSystem system{dir.path()};
  std::ostringstream out;
  std::ostringstream err;

  int ports(std::vector<std::string_view> args = {}) {
    const auto options = portsOptions(args);
    if (!options) return -1;
    return cliPorts(*options, {out, err, false}, system.roots(), dir / "Com.ini");
  }
  std::vector<std::string> lines() {
    std::vector<std::string> all;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) all.push_back(line);
    return all;
  }
};

TEST_F(PortsCommandTest, WithoutDevicesSaysSoAndExitsOne) {
  EXPECT_EQ(ports(), kExitNoRadioOrFailed);
  EXPECT_EQ(out.str(), "未找到串口设备。\n");
}

TEST_F(PortsCommandTest, TheTableShowsEachDeviceWhoHoldsItAndWhyItCannotBeUsed) {
  system.addUsb({"ttyUSB0", "1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI",
                 "ftdi_sio", "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"});
  system.addUsb(
      {"ttyACM0", "1-3", "1546", "01a8", "u-blox AG", "u-blox GNSS receiver", "", "cdc_acm", ""});
  system.addUart("ttyS0", 4);
  system.addUart("ttyS1", 0);
  system.addProcess(812, "ModemManager", {"/dev/ttyACM0"});
  std::ofstream(dir / "Com.ini") << "[ComDevices]\nCOM1=/dev/ttyS0\nCOM3=/dev/ttyUSB0\n";

  EXPECT_EQ(ports(), kExitDone) << "the adaptor and the UART are free";
  const auto table = lines();
  ASSERT_EQ(table.size(), 5u) << out.str();
  EXPECT_EQ(
      table[0],
      "设备     产品                  厂商       USB ID     驱动      延迟  序列号    通讯口  "
      "可否打开  占用者                      固定名称");
  EXPECT_EQ(
      table[1],
      "ttyACM0  u-blox GNSS receiver  u-blox AG  1546:01a8  cdc_acm   -     -         -       "
      "可以      ModemManager（进程号 812）  -");
  EXPECT_EQ(
      table[2],
      "ttyUSB0  FT232R USB UART       FTDI       0403:6001  ftdi_sio  -     A50285BI  COM3    "
      "可以      -                           " +
          (system.roots().dev / "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0")
              .string());
  EXPECT_TRUE(
      table[3].starts_with("ttyS0    -                     -          -          serial    -     - "
                           "        COM1    可以  "))
      << table[3];
  EXPECT_EQ(table[4], "ModemManager（进程号 812）正在探测 " +
                          (system.roots().dev / "ttyACM0").string() +
                          "，请稍等片刻再试，或运行 sudo systemctl stop ModemManager。");
}

TEST_F(PortsCommandTest, WhenNoDeviceIsFreeItExitsOne) {
  system.addUsb({"ttyUSB0", "1-2", "0403", "6001", "FTDI", "FT232R USB UART", "", "ftdi_sio", ""});
  const auto file = system.roots().dev / "ttyUSB0";
  system.addProcess(4711, "minicom", {file.string()});
  EXPECT_EQ(ports(), kExitNoRadioOrFailed);
  EXPECT_EQ(lines().back(), file.string() + " 正被另一个程序占用：minicom（进程号 4711）。");
}

TEST_F(PortsCommandTest, OnlyProbeIsAnOption) {
  EXPECT_TRUE(portsOptions({}));
  EXPECT_TRUE(portsOptions(std::vector<std::string_view>{"--probe"})->probe);
  EXPECT_FALSE(portsOptions(std::vector<std::string_view>{"--port", "x"}));
  EXPECT_FALSE(portsOptions(std::vector<std::string_view>{"extra"}));
}

}  // namespace
}  // namespace rcp::app
