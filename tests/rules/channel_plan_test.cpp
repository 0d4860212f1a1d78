#include "rules/channel_plan.hpp"

#include <gtest/gtest.h>

#include "support/form_driver.hpp"
#include "support/test_program.hpp"

namespace rcp::rules {
namespace {

using test::enter;

struct ChannelPlanTest : ::testing::Test {
  test::TestProgram app;
  ui::Form& main = app.main();
  settings::WorkingValues& values = app.state().values;
  std::vector<std::string> warnings;  // range-warning dialogs as "rule bound"

  void SetUp() override {
    app.dialogs.onModal = [this](ui::Form& f) {
      if (f.name() == "Error1_Form") {
        warnings.push_back(f.at("WarnLab1").caption + " " + f.at("WarnLab2").caption);
        f.userClick("Error1_Ok");
      }
    };
  }
  std::vector<std::string> boxes() const { return app.dialogs.texts(); }
};

TEST_F(ChannelPlanTest, FirstChannelMustBeAtLeastOneAndFeedsTheTestChannel) {
  enter(main, "ChannelNum", "");
  EXPECT_EQ(main.text("ChannelNum"), "0");
  EXPECT_EQ(warnings, (std::vector<std::string>{"最小值为 1"}));
  EXPECT_EQ(main.focused(), "ChannelNum");
  EXPECT_EQ(main.text("CurrentChannelNum"), "0");

  enter(main, "ChannelNum", "0012");
  EXPECT_EQ(main.text("CurrentChannelNum"), "12");
  EXPECT_EQ(main.text("ChannelNum"), "0012") << "the field keeps what was typed";
  EXPECT_EQ(warnings.size(), 1u);
}

TEST_F(ChannelPlanTest, FirstSegmentFrequenciesSetTheBaseAndTheDuplexSpacing) {
  enter(main, "RxFreq", "3610260");
  EXPECT_EQ(warnings, (std::vector<std::string>{"应能整除 125"}));
  EXPECT_EQ(main.focused(), "RxFreq");
  EXPECT_EQ(main.text("RxFreq"), "3610260");
  EXPECT_EQ(values.baseRxFreq, 3610260) << "stored although it drew a warning";

  enter(main, "TxFreq", "8009999");
  EXPECT_EQ(values.baseTxFreq, 8009999);
  EXPECT_EQ(values.duplexSpacing, 100000);
  enter(main, "TxFreq", "8010000");
  EXPECT_EQ(values.duplexSpacing, 450000);

  enter(main, "Rx2Freq", "");
  EXPECT_EQ(main.text("Rx2Freq"), "0");
  enter(main, "Tx3Freq", "100");
  EXPECT_EQ(warnings.back(), "应能整除 125");
  EXPECT_EQ(main.focused(), "Tx3Freq");
  EXPECT_EQ(values.baseTxFreq, 8010000) << "later segments leave the base alone";
}

TEST_F(ChannelPlanTest, StopChannelsAreCheckedAndSetTheHighestChannel) {
  enter(main, "Channel1StopNum", "0001");  // equal to the start: fine
  enter(main, "Channel1StopNum", "1024");
  EXPECT_TRUE(boxes().empty());
  enter(main, "Channel1StopNum", "1025");
  ASSERT_EQ(boxes(), (std::vector<std::string>{"最大值为1024!"}));
  EXPECT_EQ(app.dialogs.messages[0].caption, "警告");
  EXPECT_EQ(main.focused(), "Channel1StopNum");

  enter(main, "Channel1StopNum", "");
  EXPECT_EQ(main.text("Channel1StopNum"), "1");
  enter(main, "Channel2StopNum", "");
  EXPECT_EQ(main.text("Channel2StopNum"), "0");

  enter(main, "Channel1StopNum", "160");
  EXPECT_EQ(values.highestChannel, 160);
  main.setText("Channel2StartNum", "200");
  enter(main, "Channel2StopNum", "300");
  main.setText("Channel3StartNum", "150");
  enter(main, "Channel3StopNum", "100");
  EXPECT_EQ(boxes().back(), "终止信道号应大于起始信道号");
  EXPECT_EQ(main.focused(), "Channel3StopNum");
  EXPECT_EQ(values.highestChannel, 300) << "recomputed whatever the checks found";
}

TEST_F(ChannelPlanTest, SpacingClickResetsTheFirstSegmentAndChecksItsStopAtOnce) {
  main.setText("ChannelNum", "600");
  main.userClick("ChannelSpace1");
  EXPECT_EQ(main.text("Channel1StopNum"), "560");
  EXPECT_EQ(main.text("RxFreq"), "3580125");
  EXPECT_EQ(main.text("TxFreq"), "3480125");
  EXPECT_EQ(values.baseRxFreq, 3580125);
  EXPECT_EQ(values.baseTxFreq, 3480125);
  EXPECT_EQ(values.highestChannel, 560);
  EXPECT_EQ(main.text("ChannelNum"), "600");
  EXPECT_EQ(boxes(), (std::vector<std::string>{"终止信道号应大于起始信道号"}));

  main.userClick("ChannelSpace2");
  EXPECT_EQ(main.text("Channel1StopNum"), "160");
  EXPECT_EQ(values.baseRxFreq, 3610250);
  EXPECT_EQ(values.duplexSpacing, 100000) << "the spacing click leaves the duplex spacing";
}

TEST_F(ChannelPlanTest, SearchModeEnablesTheRangeFields) {
  main.userSelect("SearchWay", 1);
  EXPECT_EQ(main.text("SearchWay"), "全信道搜索");
  EXPECT_EQ(values.rangeSearch, settings::SearchMode::AllChannels);
  EXPECT_FALSE(main.at("ControlStart").enabled);
  EXPECT_EQ(main.at("ControlStop").color, ui::colors::ButtonFace);

  main.userType("SearchWay", "12");  // typed digits count as the given range
  EXPECT_EQ(values.rangeSearch, settings::SearchMode::Range);
  EXPECT_TRUE(main.at("ControlStop").enabled);
  EXPECT_EQ(main.at("ControlStart").color, ui::colors::InputLight);
}

TEST_F(ChannelPlanTest, SearchRangeChecksAreIndependent) {
  enter(main, "ControlStart", "100");
  enter(main, "ControlStop", "50");  // highest is 160: only the order is wrong
  enter(main, "ControlStart", "200");
  EXPECT_EQ(boxes(), (std::vector<std::string>{"指定范围有误!", "指定搜索范围超出全信道范围!"}));
  EXPECT_EQ(main.focused(), "ControlStart");

  app.dialogs.messages.clear();
  enter(main, "ControlStop", "170");  // below the start and above the highest channel
  EXPECT_EQ(boxes(), (std::vector<std::string>{"指定范围有误!", "搜索范围超出全信道范围!"}));
  EXPECT_EQ(main.focused(), "ControlStop");
}

TEST_F(ChannelPlanTest, PreferredControlChannelsFollowTheSearchMode) {
  enter(main, "ControlChannel7", "500");  // range mode with an empty range (0 to 0): no check
  EXPECT_TRUE(boxes().empty());

  enter(main, "ControlStart", "1");
  enter(main, "ControlStop", "100");
  enter(main, "ControlChannel50", "");  // 0 is not exempt
  EXPECT_EQ(main.text("ControlChannel50"), "0");
  EXPECT_EQ(boxes(), (std::vector<std::string>{"控制信道超出指定搜索范围!"}));
  EXPECT_EQ(main.focused(), "ControlChannel50");

  main.userSelect("SearchWay", 1);
  enter(main, "ControlChannel1", "161");
  EXPECT_EQ(boxes().back(), "控制信道超出全信道搜索范围!");
  enter(main, "ControlChannel1", "160");
  EXPECT_EQ(boxes().size(), 2u);
}

TEST_F(ChannelPlanTest, PlainNumberFieldsAndCodeLengths) {
  enter(main, "SimplexChannel3", "");
  EXPECT_EQ(main.text("SimplexChannel3"), "0");
  enter(main, "ZoneLength", "99");
  EXPECT_EQ(main.text("ZoneLength"), "15");
  enter(main, "ZoneData", "99");
  EXPECT_EQ(main.text("ZoneData"), "99");
  EXPECT_TRUE(boxes().empty());
  EXPECT_TRUE(warnings.empty());
}

TEST_F(ChannelPlanTest, NumericFieldsTakeOnlyDigitsAndBackspace) {
  for (const char* field : {"ChannelNum", "Tx3Freq", "ControlChannel33", "SearchWay", "AreaData12"}) {
    EXPECT_EQ(main.userKey(field, U'a'), 0u) << field;
    EXPECT_EQ(main.userKey(field, U'-'), 0u) << field;
    EXPECT_EQ(main.userKey(field, U'9'), U'9') << field;
    EXPECT_EQ(main.userKey(field, 8), 8u) << field;
  }
}

TEST_F(ChannelPlanTest, ButtonsOpenTheirDialogs) {
  main.userClick("SysLabel");
  main.userClick("Advance");
  EXPECT_EQ(app.dialogs.shownForms, (std::vector<std::string>{"SysLableform", "SimplexSet"}));
}

}  // namespace
}  // namespace rcp::rules
