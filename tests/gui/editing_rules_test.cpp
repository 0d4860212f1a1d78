// The editing rules seen through the real widgets: what the user types and clicks reaches the
// rules, and what the rules do shows in the window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "gui/form_view.hpp"
#include "gui/qt_screen.hpp"
#include "program/program.hpp"
#include "support/fake_services.hpp"
#include "support/temp_dir.hpp"
#include "window/bind.hpp"

namespace rcp::gui {
namespace {

// Records the range warnings the program asks to show, without opening a window for them.
struct WarningDialogs : test::FakeDialogs {
  std::vector<std::string> warnings;
  void showModal(ui::Form& form) override {
    if (form.name() == "Error1_Form")
      warnings.push_back(form.at("WarnLab1").caption + form.at("WarnLab2").caption);
  }
};

class EditingRulesGuiTest : public ::testing::Test {
 protected:
  EditingRulesGuiTest() : program(app::Services{port, clock, dialogs, screen, folder / "Com.ini"}) {
    app::startWithWindow(program);
    dialogs.messages.clear();
    main = screen.findView(program.mainForm());
    main->activateWindow();
    QCoreApplication::processEvents();
  }
  QLineEdit* edit(const char* name) { return qobject_cast<QLineEdit*>(main->controlWidget(name)); }
  // What a field shows after the user selects all and types the keys.
  QString typedInto(const char* name, const char* keys) {
    QLineEdit* e = edit(name);
    e->setFocus(Qt::MouseFocusReason);
    e->selectAll();
    QTest::keyClicks(e, keys);
    return e->text();
  }
  void click(const char* name) {
    QTest::mouseClick(main->controlWidget(name), Qt::LeftButton);
    QCoreApplication::processEvents();
  }

  test::RecordingPort port;
  link::VirtualClock clock;
  WarningDialogs dialogs;
  QtScreen screen;
  test::TempDir folder;
  app::Program program;
  FormView* main = nullptr;
};

TEST_F(EditingRulesGuiTest, LeavingAFieldShowsTheRangeWarningAndPutsTheFocusBack) {
  QLineEdit* rx = edit("RxFreq");
  ASSERT_NE(rx, nullptr);
  rx->setFocus(Qt::MouseFocusReason);
  rx->selectAll();
  QTest::keyClicks(rx, "36102x60");  // the letter never reaches the field
  EXPECT_EQ(rx->text(), QStringLiteral("3610260"));
  main->controlWidget("TxFreq")->setFocus(Qt::TabFocusReason);  // leave the field
  QCoreApplication::processEvents();

  EXPECT_EQ(dialogs.warnings, (std::vector<std::string>{"应能整除125"}));
  EXPECT_EQ(QApplication::focusWidget(), rx)
      << QApplication::focusWidget()->objectName().toStdString();
  EXPECT_EQ(rx->text(), QStringLiteral("3610260")) << "the value stays as typed";
}

TEST_F(EditingRulesGuiTest, SwitchingTheDiallingSchemeThereAndBack) {
  auto* group = qobject_cast<QGroupBox*>(main->controlWidget("MPT1343_Fram"));
  ASSERT_NE(group, nullptr);
  click("CPSX");
  EXPECT_EQ(group->title(), QStringLiteral("CPSX"));
  EXPECT_EQ(edit("MPT1343_Indivol")->text(), QStringLiteral("32620201"));
  EXPECT_EQ(typedInto("MPT1343_Indivol", "123456789012"), QStringLiteral("12345678"));
  EXPECT_EQ(edit("MPT1343_Grp1")->text(), QStringLiteral("32620900"));
  EXPECT_EQ(edit("indivolstart")->text(), QStringLiteral("20200"));
  EXPECT_EQ(typedInto("grpstop", "1234567"), QStringLiteral("12345"));
  EXPECT_TRUE(main->controlWidget("Block")->isEnabled());
  EXPECT_FALSE(main->controlWidget("MaxIndivol")->isEnabled());
  EXPECT_FALSE(main->controlWidget("Shrink_num")->isVisible());

  click("MPT1343");
  EXPECT_EQ(group->title(), QStringLiteral("MPT1343"));
  EXPECT_EQ(edit("MPT1343_Indivol")->text(), QStringLiteral("3262001206"));
  EXPECT_EQ(typedInto("MPT1343_Grp3", "123456789012"), QStringLiteral("1234567890"));
  EXPECT_EQ(edit("MPT1343_Grp2")->text(), QString());
  EXPECT_EQ(edit("grpstart")->text(), QStringLiteral("5500900"));
  EXPECT_EQ(typedInto("grpstop", "123456789"), QStringLiteral("1234567"));
  EXPECT_FALSE(main->controlWidget("Block")->isEnabled());
  EXPECT_FALSE(main->controlWidget("MaxUnit")->isEnabled());
  EXPECT_TRUE(main->controlWidget("MPT1343_Fleet")->isEnabled());
  EXPECT_TRUE(qobject_cast<QRadioButton*>(main->controlWidget("MPT1343"))->isChecked());
}

}  // namespace
}  // namespace rcp::gui
