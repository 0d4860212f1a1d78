#include "rules/system_labels_dialog.hpp"

#include <gtest/gtest.h>

#include "support/form_driver.hpp"
#include "support/test_program.hpp"

namespace rcp::rules {
namespace {

struct SystemLabelsDialogTest : ::testing::Test {
  test::TestProgram app;
  settings::WorkingValues& values = app.state().values;

  void open(std::function<void(ui::Form&)> script) {
    app.dialogs.onModal = std::move(script);
    app.main().userClick("SysLabel");
  }
};

TEST_F(SystemLabelsDialogTest, PairKIsEditedInFields2KMinus1And2K) {
  values.systemLabels[10] = {255, 999};
  values.systemLabels[39] = {7, 12};
  open([&](ui::Form& f) {
    EXPECT_EQ(f.text("SysLabNum1"), "0");
    EXPECT_EQ(f.text("SysLabNum21") + "/" + f.text("SysLabNum22"), "255/999");
    EXPECT_EQ(f.text("SysLabNum79") + "/" + f.text("SysLabNum80"), "7/12");

    test::enter(f, "SysLabNum1", "255");
    test::enter(f, "SysLabNum2", "999");
    test::enter(f, "SysLabNum80", "");
    EXPECT_EQ(f.text("SysLabNum80"), "0");
    EXPECT_TRUE(app.dialogs.messages.empty());
    f.userFocus("SysLabNum3");
    f.userType("SysLabNum3", "256");
    f.userFocus("SysLabNum4");
    f.userExit("SysLabNum3");
    EXPECT_EQ(f.focused(), "SysLabNum3");
    EXPECT_EQ(f.userKey("SysLabNum3", U'-'), 0u);
    f.userClick("SysLable_OK");
  });
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_EQ(app.dialogs.messages[0].text, "无线局向号应小于255!");
  EXPECT_EQ(app.dialogs.messages[0].caption, "系统信息");
  EXPECT_EQ(app.dialogs.messages[0].icon, ui::MessageIcon::Error);
  EXPECT_EQ(values.systemLabels[0].route, 255u);
  EXPECT_EQ(values.systemLabels[0].system, 999u);
  EXPECT_EQ(values.systemLabels[1].route, 256u) << "a warned value is stored all the same";
  EXPECT_EQ(values.systemLabels[39].system, 0u);
}

TEST_F(SystemLabelsDialogTest, CancelAndTheCloseBoxKeepTheOldList) {
  values.systemLabels[4] = {5, 12};
  auto edit = [](ui::Form& f) {
    f.userType("SysLabNum9", "6");
    f.userType("SysLabNum10", "");
  };
  open([&](ui::Form& f) {
    edit(f);
    f.userClick("SysLable_CANCEL");
    EXPECT_FALSE(f.isShowing());
  });
  open(edit);  // closed by the window's close box
  open([](ui::Form& f) { EXPECT_EQ(f.text("SysLabNum9") + "/" + f.text("SysLabNum10"), "5/12"); });
  EXPECT_EQ(values.systemLabels[4].route, 5u);
}

}  // namespace
}  // namespace rcp::rules
