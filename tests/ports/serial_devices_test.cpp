// The serial devices of a machine, read from a fake sysfs and /dev: a USB adaptor, an ACM
// modem, a real UART, phantom UARTs and virtual terminals.

#include "ports/serial_devices.hpp"

#include <gtest/gtest.h>

#include "support/fake_system.hpp"
#include "support/temp_dir.hpp"

namespace rcp::link {
namespace {

constexpr const char* kFtdiById = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
constexpr const char* kArduinoById = "usb-Arduino__www.arduino.cc__0043_7563331323335180E1C1-if00";

struct SerialDevicesTest : ::testing::Test {
  test::TempDir dir;
  test::FakeSystem system{dir.path()};

  void SetUp() override {
    system.addUsb({"ttyUSB0", "1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI",
                   "ftdi_sio", kFtdiById});
    system.addUsb({"ttyACM0", "1-3", "2341", "0043", "Arduino (www.arduino.cc)", "",
                   "7563331323335180E1C1", "cdc_acm", kArduinoById});
    system.addUart("ttyS0", 4);
    for (const char* phantom : {"ttyS1", "ttyS2", "ttyS3"}) system.addUart(phantom, 0);
    for (const char* virtualTerminal : {"tty0", "tty1", "console", "ptmx"})
      system.addVirtual(virtualTerminal);
  }
  std::string dev(const std::string& name) { return (system.roots().dev / name).string(); }
};

TEST_F(SerialDevicesTest, ListsTheAdaptorTheModemAndTheRealUartOnly) {
  const auto devices = listSerialDevices(system.roots());
  ASSERT_EQ(devices.size(), 3u);
  EXPECT_EQ(devices[0].name, "ttyACM0");
  EXPECT_EQ(devices[1].name, "ttyUSB0");
  EXPECT_EQ(devices[2].name, "ttyS0") << "USB devices come first, then UARTs";
}

TEST_F(SerialDevicesTest, AUsbAdaptorHasItsIdsStringsDriverAndStableName) {
  const auto devices = listSerialDevices(system.roots());
  const SerialDevice& ftdi = devices.at(1);
  EXPECT_EQ(ftdi.kind, SerialKind::UsbSerial);
  EXPECT_EQ(ftdi.path, dev("ttyUSB0"));
  EXPECT_EQ(ftdi.byId, dev(std::string("serial/by-id/") + kFtdiById));
  EXPECT_EQ(ftdi.storedPath(), ftdi.byId);
  EXPECT_EQ(ftdi.driver, "ftdi_sio");
  EXPECT_EQ(ftdi.vendorId, "0403");
  EXPECT_EQ(ftdi.productId, "6001");
  EXPECT_EQ(ftdi.manufacturer, "FTDI");
  EXPECT_EQ(ftdi.product, "FT232R USB UART");
  EXPECT_EQ(ftdi.serial, "A50285BI");
  EXPECT_EQ(ftdi.label(), "FT232R USB UART (ttyUSB0)");
}

TEST_F(SerialDevicesTest, AnAcmModemWithoutAProductStringIsShownByItsIds) {
  const SerialDevice acm = listSerialDevices(system.roots()).at(0);
  EXPECT_EQ(acm.kind, SerialKind::UsbModem);
  EXPECT_EQ(acm.driver, "cdc_acm");
  EXPECT_EQ(acm.manufacturer, "Arduino (www.arduino.cc)");
  EXPECT_EQ(acm.product, "");
  EXPECT_EQ(acm.serial, "7563331323335180E1C1");
  EXPECT_EQ(acm.byId, dev(std::string("serial/by-id/") + kArduinoById));
  EXPECT_EQ(acm.label(), "USB 2341:0043 (ttyACM0)");
}

TEST_F(SerialDevicesTest, ARealUartHasNoUsbDataAndIsStoredByItsDeviceFile) {
  const SerialDevice uart = listSerialDevices(system.roots()).at(2);
  EXPECT_EQ(uart.kind, SerialKind::Uart);
  EXPECT_EQ(uart.driver, "serial");
  EXPECT_EQ(uart.vendorId, "");
  EXPECT_EQ(uart.byId, "");
  EXPECT_EQ(uart.storedPath(), dev("ttyS0"));
  EXPECT_EQ(uart.label(), "串口 (ttyS0)");
}

TEST_F(SerialDevicesTest, DevicesOfAKindFollowTheKernelsNumbering) {
  system.addUsb({"ttyUSB10", "1-5", "1a86", "7523", "", "USB Serial", "", "ch341", ""});
  system.addUsb(
      {"ttyUSB2", "1-4", "067b", "2303", "Prolific", "USB-Serial Controller", "", "pl2303", ""});
  std::vector<std::string> names;
  for (const auto& device : listSerialDevices(system.roots())) names.push_back(device.name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"ttyACM0", "ttyUSB0", "ttyUSB2", "ttyUSB10", "ttyS0"}));
}

TEST_F(SerialDevicesTest, APathFindsItsDeviceByStableNameFileOrAnyLinkToIt) {
  const auto devices = listSerialDevices(system.roots());
  const SerialDevice* ftdi = &devices.at(1);
  EXPECT_EQ(findSerialDevice(devices, ftdi->byId, system.roots()), ftdi);
  EXPECT_EQ(findSerialDevice(devices, dev("ttyUSB0"), system.roots()), ftdi);
  EXPECT_EQ(findSerialDevice(devices, "/dev/ttyUSB0", system.roots()), ftdi)
      << "a /dev path is looked up in the tree";
  std::filesystem::create_directories(system.roots().dev / "serial/by-path");
  std::filesystem::create_symlink("../../ttyUSB0",
                                  system.roots().dev / "serial/by-path/pci-0000:00:14.0-usb-0:2");
  EXPECT_EQ(
      findSerialDevice(devices, dev("serial/by-path/pci-0000:00:14.0-usb-0:2"), system.roots()),
      ftdi);
  EXPECT_EQ(findSerialDevice(devices, "/dev/ttyUSB7", system.roots()), nullptr);
  EXPECT_EQ(findSerialDevice(devices, "", system.roots()), nullptr);
}

TEST(SerialDevicesWithoutSysfs, ListsNothing) {
  test::TempDir dir;
  EXPECT_TRUE(listSerialDevices({dir / "sys", dir / "dev", dir / "proc"}).empty());
}

}  // namespace
}  // namespace rcp::link
