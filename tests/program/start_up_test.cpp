#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "program/offline_program.hpp"
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
                                      "SysLableform", "Fleet_Form", "History_Form"}));
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

// The start-up showing belongs to the program, the commands to the window: a program started
// without the window (an offline one) shows its first page as the tool does, and a click or a
// shortcut of the window opens nothing there.
TEST(StartUpTest, AProgramWithoutTheWindowShowsAsTheToolDoesButTakesNoWindowCommand) {
  test::TestProgram tool;
  OfflineProgram offline;
  ui::Form& main = *offline.state().main;
  for (const auto& s : settings::kMenuSwitches) EXPECT_TRUE(main.checked(s.control)) << s.control;
  EXPECT_EQ(offline.state().values.menuPreset, settings::MenuPreset::All);
  struct Way {
    const char* name;
    std::function<void(ui::Form&)> act;
    const char* opens;
  };
  const Way ways[] = {
      {"the port button", [](ui::Form& form) { form.userClick("ComSet"); }, "ComSet_Form"},
      {"Alt+C", [](ui::Form& form) { form.userKeyDown('C', true); }, "ComSet_Form"},
      {"Alt+B", [](ui::Form& form) { form.userKeyDown('B', true); }, "Fleet_Form"},
      {"Alt+H", [](ui::Form& form) { form.userKeyDown('H', true); }, "History_Form"},
  };
  for (const Way& way : ways) {
    tool.dialogs.shownForms.clear();
    way.act(tool.main());
    EXPECT_EQ(tool.dialogs.shownForms, std::vector<std::string>{way.opens}) << way.name;
    const std::size_t shownBefore = offline.shown().size();
    way.act(main);
    EXPECT_EQ(offline.shown().size(), shownBefore) << way.name;
  }
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
