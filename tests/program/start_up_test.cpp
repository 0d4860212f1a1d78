#include <gtest/gtest.h>

#include "settings/menu_switch_table.hpp"
#include "support/test_program.hpp"
#include "ui/layouts/layouts.hpp"
#include "window/frame.hpp"

namespace rcp::app {
namespace {

TEST(StartUpTest, CreatesTheWindowsInOrderAndShowsTheMainWindowReadyToWork) {
  test::TestProgram app;
  EXPECT_EQ(app.screen.title, "Veltra写频软件");
  EXPECT_EQ(app.screen.created,
            (std::vector<std::string>{"Main_Form", "Password_Form", "Error1_Form", "ComSet_Form",
                                      "WriteData_Form", "Version_Form", "SimplexSet", "OtherGrpSet",
                                      "SysLableform", "Fleet_Form"}));
  ui::Form& main = app.main();
  EXPECT_EQ(main.caption(), "HX33单工手持台参数设置") << "the radio answered at start-up";
  EXPECT_TRUE(main.isShowing());
  EXPECT_EQ(main.activePage("HomeControlPage"), "NormalSet");
  EXPECT_FALSE(main.at("Test").visible);
  EXPECT_FALSE(main.at("OldVersion").visible);
  EXPECT_TRUE(app.dialogs.messages.empty());
}

TEST(StartUpTest, FirstShowingEnablesEveryMenuOption) {
  test::TestProgram app;
  ui::Form& main = app.main();
  for (const auto& s : settings::kMenuSwitches) {
    EXPECT_TRUE(main.checked(s.control)) << s.control;
    EXPECT_EQ(main.at(s.control).fontColor, ui::colors::Purple) << s.control;
    if (s.valueControl) {
      EXPECT_TRUE(main.at(s.valueControl).enabled) << s.valueControl;
    }
  }
  EXPECT_EQ(app.state().values.menuPreset, settings::MenuPreset::All);
  EXPECT_EQ(main.at("All_OK").fontColor, ui::colors::Blue);
  EXPECT_EQ(main.at("All_NO").fontColor, ui::colors::Navy);
  EXPECT_EQ(main.at("Often_OK").fontColor, ui::colors::Navy);
}

TEST(StartUpTest, StatusBarPanelsStartAsLaidOut) {
  const ui::Form main(ui::layouts::mainForm());
  const auto& panels = main.at("StatusBar").panels;
  ASSERT_EQ(panels.size(), 3u);
  EXPECT_EQ(panels[0].width, 310);
  EXPECT_EQ(panels[1].width, 230);
  EXPECT_EQ(panels[2].width, 100);
  EXPECT_EQ(panels[0].text, kWebsiteText);
  EXPECT_EQ(panels[1].text, " ");
  EXPECT_TRUE(panels[1].rightToLeft && panels[2].rightToLeft);
  for (const auto& p : panels) EXPECT_EQ(p.align, ui::Align::Center);
}

}  // namespace
}  // namespace rcp::app
