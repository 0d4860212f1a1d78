#include "testmode/test_state.hpp"

#include <gtest/gtest.h>

#include "testmode/test_tab_fixture.hpp"

namespace rcp::testmode {
namespace {

using test::enter;
using TestState = TestTabFixture;

TEST_F(TestState, ShowingTheTabGreetsShortlyEntersTheTestStateAndTunesTheFirstChannel) {
  // The test channel wandered off; the first segment starts elsewhere now.
  enter(main, "CurrentChannelNum", "77");
  enter(main, "ChannelNum", "0012");
  main.userActivatePage("UserInfo");
  EXPECT_EQ(status(), "退出测试状态");
  app.state().values.baseRxFreq = 4000000;
  app.state().values.baseTxFreq = 3900000;
  userPause();
  app.port.clearEvents();
  main.setPanelText("StatusBar", 1, "");

  main.userActivatePage("Test");
  EXPECT_EQ(transcript(),
            "0 purge both\n"
            "0 > <91>PROG<CR>\n"
            "0 read 18 -> 18 at 31\n"
            "31 > T\n"
            "31 > CH12<CR>\n");
  EXPECT_EQ(main.text("CurrentChannelNum"), "12");
  EXPECT_EQ(main.text("CurrentRxFreq"), "4000000");
  EXPECT_EQ(main.text("CurrentTxFreq"), "3900000");
  EXPECT_EQ(status(), "进入测试状态");
  EXPECT_EQ(main.at("StatusBar").panels.at(1).text, "RCP33H HX33  V2.10");
  app.port.settle();
  EXPECT_EQ(app.radio.state(), sim::VirtualRadio::State::Test);
}

TEST_F(TestState, EveryOtherTabLeavesTheTestState) {
  for (const char* page : {"NormalSet", "UserInfo", "Appendix"}) {
    main.userActivatePage("Test");
    app.port.clearEvents();
    main.userActivatePage(page);
    EXPECT_EQ(app.written(), "Q") << page;
    EXPECT_EQ(status(), "退出测试状态");
  }
  app.port.settle();
  EXPECT_EQ(app.radio.state(), sim::VirtualRadio::State::Idle);
  EXPECT_FALSE(isTestTabActive(app.state()));
  main.userActivatePage("Test");
  EXPECT_TRUE(isTestTabActive(app.state()));
}

TEST_F(TestState, WithoutARadioEverythingIsStillSent) {
  app.port.close();
  main.userActivatePage("NormalSet");
  main.userActivatePage("Test");
  EXPECT_EQ(app.written(), "Q\x91PROG\rTCH1\r");
  EXPECT_EQ(status(), "进入测试状态");
}

}  // namespace
}  // namespace rcp::testmode
