// The serial ports of a Windows machine, read through a fake SetupAPI layer: the device list they
// make, and the doctor's advice for a cable Windows will not drive.

#include "ports/windows_ports.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rcp::link {
namespace {

// SetupAPI as a table of the records it would give.
struct FakeSetupApi : WindowsPortSource {
  std::vector<WindowsPort> records;
  explicit FakeSetupApi(std::vector<WindowsPort> r) : records(std::move(r)) {}
  std::vector<WindowsPort> ports() const override { return records; }
};

WindowsPort ch340(std::string port, unsigned long problem = 0, bool present = true) {
  const std::string friendly = port.empty() ? "USB2.0-Serial" : "USB-SERIAL CH340 (" + port + ")";
  return {
      port,         friendly,       {"USB\\VID_1A86&PID_7523&REV_0264", "USB\\VID_1A86&PID_7523"},
      "wch.cn",     "CH341SER_A64", "wch.cn",
      "3.8.2023.2", "2-23-2023",    problem,
      present};
}

WindowsPort prolific(std::string version, unsigned long problem = 10) {
  return {"COM3",
          "Prolific USB-to-Serial Comm Port (COM3)",
          {"USB\\VID_067B&PID_2303&REV_0300", "USB\\VID_067B&PID_2303"},
          "Prolific",
          "Ser2pl64",
          "Prolific",
          version,
          "10-22-2020",
          problem,
          true};
}

// An adaptor without a driver: no port name, no service, its description as name.
WindowsPort withoutDriver(std::string description, std::string hardwareId) {
  WindowsPort port;
  port.friendlyName = std::move(description);
  port.hardwareIds = {std::move(hardwareId)};
  port.problem = kProblemNoDriver;
  return port;
}

const FakeSetupApi kMachine{{
    {"COM10",
     "USB Serial Port (COM10)",
     {"FTDIBUS\\COMPORT&VID_0403&PID_6001"},
     "FTDI",
     "FTSER2K",
     "FTDI",
     "2.12.36.4",
     "3-13-2023",
     0,
     true},
    {"COM1",
     "Communications Port (COM1)",
     {"ACPI\\PNP0501", "*PNP0501"},
     "(Standard port types)",
     "Serial",
     "Microsoft",
     "10.0.19041.1",
     "6-21-2006",
     0,
     true},
    ch340("COM5"),
    ch340("COM4", 0, false),  // seen before, not plugged in now
    {"COM3",
     "USB 串行设备 (COM3)",
     {"USB\\VID_2341&PID_0043&REV_0001", "USB\\VID_2341&PID_0043"},
     "Microsoft",
     "usbser",
     "Microsoft",
     "10.0.19041.1",
     "6-21-2006",
     0,
     true},
    {"COM2",
     "Silicon Labs CP210x USB to UART Bridge (COM2)",
     {"USB\\VID_10C4&PID_EA60&REV_0100"},
     "Silicon Labs",
     "silabser",
     "Silicon Labs",
     "6.7.6.2130",
     "4-7-2020",
     0,
     true},
}};

TEST(WindowsDeviceList, PresentPortsAreListedLikeTheLinuxDevicesUsbFirstByNumber) {
  struct Row {
    std::string name, label;
    SerialKind kind;
    std::string driver, vendor, product, manufacturer;
  };
  const std::vector<Row> expected = {
      {"COM2", "Silicon Labs CP210x USB to UART Bridge (COM2)", SerialKind::UsbSerial, "silabser",
       "10c4", "ea60", "Silicon Labs"},
      {"COM3", "USB 串行设备 (COM3)", SerialKind::UsbModem, "usbser", "2341", "0043", "Microsoft"},
      {"COM5", "USB-SERIAL CH340 (COM5)", SerialKind::UsbSerial, "CH341SER_A64", "1a86", "7523",
       "wch.cn"},
      {"COM10", "USB Serial Port (COM10)", SerialKind::UsbSerial, "FTSER2K", "0403", "6001",
       "FTDI"},
      {"COM1", "Communications Port (COM1)", SerialKind::Uart, "Serial", "", "",
       "(Standard port types)"},
  };
  const std::vector<SerialDevice> devices = windowsSerialDevices(kMachine.ports());
  ASSERT_EQ(devices.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const Row& row = expected[i];
    const SerialDevice& device = devices[i];
    EXPECT_EQ(device.name, row.name);
    EXPECT_EQ(device.path, row.name) << "the port name is what is opened and kept in Com.ini";
    EXPECT_EQ(device.storedPath(), row.name);
    EXPECT_EQ(device.label(), row.label);
    EXPECT_EQ(device.kind, row.kind) << row.name;
    EXPECT_EQ(device.driver, row.driver);
    EXPECT_EQ(device.vendorId, row.vendor);
    EXPECT_EQ(device.productId, row.product);
    EXPECT_EQ(device.manufacturer, row.manufacturer);
  }
  EXPECT_EQ(findSerialDevice(devices, "COM5"), &devices[2]);
}

TEST(WindowsDeviceList, UsbIdsComeFromTheFirstHardwareIdThatHasBoth) {
  struct Case {
    std::vector<std::string> ids;
    std::optional<UsbIds> expected;
  };
  for (const Case& c : std::vector<Case>{
           {{"USB\\VID_1A86&PID_7523&REV_0264"}, UsbIds{"1a86", "7523"}},
           {{"FTDIBUS\\COMPORT&VID_0403&PID_6015"}, UsbIds{"0403", "6015"}},
           {{"usb\\vid_10c4&pid_ea60"}, UsbIds{"10c4", "ea60"}},
           {{"ACPI\\PNP0501", "USB\\VID_067B&PID_2303"}, UsbIds{"067b", "2303"}},
           {{"USB\\VID_1A86"}, std::nullopt},
           {{"USB\\VID_1A8&PID_7523"}, std::nullopt},
           {{"USB\\VID_ZZZZ&PID_7523"}, std::nullopt},
           {{"USB\\VID_1A86&PID_75"}, std::nullopt},
           {{""}, std::nullopt},
           {{}, std::nullopt},
       })
    EXPECT_EQ(usbIdsOf(c.ids), c.expected) << (c.ids.empty() ? "" : c.ids.front());
}

struct DoctorCase {
  std::string what;
  std::vector<WindowsPort> records;
  std::string port;
  WindowsOpenError open;
  WindowsPortProblem kind;
  std::string text;  // the whole text, or a part of it when `part`
  bool part = false;
};

void expectDiagnosis(const DoctorCase& c) {
  const FakeSetupApi setupApi{c.records};
  const WindowsPortDiagnosis d = diagnoseWindowsPort(c.port, setupApi.ports(), c.open);
  EXPECT_EQ(d.kind, c.kind) << c.what;
  const std::string text = windowsProblemText(d);
  if (c.part)
    EXPECT_NE(text.find(c.text), std::string::npos) << c.what << ": " << text;
  else
    EXPECT_EQ(text, c.text) << c.what;
}

const WindowsOpenError kOpened{0, ""};
const WindowsOpenError kNotFound{kWindowsFileNotFound, "系统找不到指定的文件。"};
const WindowsOpenError kDenied{kWindowsAccessDenied, "拒绝访问。\r\n"};
const WindowsOpenError kNotFunctioning{31, "连到系统上的设备没有发挥作用。\r\n"};
const WindowsOpenError kNoWords{1167, " \r\n"};

TEST(WindowsPortDoctor, Code10OnAProlificIdNamesTheDriverToInstallOnlyWhenTheDriverRefusesClones) {
  const std::string clone =
      "Prolific USB-to-Serial Comm Port 无法启动（代码 10）：它的 USB ID 067B:2303 是 Prolific "
      "PL2303 芯片，而当前的驱动 3.8.39.0 不再支持早期型号和仿制芯片。建议改装 3.3.x "
      "系列的旧驱动（例如 "
      "3.3.2.102）：先安装它，再在设备管理器中“更新驱动程序”，从计算机上已有的驱动列表中"
      "选择它，并阻止 Windows 更新再次替换它；或者换用 CH340、FTDI 或 CP210x 芯片的数据线。";
  const std::string cannotStart =
      "Prolific USB-to-Serial Comm Port 无法启动（代码 10）。请拔下数据线再插上；仍不行时，"
      "请在设备管理器中卸载它（连同驱动程序），再重新安装数据线厂商提供的驱动。";
  WindowsPort otherProlific = prolific("3.8.39.0");
  otherProlific.hardwareIds = {"USB\\VID_067B&PID_23A3&REV_0400"};  // a current chip
  for (const DoctorCase& c : std::vector<DoctorCase>{
           {"refusing driver",
            {prolific("3.8.39.0")},
            "COM3",
            kNotFound,
            WindowsPortProblem::CloneRefused,
            clone},
           {"the first refusing series",
            {prolific("3.4.25.218")},
            "COM3",
            kNotFound,
            WindowsPortProblem::CloneRefused,
            "当前的驱动 3.4.25.218 不再支持",
            true},
           {"a much later one",
            {prolific("10.0")},
            "COM3",
            kNotFound,
            WindowsPortProblem::CloneRefused,
            "例如 3.3.2.102",
            true},
           {"the old driver",
            {prolific("3.3.11.152")},
            "COM3",
            kNotFound,
            WindowsPortProblem::CannotStart,
            cannotStart},
           {"the advised driver",
            {prolific("3.3.2.102")},
            "COM3",
            kNotFound,
            WindowsPortProblem::CannotStart,
            cannotStart},
           {"no version",
            {prolific("")},
            "COM3",
            kNotFound,
            WindowsPortProblem::CannotStart,
            cannotStart},
           {"a garbled version",
            {prolific("3.x.1")},
            "COM3",
            kNotFound,
            WindowsPortProblem::CannotStart,
            cannotStart},
           {"another Prolific chip",
            {otherProlific},
            "COM3",
            kNotFound,
            WindowsPortProblem::CannotStart,
            cannotStart},
           {"code 10 on another adaptor",
            {ch340("COM5", 10)},
            "COM5",
            kNotFound,
            WindowsPortProblem::CannotStart,
            "USB-SERIAL CH340 无法启动（代码 10）。",
            true},
           {"the clone plugged in while Com.ini names another port",
            {prolific("3.8.39.0")},
            "COM5",
            kNotFound,
            WindowsPortProblem::CloneRefused,
            clone},
       })
    expectDiagnosis(c);
}

TEST(WindowsPortDoctor, Code28NamesTheDriverTheAdaptorsIdsNeed) {
  const std::string ch340Text =
      "USB2.0-Serial 没有安装驱动程序（代码 28）：它的 USB ID 1A86:7523 是 CH340/CH341 "
      "芯片，请安装驱动：沁恒（WCH）CH341SER，然后拔下数据线再插上。";
  for (const DoctorCase& c : std::vector<DoctorCase>{
           {"CH340", {ch340("", 28)}, "COM5", kNotFound, WindowsPortProblem::NoDriver, ch340Text},
           {"CH341",
            {withoutDriver("USB2.0-Ser!", "USB\\VID_1A86&PID_5523&REV_0304")},
            "COM5",
            kNotFound,
            WindowsPortProblem::NoDriver,
            "USB ID 1A86:5523 是 CH340/CH341 芯片，请安装驱动：沁恒（WCH）CH341SER",
            true},
           {"PL2303",
            {withoutDriver("USB-Serial Controller", "USB\\VID_067B&PID_2303&REV_0300")},
            "COM5",
            kNotFound,
            WindowsPortProblem::NoDriver,
            "USB ID 067B:2303 是 PL2303 芯片，请安装驱动：Prolific PL2303"
            "（仿制芯片建议用 3.3.x 系列的旧驱动，例如 3.3.2.102）",
            true},
           {"FTDI FT232R",
            {withoutDriver("FT232R USB UART", "USB\\VID_0403&PID_6001&REV_0600")},
            "COM5",
            kNotFound,
            WindowsPortProblem::NoDriver,
            "USB ID 0403:6001 是 FTDI 芯片，请安装驱动：FTDI VCP",
            true},
           {"FTDI FT231X",
            {withoutDriver("FT231X USB UART", "USB\\VID_0403&PID_6015&REV_1000")},
            "COM5",
            kNotFound,
            WindowsPortProblem::NoDriver,
            "USB ID 0403:6015 是 FTDI 芯片",
            true},
           {"CP210x",
            {withoutDriver("CP2102 USB to UART Bridge Controller", "USB\\VID_10C4&PID_EA60")},
            "COM5",
            kNotFound,
            WindowsPortProblem::NoDriver,
            "USB ID 10C4:EA60 是 CP210x 芯片，请安装驱动：Silicon Labs CP210x VCP",
            true},
           {"unknown ids",
            {withoutDriver("USB Serial", "USB\\VID_1234&PID_5678")},
            "COM5",
            kNotFound,
            WindowsPortProblem::NoDriver,
            "USB Serial 没有安装驱动程序（代码 28）：请安装数据线厂商为 USB ID 1234:5678 "
            "提供的驱动，然后拔下数据线再插上。"},
           {"no ids, no name",
            {withoutDriver("", "ROOT\\UNKNOWN")},
            "COM5",
            kNotFound,
            WindowsPortProblem::NoDriver,
            "未知设备 没有安装驱动程序（代码 "
            "28）：请安装数据线厂商提供的驱动，然后拔下数据线再插上。"},
           {"no name: shown by its ids",
            {withoutDriver("", "USB\\VID_1A86&PID_7523")},
            "COM5",
            kNotFound,
            WindowsPortProblem::NoDriver,
            "USB 设备 1A86:7523 没有安装驱动程序",
            true},
       })
    expectDiagnosis(c);
}

TEST(WindowsPortDoctor, AnAdaptorUnderAnotherNumberIsNamedWithItsNewNumber) {
  const std::string moved =
      "COM5 不存在：数据线 USB-SERIAL CH340 换了端口号，它现在是 COM7。请在“设置串口”中改选 "
      "COM7，或在设备管理器中把它的端口号改回 COM5。";
  const WindowsPort ftdi = kMachine.records.front();  // COM10
  WindowsPort otherFtdi = ftdi;
  otherFtdi.portName = "COM11";
  for (const DoctorCase& c : std::vector<DoctorCase>{
           {"seen before under COM5",
            {ch340("COM5", 0, false), ftdi, ch340("COM7")},
            "COM5",
            kNotFound,
            WindowsPortProblem::Moved,
            moved},
           {"the one adaptor there",
            {ch340("COM7")},
            "COM5",
            kNotFound,
            WindowsPortProblem::Moved,
            moved},
           {"the port asked for in lower case",
            {ch340("COM7")},
            "com5",
            kNotFound,
            WindowsPortProblem::Moved,
            "COM5 不存在：数据线 USB-SERIAL CH340 换了端口号，它现在是 COM7。",
            true},
           {"two adaptors, neither seen under COM5",
            {ftdi, otherFtdi},
            "COM5",
            kNotFound,
            WindowsPortProblem::Missing,
            "COM5 不存在，请检查数据线是否插好；现有的串口：COM10、COM11。"},
           {"nothing there",
            {ch340("COM5", 0, false)},
            "COM5",
            kNotFound,
            WindowsPortProblem::Missing,
            "COM5 不存在，请检查数据线是否插好。"},
           {"an adaptor with a problem comes before guessing",
            {ch340("COM7"), ch340("", 28)},
            "COM5",
            kNotFound,
            WindowsPortProblem::NoDriver,
            "（代码 28）",
            true},
           {"a built-in port is no adaptor that moved",
            {kMachine.records[1]},
            "COM5",
            kNotFound,
            WindowsPortProblem::Missing,
            "现有的串口：COM1。",
            true},
       })
    expectDiagnosis(c);
}

TEST(WindowsPortDoctor, WhatOpeningSaidDecidesForAPortWithoutProblem) {
  const std::string held =
      "COM5 正被另一个程序占用：请关闭正在使用它的程序（串口调试工具、其他写频软件等）后再试。";
  WindowsPort disabled = ch340("COM5", kProblemDisabled);
  for (const DoctorCase& c : std::vector<DoctorCase>{
           {"held", {ch340("COM5")}, "COM5", kDenied, WindowsPortProblem::Held, held},
           {"held by its device name",
            {ch340("COM5")},
            "\\\\.\\COM5",
            kDenied,
            WindowsPortProblem::Held,
            held},
           {"held, a port of another class", {}, "COM5", kDenied, WindowsPortProblem::Held, held},
           {"opens now",
            {ch340("COM5")},
            "COM5",
            kOpened,
            WindowsPortProblem::None,
            "COM5 现在可以打开，请再试一次。"},
           {"another error, the system's words as part of the sentence",
            {ch340("COM5")},
            "COM5",
            kNotFunctioning,
            WindowsPortProblem::Failed,
            "打开 COM5 失败：连到系统上的设备没有发挥作用。"},
           {"another error without words",
            {ch340("COM5")},
            "COM5",
            kNoWords,
            WindowsPortProblem::Failed,
            "打开 COM5 失败（错误代码 1167）。"},
           {"an unknown problem code",
            {ch340("COM5", 43)},
            "COM5",
            kNotFound,
            WindowsPortProblem::DeviceProblem,
            "USB-SERIAL CH340 有问题（设备管理器代码 43）：请拔下数据线再插上；仍不行时，"
            "请在设备管理器中查看它的状态并重新安装驱动。"},
           {"disabled",
            {disabled},
            "COM5",
            kNotFound,
            WindowsPortProblem::Disabled,
            "USB-SERIAL CH340 已被停用（代码 22）：请在设备管理器中右键点击它，选择“启用设备”。"},
           {"the problem code comes before what opening said",
            {ch340("COM5", 43)},
            "COM5",
            kDenied,
            WindowsPortProblem::DeviceProblem,
            "代码 43",
            true},
       })
    expectDiagnosis(c);
}

bool hasControlCharacter(const std::string& text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  return false;
}

TEST(WindowsPortDoctor, EmptyOrGarbledRecordsNeitherCrashNorReachTheTexts) {
  std::vector<WindowsPort> garbled = {
      {},
      {"", "", {}, "", "", "", "", "", 10, true},
      {"   ", "\r\n", {"", "USB\\VID_", "VID_ZZZZ&PID_0001"}, "", "", "", ".", "", 28, true},
      {"COM9\n",
       "Evil\x1b[2J (COM9\n)",
       {"USB\\VID_067B&PID_2303"},
       "\t",
       "",
       "Prolific",
       "99999999999999999999.1",
       "",
       10,
       true},
      {"COM6", "A\x7f", {"USB\\VID_067B&PID_2303"}, "", "", "", "3..4", "", 10, true},
      {"\\\\.\\", "", {}, "", "", "", "4.", "", 99, false},
      {"COM8", "", {"USB\\VID_1A86&PID_7523"}, "", "", "", "", "", 0, true},
  };
  const FakeSetupApi setupApi{garbled};
  for (const SerialDevice& device : windowsSerialDevices(setupApi.ports()))
    EXPECT_FALSE(hasControlCharacter(device.label())) << device.label();
  for (const std::string port : {"COM9", "", "\\\\.\\", "COM8", "COM77"})
    for (const WindowsOpenError& open :
         {WindowsOpenError{}, kNotFound, WindowsOpenError{kWindowsAccessDenied, ""},
          WindowsOpenError{87, "\x1b]0;x\a"}}) {
      const std::string text =
          windowsProblemText(diagnoseWindowsPort(port, setupApi.ports(), open));
      EXPECT_FALSE(text.empty()) << port;
      EXPECT_FALSE(hasControlCharacter(text)) << text;
    }
  for (int kind = 0; kind <= static_cast<int>(WindowsPortProblem::Failed); ++kind) {
    WindowsPortDiagnosis bare;  // a diagnosis without an adaptor
    bare.kind = static_cast<WindowsPortProblem>(kind);
    EXPECT_FALSE(windowsProblemText(bare).empty()) << kind;
  }
}

}  // namespace
}  // namespace rcp::link
