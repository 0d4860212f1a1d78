#include "window/port_setup.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "link/com_ini.hpp"
#include "link/ini_profile.hpp"
#include "link/low_latency.hpp"
#include "support/fake_system.hpp"
#include "support/test_program.hpp"

namespace rcp::app {
namespace {

using Kind = sim::SimulatedPort::Event::Kind;

std::string panel(test::TestProgram& app, int i) {
  return app.main().at("StatusBar").panels.at(static_cast<std::size_t>(i)).text;
}

TEST(PortSetupTest, StartUpGreetsAndIdentifiesTheRadio) {
  test::TestProgram app(true, "HX77");
  EXPECT_EQ(app.port.transcript().substr(0, app.port.transcript().find("read 18")),
            "0 open /dev/ttyS1\n0 purge both\n0 purge both\n0 > <91>\n10 purge receive\n"
            "10 > PROG<CR>\n10 ");
  EXPECT_EQ(app.written(), "\x91PROG\rQ") << "the first tab leaves the test state";
  EXPECT_EQ(panel(app, 2), "欢迎使用HX77双工手持台!");
  EXPECT_EQ(panel(app, 1), std::string(app.radio.identity().begin(), app.radio.identity().end()));
  EXPECT_EQ(app.main().caption(), "HX77双工手持台参数设置");
  EXPECT_EQ(app.state().values.duplexSpacing, 450000);
  EXPECT_TRUE(app.state().values.phoneBookModel);
  EXPECT_TRUE(app.dialogs.messages.empty());
  EXPECT_FALSE(std::filesystem::exists(app.state().comIni)) << "Com.ini is written only on OK";
}

TEST(PortSetupTest, ASilentRadioIsReportedOnceAndStartUpGoesOn) {
  test::TestProgram app(false);
  app.radio.faults().silent = true;
  int repaintsBeforeBox = -1;
  app.dialogs.answer = [&](const ui::Message&) {
    repaintsBeforeBox = app.screen.repaints;
    return ui::MessageResult::Ok;
  };
  app.start();
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_EQ(app.dialogs.messages[0].text, "设备未开启！请检查电源及通讯口！");
  EXPECT_EQ(app.dialogs.messages[0].caption, "系统信息");
  EXPECT_EQ(repaintsBeforeBox, 1) << "the status bar is painted before the box";
  EXPECT_EQ(panel(app, 2), "设备未开启");
  EXPECT_EQ(app.main().caption(), "RCP520中文写码软件");
  EXPECT_EQ(app.state().values.duplexSpacing, 100000);
  EXPECT_FALSE(app.state().values.phoneBookModel);
  EXPECT_TRUE(app.main().isShowing());
}

// A USB adaptor holding the answers back past the time-outs looks like a silent radio: the box
// names a high latency timer of the device really opened (Com.ini's, or the command line's own).
TEST(PortSetupTest, ASilentRadioOnAnAdaptorWithAHighLatencyTimerNamesIt) {
  struct Case {
    std::string comIniDevice;
    std::string ownDevice;  // the command line's --port
    std::string named;      // the adaptor whose timer is named; empty: no second line
  };
  for (const Case& c : std::vector<Case>{{"/dev/ttyUSB0", "", "ttyUSB0"},
                                         {"/dev/ttyUSB1", "", ""},
                                         {"/dev/ttyUSB1", "/dev/ttyUSB0", "ttyUSB0"},
                                         {"/dev/ttyUSB0", "/dev/ttyUSB1", ""}}) {
    test::TestProgram app(false);
    test::FakeSystem system(app.dir.path());
    system.addUsb(
        {"ttyUSB0", "1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A1", "ftdi_sio", "", "16"});
    system.addUsb(
        {"ttyUSB1", "1-3", "0403", "6001", "FTDI", "FT232R USB UART", "A2", "ftdi_sio", "", "1"});
    ASSERT_FALSE(link::writePortDevice(app.state().comIni, "COM2", c.comIniDevice));
    app.state().device = c.ownDevice;
    app.radio.faults().silent = true;
    app.start();
    ASSERT_EQ(app.dialogs.messages.size(), 1u);
    EXPECT_EQ(app.dialogs.messages[0].text, "设备未开启！请检查电源及通讯口！");
    EXPECT_EQ(app.dialogs.messages[0].detail,
              c.named.empty() ? std::string() : link::highLatencyText(c.named, 16))
        << c.comIniDevice << " / " << c.ownDevice;
  }
}

TEST(PortSetupTest, ABusyPortIsReportedWithoutAGreeting) {
  test::TestProgram app(false);
  app.port.setOpenable(false);
  app.start();
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_EQ(app.dialogs.messages[0].text, "通讯口被占用");
  EXPECT_EQ(app.dialogs.messages[0].caption, "打开串口错误");
  EXPECT_EQ(app.dialogs.messages[0].icon, ui::MessageIcon::Error);
  EXPECT_EQ(app.dialogs.messages[0].detail, "设备 /dev/ttyS1 不存在，请检查数据线是否插好。")
      << "the port doctor's reason is the second line";
  EXPECT_EQ(panel(app, 2), "状态：通讯口被占用");
  EXPECT_EQ(app.written(), "Q") << "nothing but the first tab's attempt";
}

TEST(PortSetupTest, ABusyPortNamesTheProgramThatHoldsIt) {
  test::TestProgram app(false);
  test::FakeSystem system(app.dir.path());
  system.addUsb(
      {"ttyUSB0", "1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI", "ftdi_sio", ""});
  system.addProcess(4711, "minicom", {"/dev/ttyUSB0"});
  ASSERT_FALSE(link::writePortDevice(app.state().comIni, "COM2", "/dev/ttyUSB0"));
  app.port.setOpenable(false);
  app.start();
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_EQ(app.dialogs.messages[0].text, "通讯口被占用");
  EXPECT_EQ(app.dialogs.messages[0].detail,
            "/dev/ttyUSB0 正被另一个程序占用：minicom（进程号 4711）。");
}

TEST(PortSetupTest, PortNameComesFromComIniAndNamesTheDevice) {
  test::TestProgram app(false);
  std::ofstream(app.state().comIni) << "[ComStatus]\r\nComport=com1\r\n[ComDevices]\r\n"
                                       "COM4=/dev/ttyUSB0\r\n";
  app.start();
  EXPECT_EQ(app.state().portName, "COM4") << "the comparison is exact and case-sensitive";
  EXPECT_EQ(app.port.events().front().device, "/dev/ttyUSB0");
}

struct ComSetTest : ::testing::Test {
  test::TestProgram app{true, "HX77"};
  ui::Form& dialog = *app.state().comSet;

  void confirmWith(const char* button) {
    app.dialogs.onModal = [button](ui::Form& f) {
      if (button) f.userClick(button);
      f.userClick("ComSet_OK");
    };
    app.main().userClick("ComSet");
  }
};

TEST_F(ComSetTest, ShowsThePortInUseAndConfirmingReopensAndGreets) {
  app.state().portName = "COM4";
  app.port.clearEvents();
  bool com4Shown = false;
  app.dialogs.onModal = [&](ui::Form& f) {
    com4Shown = f.checked("Com4");
    f.userClick("ComSet_OK");
  };
  app.main().userClick("ComSet");
  EXPECT_TRUE(com4Shown);
  EXPECT_EQ(app.port.events().at(0).kind, Kind::Close);
  EXPECT_EQ(app.port.events().at(1).device, "/dev/ttyS3");
  EXPECT_EQ(app.written(), "\x91PROG\r");
  EXPECT_EQ(link::readPortName(app.state().comIni), "COM4");
  EXPECT_FALSE(dialog.isShowing());
}

TEST_F(ComSetTest, TheFleetButtonOpensTheFleetDialogStartingFromTheStoredOptions) {
  ASSERT_FALSE(link::writeWriteSafety(app.state().comIni, {true, false}));
  bool backup = false, verify = true, portDialogStays = false;
  app.dialogs.onModal = [&](ui::Form& f) {
    if (f.name() == "Fleet_Form") {
      backup = f.checked("FleetBackup");
      verify = f.checked("FleetVerify");
      return;
    }
    f.userClick("FleetOpen");
    portDialogStays = f.isShowing();
    f.userClick("ComSet_CANCLE");
  };
  app.main().userClick("ComSet");
  EXPECT_EQ(app.dialogs.shownForms, (std::vector<std::string>{"ComSet_Form", "Fleet_Form"}));
  EXPECT_TRUE(portDialogStays);
  EXPECT_TRUE(backup);
  EXPECT_FALSE(verify);
}

TEST_F(ComSetTest, TheChosenPortIsStoredAndCancelChangesNothing) {
  confirmWith("Com1");
  EXPECT_EQ(app.state().portName, "COM1");
  EXPECT_EQ(link::readPortName(app.state().comIni), "COM1");

  app.dialogs.onModal = [](ui::Form& f) {
    f.userClick("Com3");
    f.userClick("ComSet_CANCLE");
  };
  app.port.clearEvents();
  app.main().userClick("ComSet");
  EXPECT_EQ(app.state().portName, "COM1");
  EXPECT_TRUE(app.port.events().empty());
}

TEST_F(ComSetTest, ALaterSilentGreetingKeepsTheEarlierModel) {
  app.radio.faults().silent = true;
  confirmWith(nullptr);
  EXPECT_EQ(app.main().caption(), "HX77双工手持台参数设置");
  EXPECT_EQ(app.state().values.duplexSpacing, 450000);
  EXPECT_EQ(app.dialogs.texts(), (std::vector<std::string>{"设备未开启！请检查电源及通讯口！"}));
}

TEST_F(ComSetTest, AnUnwritableComIniStopsTheConfirmation) {
  std::filesystem::create_directories(app.state().comIni);  // a folder where the file should be
  app.port.clearEvents();
  confirmWith("Com3");
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_NE(app.dialogs.messages[0].text.find("Com.ini"), std::string::npos)
      << app.dialogs.messages[0].text;
  EXPECT_EQ(app.dialogs.messages[0].caption, "Veltra写频软件");
  EXPECT_EQ(app.state().portName, "COM3") << "the new name stays in use";
  EXPECT_TRUE(app.port.events().empty()) << "the port is not reopened";
}

// The device behind each port name, chosen in the same dialog from a fake machine's devices.
struct ComDevicesTest : ::testing::Test {
  test::TestProgram app{false, "HX77"};
  test::FakeSystem system{app.dir.path()};
  ui::Form* dialog = nullptr;
  std::string ftdiById;

  void SetUp() override {
    system.addUsb({"ttyUSB0", "1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI",
                   "ftdi_sio", "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"});
    system.addUsb(
        {"ttyACM0", "1-3", "1546", "01a8", "u-blox AG", "u-blox GNSS receiver", "", "cdc_acm", ""});
    system.addUart("ttyS1", 0);  // the default "COM2" is a phantom here
    ftdiById =
        (system.roots().dev / "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0").string();
    app.start();
    dialog = app.state().comSet.get();
    app.port.clearEvents();
    app.dialogs.messages.clear();
  }
  // Shows the dialog, lets `act` work on it, then confirms.
  void confirm(const std::function<void(ui::Form&)>& act) {
    app.dialogs.onModal = [act](ui::Form& f) {
      act(f);
      f.userClick("ComSet_OK");
    };
    app.main().userClick("ComSet");
  }
  std::string comIni() {
    return link::readProfileString(app.state().comIni, "ComDevices", "COM2", "-");
  }
};

TEST_F(ComDevicesTest, EachPortNameShowsItsDeviceAndTheListOffersEveryDevice) {
  ASSERT_FALSE(link::writePortDevice(app.state().comIni, "COM1", "/dev/ttyUSB0"));
  ASSERT_FALSE(link::writePortDevice(app.state().comIni, "COM3", "/tmp/rcp520-radio-link"));
  std::vector<std::string> shown;
  std::vector<std::string> items;
  confirm([&](ui::Form& f) {
    for (const char* box : {"ComDevice1", "ComDevice2", "ComDevice3", "ComDevice4"})
      shown.push_back(f.text(box));
    items = f.at("ComDevice2").items;
    EXPECT_TRUE(f.checked("Com2")) << "the port choice is as before";
  });
  EXPECT_EQ(items, (std::vector<std::string>{"u-blox GNSS receiver (ttyACM0)",
                                             "FT232R USB UART (ttyUSB0)"}));
  EXPECT_EQ(shown,
            (std::vector<std::string>{"FT232R USB UART (ttyUSB0)", "/dev/ttyS1",
                                      "/tmp/rcp520-radio-link（不存在）", "/dev/ttyS3（不存在）"}))
      << "a phantom UART is no listed device, but its file is there";
  // Nothing was changed: nothing but the port name is written.
  EXPECT_EQ(link::portDevice(app.state().comIni, "COM1"), "/dev/ttyUSB0");
  EXPECT_EQ(comIni(), "-");
  EXPECT_EQ(link::portDevice(app.state().comIni, "COM3"), "/tmp/rcp520-radio-link");
}

TEST_F(ComDevicesTest, ChoosingADeviceStoresItsStableNameThenReopensAndGreets) {
  confirm([](ui::Form& f) { f.userSelect("ComDevice2", 1); });
  EXPECT_EQ(comIni(), ftdiById);
  EXPECT_EQ(link::readPortName(app.state().comIni), "COM2");
  ASSERT_GE(app.port.events().size(), 2u);
  EXPECT_EQ(app.port.events().at(0).kind, Kind::Close);
  EXPECT_EQ(app.port.events().at(1).device, ftdiById);
  EXPECT_EQ(app.written(), "\x91PROG\r");
  EXPECT_EQ(panel(app, 2), "欢迎使用HX77双工手持台!");
}

TEST_F(ComDevicesTest, ATypedPathIsStoredAsTyped) {
  confirm([](ui::Form& f) {
    f.userClick("Com3");
    f.userType("ComDevice3", "  /tmp/rcp520-radio ");
  });
  EXPECT_EQ(link::readPortName(app.state().comIni), "COM3");
  EXPECT_EQ(link::portDevice(app.state().comIni, "COM3"), "/tmp/rcp520-radio");
  EXPECT_EQ(app.port.events().at(1).device, "/tmp/rcp520-radio");
}

TEST_F(ComDevicesTest, ADeviceThatHasGoneShowsAsMissingAndStaysChosen) {
  ASSERT_FALSE(link::writePortDevice(app.state().comIni, "COM2", ftdiById));
  std::filesystem::remove(system.roots().dev / "ttyUSB0");
  std::filesystem::remove(system.roots().sys / "class/tty/ttyUSB0");
  std::string shown;
  confirm([&](ui::Form& f) { shown = f.text("ComDevice2"); });
  EXPECT_EQ(shown, ftdiById + "（不存在）");
  EXPECT_EQ(comIni(), ftdiById);
}

TEST_F(ComDevicesTest, RefreshReadsTheListAgainAndKeepsEachChoice) {
  std::vector<std::string> before;
  std::vector<std::string> after;
  std::string shown;
  confirm([&](ui::Form& f) {
    f.userSelect("ComDevice2", 1);  // the FTDI adaptor
    before = f.at("ComDevice2").items;
    system.addUsb({"ttyUSB1", "1-4", "1a86", "7523", "", "USB Serial", "", "ch341",
                   "usb-1a86_USB_Serial-if00-port0"});
    f.userClick("ComRefresh");
    after = f.at("ComDevice2").items;
    shown = f.text("ComDevice2");
  });
  EXPECT_EQ(before.size(), 2u);
  EXPECT_EQ(after, (std::vector<std::string>{"u-blox GNSS receiver (ttyACM0)",
                                             "FT232R USB UART (ttyUSB0)", "USB Serial (ttyUSB1)"}));
  EXPECT_EQ(shown, "FT232R USB UART (ttyUSB0)");
  EXPECT_EQ(comIni(), ftdiById);
}

TEST_F(ComDevicesTest, CancelWritesNoDevice) {
  app.dialogs.onModal = [](ui::Form& f) {
    f.userSelect("ComDevice2", 1);
    f.userClick("ComSet_CANCLE");
  };
  app.main().userClick("ComSet");
  EXPECT_EQ(comIni(), "-");
  EXPECT_TRUE(app.port.events().empty());
}

}  // namespace
}  // namespace rcp::app
