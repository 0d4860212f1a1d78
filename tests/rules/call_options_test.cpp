#include "rules/call_options.hpp"

#include <gtest/gtest.h>

#include "support/form_driver.hpp"
#include "settings/menu_switch_table.hpp"
#include "support/test_program.hpp"

namespace rcp::rules {
namespace {

using test::enter;

struct CallOptionsTest : ::testing::Test {
  test::TestProgram app;
  ui::Form& main = app.main();
};

TEST_F(CallOptionsTest, RestoringDefaultsSetsOnlyCountersAndTimersInTheirOrder) {
  main.setValue("TA", 120);
  main.setValue("NPOFF", 7);
  main.setValue("ND1", 31);
  main.setValue("Timelimit", 30);
  main.setText("ControlChannel1", "0099");
  std::vector<std::string> order;
  main.addObserver([&](const ui::Control* c, ui::Property p) {
    if (c && p == ui::Property::Text) order.push_back(c->name);
  });
  main.userClick("Default");
  EXPECT_EQ(order, (std::vector<std::string>{"ND1", "TA", "NPOFF"}));
  EXPECT_EQ(main.value("TA"), 60);
  EXPECT_EQ(main.value("NPOFF"), 1);
  EXPECT_EQ(main.value("Timelimit"), 30);
  EXPECT_EQ(main.text("ControlChannel1"), "0099");
}

TEST_F(CallOptionsTest, SpinBoxesBringTypedValuesIntoBoundsWhenLeft) {
  enter(main, "TA", "200");
  EXPECT_EQ(main.value("TA"), 120);
  enter(main, "TA", "");
  EXPECT_EQ(main.text("TA"), "10");
  enter(main, "NT", "0");
  EXPECT_EQ(main.value("NT"), 1);
  enter(main, "limitlength", "999");
  EXPECT_EQ(main.value("limitlength"), 255);
  EXPECT_EQ(main.at("TA").step, 10);
  EXPECT_EQ(main.userKey("TA", U'x'), 0u);
}

TEST_F(CallOptionsTest, ShrinkingThePhoneBookClearsTheEntriesAboveItForGood) {
  for (int j = 0; j <= 9; ++j) main.setText("Phone_Number" + std::to_string(j), "12345");
  enter(main, "MaxNumber", "3");
  enter(main, "MaxNumber", "10");
  for (int j = 0; j <= 9; ++j) {
    const std::string field = "Phone_Number" + std::to_string(j);
    EXPECT_EQ(main.text(field), j < 3 ? "12345" : "") << field;
    EXPECT_TRUE(main.at(field).enabled) << field;
    EXPECT_EQ(main.at(field).color, ui::colors::UserInput) << field;
  }
  enter(main, "MaxNumber", "0");
  EXPECT_EQ(main.text("Phone_Number0"), "");
  EXPECT_FALSE(main.at("Phone_Number0").enabled);
  EXPECT_EQ(main.at("Phone_Number0").color, ui::colors::ButtonFace);
}

TEST_F(CallOptionsTest, RetypingThePhoneBookSizeLosesOnlyTheEntriesAboveTheNewSize) {
  const auto fill = [&] {
    for (int j = 0; j <= 9; ++j) main.setText("Phone_Number" + std::to_string(j), "12345");
  };
  const auto kept = [&] {
    int n = 0;
    for (int j = 0; j <= 9; ++j) n += main.text("Phone_Number" + std::to_string(j)) == "12345";
    return n;
  };
  fill();
  main.userType("MaxNumber", "");  // emptied to type the new count: nothing happens yet
  EXPECT_EQ(kept(), 10);
  main.userType("MaxNumber", "8");
  main.userExit("MaxNumber");
  EXPECT_EQ(kept(), 8);
  EXPECT_FALSE(main.at("Phone_Number8").enabled);

  enter(main, "MaxNumber", "10");
  fill();
  main.userType("MaxNumber", "");
  main.userExit("MaxNumber");  // left empty: the minimum, and the rule runs for it
  EXPECT_EQ(main.text("MaxNumber"), "0");
  EXPECT_EQ(kept(), 0);
  EXPECT_FALSE(main.at("Phone_Number0").enabled);
}

TEST_F(CallOptionsTest, CallBackSwitchAndRecallChoiceStayInStep) {
  main.userClick("Recall");  // disables RecallBox; the pair still follows
  ASSERT_FALSE(main.at("RecallBox").enabled);
  int callbackClicks = 0;
  main.addObserver([&](const ui::Control* c, ui::Property p) {
    if (c && c->name == "Callback" && p == ui::Property::Checked) ++callbackClicks;
  });
  main.userClick("Callback");
  EXPECT_EQ(main.text("RecallBox"), "回叫功能有效");
  main.userSelect("RecallBox", 0);
  EXPECT_FALSE(main.checked("Callback"));
  main.userType("RecallBox", "回叫功能有效x");
  EXPECT_FALSE(main.checked("Callback")) << "only the exact text checks it";
  EXPECT_EQ(callbackClicks, 2);
}

TEST_F(CallOptionsTest, DoubleClicksRevealTheHiddenFeatures) {
  main.userDblClick("Label48");
  for (const char* c : {"Talk", "TalkLab1", "TalkLab2", "TalkIndivol", "TalkGrp"})
    EXPECT_TRUE(main.at(c).visible) << c;
  EXPECT_FALSE(main.at("Transcode").visible);
  main.userDblClick("Label51");
  EXPECT_TRUE(main.at("Transcode").visible);
  EXPECT_TRUE(main.at("PTTname").visible);
  EXPECT_FALSE(main.at("Dead").visible);
  main.userClick("Talk");
  EXPECT_TRUE(main.checked("Talk"));
}

TEST_F(CallOptionsTest, KeyFiltersOfThePersonalAndFeatureFields) {
  EXPECT_EQ(main.userKey("SysCallNum", U'*'), U'*');
  EXPECT_EQ(main.userKey("SysCallNum", U'#'), 0u);
  EXPECT_EQ(main.userKey("SysCallNum", U'5'), U'5');
  EXPECT_EQ(main.userKey("RingTypeBox", U'1'), 0u) << "companions are chosen from their lists";
  EXPECT_EQ(main.userKey("RecallBox", 8), 0u);
  EXPECT_EQ(main.userKey("Phone_Number9", U'a'), 0u);
  EXPECT_EQ(main.userKey("password", U'4'), U'4');
  EXPECT_EQ(main.userKey("Infomation", U'a'), U'a') << "the start-up text takes any key";
}

TEST_F(CallOptionsTest, MenuPresetsAndSingleSwitches) {
  main.userClick("Often_OK");
  for (const auto& s : settings::kMenuSwitches) {
    const bool kept = std::string(s.control) == "Volum_Mod" || std::string(s.control) == "Normal_Choose";
    EXPECT_EQ(main.checked(s.control), kept) << s.control;
    if (s.valueControl) {
      EXPECT_FALSE(main.at(s.valueControl).enabled) << s.valueControl;
    }
  }
  EXPECT_EQ(app.state().values.menuPreset, settings::MenuPreset::Common);
  EXPECT_EQ(main.at("Often_OK").fontColor, ui::colors::Blue);
  EXPECT_EQ(main.at("LedBox").fontColor, ui::colors::Grey);

  main.userClick("Recall");
  EXPECT_EQ(app.state().values.menuPreset, settings::MenuPreset::HandPicked);
  EXPECT_EQ(main.at("Often_OK").fontColor, ui::colors::Navy);
  EXPECT_TRUE(main.at("RecallBox").enabled);
  EXPECT_EQ(main.at("RecallBox").color, ui::colors::InputLight);

  main.userClick("All_NO");
  EXPECT_EQ(app.state().values.menuPreset, settings::MenuPreset::None);
  EXPECT_FALSE(main.checked("Volum_Mod"));
  EXPECT_FALSE(main.at("SQBar").enabled);
}

}  // namespace
}  // namespace rcp::rules
