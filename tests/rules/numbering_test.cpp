#include "rules/numbering.hpp"

#include <gtest/gtest.h>

#include "rules/field_rules.hpp"
#include "settings/fleet_levels.hpp"
#include "support/form_driver.hpp"
#include "support/test_program.hpp"

namespace rcp::rules {
namespace {

using test::enter;
using Texts = std::vector<std::string>;

struct NumberingTest : ::testing::Test {
  test::TestProgram app;
  ui::Form& main = app.main();
  settings::WorkingValues& values = app.state().values;

  // Binding again is harmless: a control keeps one handler per event.
  void SetUp() override { bindNumberingRules(app.state()); }
  Texts boxes() const { return app.dialogs.texts(); }
  // The fleet blocks as a data file leaves them: the level bounds follow them at once.
  void useBlocks(settings::FleetBlocks b) {
    values.largeBlock = b.large;
    values.mediumBlock = b.medium;
    values.smallBlock = b.small;
    settings::boundLevelsByBlocks(values);
  }
  // Leaves the field with the text and expects exactly these messages (or none).
  void expectOnLeaving(const std::string& field, const std::string& text, const Texts& expected) {
    app.dialogs.messages.clear();
    enter(main, field, text);
    EXPECT_EQ(boxes(), expected) << field << " = " << text;
    EXPECT_EQ(main.text(field), text) << "the text stays as typed";
  }
  const ui::Control& c(std::string_view name) { return main.at(name); }
};

// The number fields a scheme switch fills, and whether the CPSX level or the MPT1343 limits
// are the enabled ones (light field, navy caption) rather than the disabled (button face, grey).
const std::vector<std::string> kFilled = {"MPT1343_Indivol", "MPT1343_Grp1", "MPT1343_Grp8",
                                          "MPT1343_Dyna",    "indivolstart", "grpstop"};
const std::vector<std::pair<std::string, std::string>> kCpsxOnly = {{"Block", "BlockLab"},
                                                                    {"MaxUnit", "MaxUnitLab"}};
const std::vector<std::pair<std::string, std::string>> kMpt1343Only = {
    {"MaxIndivol", "MaxIndivolLab"},
    {"MaxFleet", "MaxFleetLab"},
    {"MPT1343_Fleet", "MPT1343_FleetLab"}};

TEST_F(NumberingTest, SchemeSwitchResetsTheNumberingAreaBothWays) {
  auto expectScheme = [&](bool cpsx, const Texts& filled, int numberLength, int rangeLength) {
    Texts texts;
    for (const auto& f : kFilled) texts.push_back(main.text(f));
    EXPECT_EQ(texts, filled);
    EXPECT_EQ(c("MPT1343_Fram").caption, cpsx ? "CPSX" : "MPT1343");
    EXPECT_EQ(values.diallingScheme,
              cpsx ? settings::DiallingScheme::Cpsx : settings::DiallingScheme::Mpt1343);
    EXPECT_EQ(c("MPT1343_Dyna").maxLength, numberLength);
    EXPECT_EQ(c("MPT1343_Grp5").maxLength, numberLength);
    EXPECT_EQ(c("grpstart").maxLength, rangeLength);
    for (const auto& [fields, on] : {std::pair{kCpsxOnly, cpsx}, std::pair{kMpt1343Only, !cpsx}})
      for (const auto& [field, label] : fields) {
        EXPECT_EQ(c(field).enabled, on) << field;
        EXPECT_EQ(c(field).color, on ? ui::colors::UserInput : ui::colors::ButtonFace);
        EXPECT_EQ(c(label).fontColor, on ? ui::colors::Navy : ui::colors::Grey) << label;
      }
    EXPECT_EQ(c("Shrink_num").visible, !cpsx);
    EXPECT_EQ(values.otherGroups, decltype(values.otherGroups){});
  };
  values.otherGroups.fill(3265500901u);
  main.setChecked("Shrink_num", true);
  main.setText("MaxIndivol", "089");
  main.userClick("CPSX");
  expectScheme(true, {"32620201", "32620900", "", "", "20200", "20998"}, 8, 5);
  EXPECT_FALSE(c("Shrink_num").checked);
  EXPECT_EQ(main.text("MaxIndivol"), "089") << "limits keep their texts";

  main.setText("MPT1343_Fleet", "1234");
  main.userSelect("Block", 1);
  values.otherGroups[47] = 32620901u;
  main.userClick("MPT1343");
  expectScheme(false, {"3262001206", "3265500900", "", "", "2001200", "5500998"}, 10, 7);
  EXPECT_EQ(main.text("MPT1343_Fleet"), "5500");
  EXPECT_EQ(main.text("Block"), "二级队") << "the level stays";
  EXPECT_EQ(main.text("MaxIndivol"), "089");
  EXPECT_TRUE(boxes().empty());
}

TEST_F(NumberingTest, Mpt1343NumbersAndTheLimitsTheyWrite) {
  main.setText("MaxIndivol", "123");
  expectOnLeaving("MPT1343_Indivol", "3262001206", {});
  EXPECT_EQ(main.text("MaxIndivol"), "899");
  expectOnLeaving("MPT1343_Indivol", "326200120", {});
  EXPECT_EQ(main.text("MaxIndivol"), "089");
  expectOnLeaving("MPT1343_Indivol", "3262000206", {"队号应大于2000"});
  expectOnLeaving("MPT1343_Indivol", "1992001206", {"区号超出范围(200--327)！"});
  expectOnLeaving("MPT1343_Indivol", "32620012", {"号码应大于9位！"});
  expectOnLeaving("MPT1343_Indivol", "3262001906", {"个呼号超出范围!(200---899)"});
  expectOnLeaving("MPT1343_Indivol", "326200119", {"个呼号超出范围!(20---89)"});
  expectOnLeaving("MPT1343_Indivol", "", {"个呼号不得为空！"});
  const ui::Message& box = app.dialogs.messages.back();
  EXPECT_EQ(box.caption, "系统信息");
  EXPECT_EQ(box.icon, ui::MessageIcon::Error);
  EXPECT_FALSE(box.ownerless);
  EXPECT_EQ(main.focused(), "MPT1343_Indivol");

  expectOnLeaving("MPT1343_Grp3", "3265500899", {"组呼号超出范围!(900---999)"});
  EXPECT_EQ(main.text("MaxFleet"), "998");
  EXPECT_EQ(main.focused(), "MPT1343_Grp3");
  expectOnLeaving("MPT1343_Dyna", "326550089", {"组呼号超出范围!(90---99)"});
  EXPECT_EQ(main.text("MaxFleet"), "098");
  expectOnLeaving("MPT1343_Grp8", "326550090", {});
  EXPECT_EQ(main.text("MaxFleet"), "099");
  expectOnLeaving("MPT1343_Grp2", "", {});
}

TEST_F(NumberingTest, CpsxIndividualChoosesTheFleetLevel) {
  main.userClick("CPSX");
  expectOnLeaving("MPT1343_Indivol", "3262020", {"号码应为8位！"});
  expectOnLeaving("MPT1343_Indivol", "32621201", {"一级队队号为偶数!"});
  expectOnLeaving("MPT1343_Indivol", "32640201", {"输入号码有误!"});
  expectOnLeaving("MPT1343_Indivol", "32620900", {"一级队个呼号超出范围(200--899)!"});
  main.setText("MPT1343_Indivol", "32640201");
  expectOnLeaving("MPT1343_Grp1", "32620900", {"输入号码有误!"});
  EXPECT_EQ(main.focused(), "MPT1343_Indivol") << "whichever number field was left";

  useBlocks({2, 3, 5});  // level 1: 20-23, 2: 24-25, 3: 29-34, 4: 50-79
  expectOnLeaving("MPT1343_Indivol", "32624554", {"二级队个呼号超出范围(200--553)!"});
  expectOnLeaving("MPT1343_Indivol", "32630435", {});
  EXPECT_EQ(main.text("Block"), "三级队");
  EXPECT_EQ(c("MaxUnitLab").caption, "三级队的最高段号");
  EXPECT_EQ(c("MaxUnit").min, 3);
  EXPECT_EQ(main.value("MaxUnit"), 5);
  expectOnLeaving("MPT1343_Indivol", "32679318", {"四级队个呼号超出范围(200--317)!"});
  expectOnLeaving("MPT1343_Indivol", "32650317", {});
  EXPECT_EQ(main.text("Block"), "四级队");
  EXPECT_FALSE(c("MaxUnit").enabled);
  EXPECT_EQ(main.value("MaxUnit"), 10);
  main.setText("MPT1343_Grp2", "32640900");  // no level: only a segment change would tell
  expectOnLeaving("MPT1343_Indivol", "32650317", {});
}

TEST_F(NumberingTest, BlockOffersTheLevelsSegmentAndMaxUnitStoresIt) {
  main.userClick("CPSX");
  useBlocks({4, 6, 8});
  main.userSelect("Block", 1);
  EXPECT_EQ(c("MaxUnit").min, 4);
  EXPECT_EQ(c("MaxUnit").max, 8);
  EXPECT_EQ(main.value("MaxUnit"), 6);
  main.userSetValue("MaxUnit", 7);
  EXPECT_EQ(values.mediumBlock, 7);
  EXPECT_EQ(values.levelBound2, 14);
  EXPECT_EQ(values.levelBound1, 8);
  main.userSelect("Block", 3);
  EXPECT_FALSE(c("MaxUnit").enabled);
  EXPECT_EQ(main.value("MaxUnit"), 10) << "level 4 sits at 10 whatever the blocks";
  EXPECT_EQ(values.mediumBlock, 7);

  useBlocks({9, 6, 8});
  main.userSelect("Block", 0);  // value 9 above the maximum 6: held at 6, and stored
  EXPECT_EQ(main.value("MaxUnit"), 6);
  EXPECT_EQ(values.largeBlock, 6);
  useBlocks({5, 8, 5});
  main.userSelect("Block", 1);  // equal bounds 5..5 leave 8 unclamped; the change pulls it to 5
  EXPECT_EQ(main.value("MaxUnit"), 5);
  EXPECT_EQ(values.mediumBlock, 5);
  EXPECT_TRUE(boxes().empty());
}

TEST_F(NumberingTest, ASegmentAboveBoundsTheWrongWayRoundIsHeldAtTheMaximum) {
  main.userClick("CPSX");
  useBlocks({8, 9, 5});
  main.userSelect("Block", 1);  // minimum 8, maximum 5
  EXPECT_EQ(main.value("MaxUnit"), 5);
  EXPECT_EQ(values.mediumBlock, 5);
  EXPECT_EQ(values.levelBound2, 10);

  useBlocks({5, 12, 15});
  main.userSelect("Block", 2);  // minimum 12, maximum 10
  EXPECT_EQ(main.value("MaxUnit"), 10);
  EXPECT_EQ(values.smallBlock, 10);
  EXPECT_EQ(values.levelBound3, 30);
}

TEST_F(NumberingTest, SegmentChangeRechecksGroupsUpToTheFirstFailure) {
  main.userClick("CPSX");
  main.setText("MPT1343_Grp2", "32621950");
  main.setText("MPT1343_Grp3", "32640900");
  main.userSetValue("MaxUnit", 5);
  EXPECT_EQ(values.largeBlock, 5);
  EXPECT_EQ(values.levelBound1, 10);
  ASSERT_EQ(boxes(), Texts{"跨队组呼号超出范围(900--909)！"});
  EXPECT_TRUE(app.dialogs.messages[0].ownerless);
  EXPECT_EQ(app.dialogs.messages[0].caption, "系统信息");
  EXPECT_EQ(main.focused(), "MPT1343_Grp2");

  main.setText("MPT1343_Grp2", "32630951");  // fleet 30 is level 2 now
  main.setText("MPT1343_Grp3", "");
  main.setText("MPT1343_Dyna", "32680900");
  main.userSetValue("MaxUnit", 4);
  EXPECT_EQ(boxes(), (Texts{"跨队组呼号超出范围(900--909)！", "二级队组呼号超出范围(900--950)！"}));
  main.setText("MPT1343_Grp2", "32630950");
  main.userSetValue("MaxUnit", 5);
  EXPECT_EQ(boxes().back(), "输入号码有误！");
  EXPECT_EQ(main.focused(), "MPT1343_Dyna");
}

TEST_F(NumberingTest, FleetLimitsAndRangesFollowTheIndividualLength) {
  expectOnLeaving("MaxIndivol", "199", {"超出范围(200---900)!"});
  EXPECT_EQ(main.focused(), "MaxIndivol");
  expectOnLeaving("MaxIndivol", "900", {});
  expectOnLeaving("MaxIndivol", "", {"超出范围(200---900)!"});
  expectOnLeaving("MaxFleet", "899", {"超出范围(900---999)!"});
  expectOnLeaving("indivolstart", "200120", {"号码错误"});
  expectOnLeaving("indivolstop", "2001199", {"号码超出范围"});
  expectOnLeaving("indivolstop", "2001899", {});
  expectOnLeaving("grpstart", "89", {"号码错误"});
  expectOnLeaving("grpstop", "899", {"号码超出范围"});
  expectOnLeaving("grpstop", "", {});

  main.setText("MPT1343_Indivol", "326200120");
  expectOnLeaving("MaxIndivol", "91", {"超出范围(20---90)!"});
  expectOnLeaving("MaxFleet", "89", {"超出范围(90---99)!"});
  expectOnLeaving("indivolstart", "200119", {"号码超出范围"});
  expectOnLeaving("indivolstart", "20012", {"号码错误"});
  expectOnLeaving("grpstart", "90", {});
  expectOnLeaving("grpstart", "9", {"号码错误"});

  main.userClick("CPSX");
  expectOnLeaving("indivolstart", "2020", {"号码错误"});
  expectOnLeaving("indivolstart", "20100", {});  // no member check under CPSX
  expectOnLeaving("grpstart", "99", {"号码错误"});
  EXPECT_EQ(main.focused(), "grpstart");
}

TEST_F(NumberingTest, SwitchesSetTheirWorkingValues) {
  main.userClick("Dyna_Enable");
  EXPECT_TRUE(c("MPT1343_Dyna").enabled);
  EXPECT_EQ(c("MPT1343_Dyna").color, ui::colors::UserInput);
  EXPECT_EQ(c("DynaLab").fontColor, ui::colors::Navy);
  main.userClick("Shrink_num");  // follows "动态编组", not its own state
  EXPECT_TRUE(c("MPT1343_Dyna").enabled);
  main.userClick("Dyna_Enable");
  EXPECT_FALSE(c("MPT1343_Dyna").enabled);
  EXPECT_EQ(c("DynaLab").fontColor, ui::colors::Grey);

  main.userSelect("GrpWay", 1);
  EXPECT_EQ(values.grpWayCurrent, settings::GroupCallMode::CurrentGroup);
  main.userSelect("GrpWay", 0);
  EXPECT_EQ(values.grpWayCurrent, settings::GroupCallMode::AllGroups);
  main.userClick("Regional");
  EXPECT_EQ(c("NetId").max, 127);
  main.userSetValue("NetId", 100);
  EXPECT_EQ(main.value("NetId"), 100);
  main.userClick("National");
  EXPECT_EQ(c("NetId").max, 3);
  EXPECT_EQ(main.value("NetId"), 100) << "the value is not re-checked";

  expectOnLeaving("RegCode", "32767", {});
  expectOnLeaving("RegCode", "32768", {"登记码应小于32767"});
  enter(main, "RegCode", "");
  EXPECT_EQ(main.text("RegCode"), "0");
}

TEST_F(NumberingTest, NumericFieldsAndLevelBoxesTakeOnlyDigits) {
  for (const char* field : {"MPT1343_Grp6", "MPT1343_Dyna", "MPT1343_Fleet", "grpstop", "NetId",
                            "MaxUnit", "Block", "GrpWay"}) {
    EXPECT_EQ(main.userKey(field, U'a'), 0u) << field;
    EXPECT_EQ(main.userKey(field, U'7'), U'7') << field;
    EXPECT_EQ(main.userKey(field, kBackspace), kBackspace) << field;
  }
}

}  // namespace
}  // namespace rcp::rules
