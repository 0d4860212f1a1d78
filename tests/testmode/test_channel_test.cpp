#include "testmode/test_channel.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "testmode/test_tab_fixture.hpp"

namespace rcp::testmode {
namespace {

using test::enter;

struct TestChannel : TestTabFixture {
  // The three fields as "channel rx tx", set from the same form.
  std::string channel() const {
    return main.text("CurrentChannelNum") + " " + main.text("CurrentRxFreq") + " " +
           main.text("CurrentTxFreq");
  }
  void setChannel(const std::string& number, const std::string& rx, const std::string& tx) {
    main.setText("CurrentChannelNum", number);
    main.setText("CurrentRxFreq", rx);
    main.setText("CurrentTxFreq", tx);
  }
  std::string sentAfter(const std::function<void()>& action) {
    app.port.clearEvents();
    action();
    return app.written();
  }
};

TEST_F(TestChannel, TheCommandCarriesOneToThreeDigitsAndOnlyNumbersItCanCarry) {
  EXPECT_TRUE(channelCommand(-1).empty());
  EXPECT_TRUE(channelCommand(1000).empty());
  EXPECT_EQ(sentAfter([&] {
              enter(main, "CurrentChannelNum", "100");
              enter(main, "CurrentChannelNum", "005");
              enter(main, "CurrentChannelNum", "0");  // 0 or less: nothing at all
            }),
            "CH100\rCH5\r");
  EXPECT_EQ(channel(), "0 3611250 3511250");

  // A frequency below the base gives a channel below 0: shown, not sent.
  EXPECT_EQ(sentAfter([&] { enter(main, "CurrentRxFreq", "3600000"); }), "");
  EXPECT_EQ(channel(), "-40 3600000 3500000");
}

TEST_F(TestChannel, NumberAndFrequenciesFollowEachOtherByIntegerDivision) {
  enter(main, "CurrentChannelNum", "3");
  EXPECT_EQ(channel(), "3 3610750 3510750");
  EXPECT_EQ(sentAfter([&] { enter(main, "CurrentRxFreq", "3610375"); }), "CH1\r");
  EXPECT_EQ(channel(), "1 3610375 3510375");
  EXPECT_EQ(sentAfter([&] { enter(main, "CurrentTxFreq", "3520250"); }), "CH41\r");
  EXPECT_EQ(channel(), "41 3620250 3520250");

  main.userClick("ChannelSpace1");  // 12.5 kHz from 3580125 / 3480125
  app.state().values.duplexSpacing = 450000;
  enter(main, "CurrentTxFreq", "3480500");
  EXPECT_EQ(channel(), "4 3930500 3480500");
  EXPECT_TRUE(warnings.empty());
}

TEST_F(TestChannel, FrequenciesOffTheRasterAndOddStepsDrawTheRangeWarning) {
  EXPECT_EQ(sentAfter([&] { enter(main, "CurrentRxFreq", "3610300"); }), "");
  EXPECT_EQ(main.focused(), "CurrentRxFreq");
  EXPECT_EQ(channel(), "1 3610300 3510250") << "the field keeps the text, nothing else changes";
  enter(main, "CurrentTxFreq", "3510100");
  EXPECT_EQ(main.focused(), "CurrentTxFreq");
  enter(main, "FreqInc", "2010");
  EXPECT_EQ(main.focused(), "FreqInc");
  enter(main, "FreqInc", "2025");
  EXPECT_EQ(warnings, (std::vector<std::string>{"应能整除 125", "应能整除 125", "应能整除 25"}));
  EXPECT_EQ(app.written(), "");
}

TEST_F(TestChannel, SteppingStaysBetweenChannel1AndChannel999) {
  // 2000 kHz at 25 kHz spacing: 80 channels and 20 MHz a step.
  auto up = [&] { return sentAfter([&] { main.userUp("ChangeChannel"); }); };
  auto down = [&] { return sentAfter([&] { main.userDown("ChangeChannel"); }); };
  EXPECT_EQ(up(), "CH81\r");
  EXPECT_EQ(channel(), "81 3630250 3530250");
  EXPECT_EQ(down(), "CH1\r");
  EXPECT_EQ(channel(), "1 3610250 3510250");

  setChannel("921", "1", "2");
  EXPECT_EQ(up(), "");
  setChannel("919", "100", "200");
  EXPECT_EQ(up(), "CH999\r");
  EXPECT_EQ(channel(), "999 20100 20200");

  setChannel("8", "1", "2");
  EXPECT_EQ(down(), "") << "8 <= 2000 / 250";
  setChannel("50", "1", "2");
  EXPECT_EQ(down(), "CH50\r");
  EXPECT_EQ(channel(), "50 1 2");

  main.userClick("ChannelSpace1");  // 160 channels a step
  setChannel("1", "0", "0");
  EXPECT_EQ(up(), "CH161\r");

  main.setText("CurrentTxFreq", "");
  EXPECT_EQ(up(), "");
  EXPECT_EQ(channel(), "161 20000 ") << "a conversion error changes nothing";
  EXPECT_EQ(boxes(), (std::vector<std::string>{"'' is not a valid integer value."}));
}

TEST_F(TestChannel, TheEnabledCalculatorFollowsTheChannel) {
  enter(main, "CurrentChannelNum", "5");
  EXPECT_EQ(main.text("NeChannel1"), "361000") << "not while the group is disabled";
  main.userDblClick("Image1");
  enter(main, "CurrentChannelNum", "5");
  EXPECT_EQ(main.text("NeChannel1"), "361100");
  main.userUp("ChangeChannel");
  EXPECT_EQ(main.text("NeChannel1"), "363100");
}

}  // namespace
}  // namespace rcp::testmode
