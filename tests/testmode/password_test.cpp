#include "testmode/password.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/test_program.hpp"

namespace rcp::testmode {
namespace {

using Texts = std::vector<std::string>;

struct PasswordTest : ::testing::Test {
  test::TestProgram app;
  ui::Form& main = app.main();
  ui::Form& dialog = *app.state().password;

  // Opens the dialog by the picture and runs `inside` while it is shown.
  void open(std::function<void(ui::Form&)> inside) {
    app.dialogs.onModal = std::move(inside);
    main.userDblClick("TestOpen");
  }
  // One opening with one entry confirmed.
  void tryPassword(const std::string& text) {
    open([&](ui::Form& f) {
      f.userType("PassWords", text);
      f.userClick("Ok_Button");
    });
  }
};

TEST_F(PasswordTest, TheRightPasswordOffersTheTestTabForGoodAndEntersTheTestState) {
  for (const char* wrong : {"Qorvel", "qorvel "}) EXPECT_FALSE(isAcceptedPassword(wrong));
  EXPECT_TRUE(isAcceptedPassword("qorvel"));
  app.port.clearEvents();
  tryPassword("QORVEL");
  EXPECT_TRUE(main.at("Test").visible);
  EXPECT_EQ(main.activePage("HomeControlPage"), "Test");
  EXPECT_TRUE(app.state().values.testUnlocked);
  EXPECT_EQ(main.at("StatusBar").panels.at(2).text, "进入测试状态");
  EXPECT_EQ(dialog.text("PassWords"), "");
  EXPECT_FALSE(dialog.isShowing());
  EXPECT_EQ(app.written(), "\x91PROG\rTCH1\r");
  EXPECT_TRUE(app.dialogs.messages.empty());

  // Once offered, neither the picture nor Alt+T asks again.
  main.userDblClick("TestOpen");
  main.userKeyDown('T', true);
  EXPECT_EQ(app.dialogs.shownForms, Texts{"Password_Form"});
}

TEST_F(PasswordTest, ThreeFailuresInARowEndTheDialogAndStartANewCount) {
  open([&](ui::Form& f) {
    for (const char* wrong : {"Qorvel", "x", "qorvel!"}) {
      f.userType("PassWords", wrong);
      f.userClick("Ok_Button");
      EXPECT_EQ(f.text("PassWords"), "");
      EXPECT_EQ(f.focused(), "PassWords");
    }
    EXPECT_FALSE(f.isShowing()) << "the third failure closes the dialog";
  });
  EXPECT_EQ(app.dialogs.texts(), (Texts{"密码错误！", "密码错误！", "您是非法用户，请退出！"}));
  for (const auto& m : app.dialogs.messages) {
    EXPECT_EQ(m.caption, "警告");
    EXPECT_EQ(m.icon, ui::MessageIcon::Warning);
  }
  EXPECT_FALSE(main.at("Test").visible);
  EXPECT_FALSE(app.state().values.testUnlocked);

  tryPassword("wrong");
  EXPECT_EQ(app.dialogs.texts().back(), "密码错误！") << "a fourth try starts a new count";
}

TEST_F(PasswordTest, CancelResetsTheCountButClosingByTheTitleBarKeepsIt) {
  tryPassword("a");
  tryPassword("b");  // the fake closes the dialog afterwards, as the title-bar button does
  open([](ui::Form& f) { f.userClick("Cancel_Button"); });
  EXPECT_EQ(app.state().values.passwordAttempts, 0);
  tryPassword("c");
  tryPassword("d");
  EXPECT_EQ(app.dialogs.texts(), (Texts{"密码错误！", "密码错误！", "密码错误！", "密码错误！"}));
  tryPassword("e");
  EXPECT_EQ(app.dialogs.texts().back(), "您是非法用户，请退出！");

  open([](ui::Form& f) {
    f.userType("PassWords", "half typed");
    f.userClick("Cancel_Button");
    EXPECT_FALSE(f.isShowing());
    EXPECT_EQ(f.text("PassWords"), "");
  });
  EXPECT_FALSE(main.at("Test").visible);
}

}  // namespace
}  // namespace rcp::testmode
