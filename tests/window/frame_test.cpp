#include "window/frame.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/test_program.hpp"

namespace rcp::app {
namespace {

struct FrameTest : ::testing::Test {
  test::TestProgram app;
  ui::Form& main = app.main();

  void SetUp() override { app.port.clearEvents(); }
  std::string panel(int i) { return main.at("StatusBar").panels.at(i).text; }
  void unlockTestTab() {
    main.setVisible("Test", true);
    app.state().values.testUnlocked = true;
  }
};

TEST_F(FrameTest, TheStatusTextAlternatesEveryTick) {
  main.userTimer("Timer1");
  EXPECT_EQ(panel(0), "Veltra通讯设备有限公司");
  main.userTimer("Timer1");
  EXPECT_EQ(panel(0), kWebsiteText);
  main.userTimer("Timer1");
  EXPECT_EQ(panel(0), "Veltra通讯设备有限公司");
  EXPECT_EQ(main.at("Timer1").value, 10000);
}

TEST_F(FrameTest, AltShortcutsActOnlyWithAlt) {
  main.userKeyDown('T', false);
  EXPECT_TRUE(app.dialogs.shownForms.empty()) << "T alone does nothing";
  main.userKeyDown('T', true);
  main.userKeyDown('C', true);
  main.userKeyDown('B', true);
  EXPECT_EQ(app.dialogs.shownForms,
            (std::vector<std::string>{"Password_Form", "ComSet_Form", "Fleet_Form"}));

  unlockTestTab();
  main.userKeyDown('T', true);
  main.fire("TestOpen", ui::Event::DblClick);
  EXPECT_EQ(app.dialogs.shownForms.size(), 3u) << "no password once the test tab shows";

  int saves = 0;
  main.on("SaveFile", ui::Event::Click, [&](ui::Control&) { ++saves; });
  main.userKeyDown('S', true);
  EXPECT_EQ(saves, 1);
}

TEST_F(FrameTest, ExitSendsQEvenWithoutAnOpenPort) {
  app.port.close();
  main.userKeyDown('X', true);
  main.userClick("OutProg");
  EXPECT_EQ(app.written(), "QQ");
  EXPECT_EQ(app.screen.quits, 2);
}

TEST_F(FrameTest, TabsLeaveTheTestStateAndHelpShowsTheAboutBoxUntilSuppressed) {
  main.userActivatePage("Help");
  EXPECT_EQ(app.written(), "Q");
  EXPECT_EQ(app.dialogs.shownForms, (std::vector<std::string>{"Version_Form"}));
  EXPECT_EQ(panel(2), "欢迎使用HX33单工手持台!") << "no status text while the test tab is locked";

  main.userDblClick("StatusBar");
  unlockTestTab();
  main.userActivatePage("UserInfo");
  main.userActivatePage("Help");
  EXPECT_EQ(app.written(), "QQQ");
  EXPECT_EQ(app.dialogs.shownForms.size(), 1u) << "the About box stays suppressed";
  EXPECT_EQ(panel(2), "退出测试状态");
}

TEST_F(FrameTest, TheAboutBoxClosesWithItsButton) {
  app.dialogs.onModal = [](ui::Form& f) {
    EXPECT_EQ(f.caption(), "版本信息");
    f.userClick("VersionOk");
    EXPECT_FALSE(f.isShowing());
  };
  main.userActivatePage("Help");
  EXPECT_EQ(app.dialogs.shownForms.size(), 1u);
}

TEST_F(FrameTest, StatusBarDoubleClickRelabelsTheCompanderOnlyOnTheTestTab) {
  main.userDblClick("StatusBar");
  EXPECT_NE(main.at("CompressOpen").caption, "压扩开");
  main.setVisible("Test", true);
  main.on("Test", ui::Event::Shown, [](ui::Control&) {});
  main.userActivatePage("Test");
  main.userDblClick("StatusBar");
  EXPECT_EQ(main.at("CompressOpen").caption, "压扩开");
  EXPECT_EQ(main.at("CompressClose").caption, "压扩关");
  EXPECT_EQ(main.at("CompressClose").fontName, "楷体_GB2312");
  EXPECT_TRUE(app.state().values.aboutSuppressed);
}

TEST_F(FrameTest, ThePictureRevealsTheOldVersionSwitchForGood) {
  main.userDblClick("Image2");
  main.userDblClick("Image2");
  EXPECT_TRUE(main.at("OldVersion").visible);
}

TEST_F(FrameTest, AnErrorInAHandlerShowsTheStandardErrorBoxAndTheProgramGoesOn) {
  main.on("ReadData", ui::Event::Click, [](ui::Control&) { throw std::runtime_error("失败"); });
  main.userClick("ReadData");
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_EQ(app.dialogs.messages[0].text, "失败");
  EXPECT_EQ(app.dialogs.messages[0].caption, "Veltra写频软件");
  EXPECT_EQ(app.dialogs.messages[0].icon, ui::MessageIcon::Error);
  main.userClick("OutProg");
  EXPECT_EQ(app.screen.quits, 1);
}

}  // namespace
}  // namespace rcp::app
