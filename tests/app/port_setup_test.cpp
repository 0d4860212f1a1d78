#include "app/port_setup.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "link/com_ini.hpp"
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
  app.program.start();
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

TEST(PortSetupTest, ABusyPortIsReportedWithoutAGreeting) {
  test::TestProgram app(false);
  app.port.setOpenable(false);
  app.program.start();
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_EQ(app.dialogs.messages[0].text, "通讯口被占用");
  EXPECT_EQ(app.dialogs.messages[0].caption, "打开串口错误");
  EXPECT_EQ(app.dialogs.messages[0].icon, ui::MessageIcon::Error);
  EXPECT_EQ(panel(app, 2), "状态：通讯口被占用");
  EXPECT_EQ(app.written(), "Q") << "nothing but the first tab's attempt";
}

TEST(PortSetupTest, PortNameComesFromComIniAndNamesTheDevice) {
  test::TestProgram app(false);
  std::ofstream(app.state().comIni) << "[ComStatus]\r\nComport=com1\r\n[ComDevices]\r\n"
                                       "COM4=/dev/ttyUSB0\r\n";
  app.program.start();
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

}  // namespace
}  // namespace rcp::app
