#include "testmode/calibration.hpp"

#include <gtest/gtest.h>

#include <string>

#include "testmode/test_tab_fixture.hpp"

namespace rcp::testmode {
namespace {

struct Calibration : TestTabFixture {
  ui::MessageResult reply = ui::MessageResult::Ok;
  void SetUp() override {
    TestTabFixture::SetUp();
    app.dialogs.answer = [this](const ui::Message&) { return reply; };
  }
};

TEST_F(Calibration, EachPointIsConfirmedWithoutAnIconThenSent) {
  main.userClick("Rssi1");
  EXPECT_EQ(app.written(), "I1\r");
  EXPECT_EQ(status(), "调整场强一格显示");
  main.userClick("Rssi5");
  EXPECT_EQ(app.written(), "I1\rI5\r");
  EXPECT_EQ(status(), "调整场强五格显示");
  ASSERT_EQ(app.dialogs.messages.size(), 2u);
  const ui::Message& asked = app.dialogs.messages[0];
  EXPECT_EQ(asked.text, "确定射频电平已调为-116dBm？");
  EXPECT_EQ(asked.caption, "系统信息");
  EXPECT_EQ(asked.icon, ui::MessageIcon::None);
  EXPECT_EQ(asked.buttons, ui::MessageButtons::OkCancel);
  EXPECT_EQ(app.dialogs.messages[1].text, "确定射频电平已调为-90dBm？");

  app.port.settle();
  for (std::size_t a = 0x2C5; a <= 0x2C8; ++a) EXPECT_NE(app.radio.memory()[a], 0) << a;
}

TEST_F(Calibration, CancelSendsNothingAndOnlyTheDefaultReportsAFailedWrite) {
  reply = ui::MessageResult::Cancel;
  for (const char* button : {"Rssi1", "Rssi5", "SpeedButton2"}) main.userClick(button);
  EXPECT_EQ(app.written(), "");
  EXPECT_EQ(status(), "进入测试状态");

  reply = ui::MessageResult::Ok;
  app.port.close();
  main.userClick("Rssi5");
  EXPECT_EQ(status(), "进入测试状态");
  main.userClick("SpeedButton2");
  EXPECT_EQ(status(), "场强已设为缺省值") << "shown whatever became of the writes";
}

TEST_F(Calibration, TheDefaultLeavesTheTestStateClearsTheCalibrationAndComesBack) {
  main.userClick("Rssi1");
  userPause();
  app.port.clearEvents();

  main.userClick("SpeedButton2");
  EXPECT_EQ(app.dialogs.messages.back().text, "设置场强为缺省值？");
  EXPECT_EQ(transcript(),
            "0 > Q\n"
            "300 > <91>WRITE02C50400000000<CR>\n"
            "600 purge both\n"
            "600 > <91>\n"
            "630 purge receive\n"
            "630 > <91>PROG<CR>\n"
            "630 read 18 -> 18 at 661\n"
            "661 > T\n");
  EXPECT_EQ(status(), "场强已设为缺省值");
  app.port.settle();
  for (std::size_t a = 0x2C5; a <= 0x2C8; ++a) EXPECT_EQ(app.radio.memory()[a], 0) << a;
  EXPECT_EQ(app.radio.state(), sim::VirtualRadio::State::Test);
}

}  // namespace
}  // namespace rcp::testmode
