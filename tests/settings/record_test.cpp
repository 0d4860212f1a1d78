#include "settings/record.hpp"

#include <gtest/gtest.h>

#include "settings/menu_switch_table.hpp"
#include "support/test_program.hpp"

namespace rcp::settings {
namespace {

std::string show(const FieldValue& v) {
  if (auto b = std::get_if<bool>(&v)) return *b ? "on" : "off";
  if (auto n = std::get_if<std::int64_t>(&v)) return std::to_string(*n);
  return '"' + std::get<std::string>(v) + '"';
}

struct RecordTest : ::testing::Test {
  test::TestProgram app;
  Record record = app.record();
};

TEST_F(RecordTest, EveryFieldStartsWithItsStartValue) {
  for (const auto& f : fieldTable())
    EXPECT_EQ(show(record.get(f.name)), show(f.start)) << f.name;
}

TEST_F(RecordTest, EveryFieldIsSetThroughItsControlAndReadsBack) {
  for (const auto& f : fieldTable()) {
    FieldValue v;
    switch (f.kind) {
      case FieldKind::Digits:
      case FieldKind::Text:
        v = std::string(static_cast<std::size_t>(f.maxLength), '7');
        break;
      case FieldKind::Choice:
        v = app.main().at(f.control).items.back();
        break;
      case FieldKind::Number:
      case FieldKind::Level:
        v = std::int64_t{app.main().at(f.control).max};
        break;
      case FieldKind::Switch:
      case FieldKind::InvertedSwitch:
        v = !std::get<bool>(f.start);
        break;
      case FieldKind::RadioChoice:
        v = f.options.front().value == f.start ? f.options.back().value : f.options.front().value;
        break;
      case FieldKind::Integer:
      case FieldKind::U32:
        // The more-groups switch is on or off: the record shows it on as the radio's bit.
        v = std::int64_t{f.name == "MoreGrpDisp" ? kMoreGroupsShown : 4242};
        break;
    }
    record.set(f.name, v);
    EXPECT_EQ(show(record.get(f.name)), show(v)) << f.name;
  }
}

TEST_F(RecordTest, SpinFieldsAndSlidersClampWhateverSetsThem) {
  record.set("NetId", std::int64_t{9});
  record.set("TA", std::int64_t{5});
  record.set("NT", std::int64_t{0});
  record.set("静噪电平", std::int64_t{99});
  EXPECT_EQ(record.number("NetId"), 3);
  EXPECT_EQ(record.number("TA"), 10);
  EXPECT_EQ(record.number("NT"), 1);
  EXPECT_EQ(record.number("静噪电平"), 16);
}

TEST_F(RecordTest, AnErasedSpinFieldReadsAsItsMinimumAndShowsIt) {
  for (const auto& [control, min] :
       std::vector<std::pair<const char*, int>>{{"TB", 0}, {"TA", 10}, {"NT", 1}}) {
    app.main().userType(control, "");
    EXPECT_EQ(record.number(control), min) << control;
    EXPECT_EQ(app.main().text(control), std::to_string(min)) << control;
  }
}

TEST_F(RecordTest, SettingASwitchOrRadioChoiceRunsItsClickRuleOnlyOnAChange) {
  int autoRoamClicks = 0, regionalClicks = 0;
  app.main().on("AutoRoam", ui::Event::Click, [&](ui::Control&) { ++autoRoamClicks; });
  app.main().on("Regional", ui::Event::Click, [&](ui::Control&) { ++regionalClicks; });
  record.set("AutoRoam", false);
  record.set("AutoRoam", true);
  record.set("NetType", std::string("Regional"));
  record.set("NetType", std::string("Regional"));
  EXPECT_EQ(autoRoamClicks, 1);
  EXPECT_EQ(regionalClicks, 1);
  EXPECT_FALSE(app.main().checked("National"));
}

TEST_F(RecordTest, AMenuSwitchSetFromTheRecordBehavesLikeAClick) {
  record.set("背光选择菜单", false);
  EXPECT_EQ(record.number("MenuPreset"), 3);
  EXPECT_FALSE(app.main().at("LedBox").enabled);
  EXPECT_EQ(app.main().at("LedBox").color, ui::colors::ButtonFace);
  EXPECT_EQ(app.main().at("Led_Choose").fontColor, ui::colors::Grey);
}

TEST_F(RecordTest, ThePttSwitchShowsTheOppositeOfItsField) {
  EXPECT_TRUE(record.flag("PTT-code"));
  EXPECT_FALSE(app.main().checked("Transcode"));
  record.set("PTT-code", false);
  EXPECT_TRUE(app.main().checked("Transcode"));
}

TEST_F(RecordTest, ChannelStepFollowsVersionAndSpacing) {
  record.set("ChannelSpace", std::int64_t{250});
  EXPECT_EQ(channelStep(app.state()), 125) << "new version: always 125";
  record.set("Version", true);
  EXPECT_EQ(channelStep(app.state()), 250);
  record.set("ChannelSpace", std::int64_t{125});
  EXPECT_EQ(channelStep(app.state()), 125);
}

TEST_F(RecordTest, WhereStartAndAbsentDifferTheStartValueHolds) {
  EXPECT_EQ(record.text("TalkIndivol"), "32688888");
  EXPECT_EQ(std::get<std::string>(*findField("TalkIndivol")->absent), "326888");
  EXPECT_EQ(record.number("静噪电平"), 4);
  EXPECT_EQ(std::get<std::int64_t>(*findField("静噪电平")->absent), 3);
  EXPECT_FALSE(findField("StartUp-Password")->absent.has_value()) << "opening a file leaves it";
}

}  // namespace
}  // namespace rcp::settings
