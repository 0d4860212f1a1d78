// What is still being typed when a shortcut acts, seen through the real widgets: the value is
// finished as leaving the field would finish it, and retyping a count loses nothing on the way.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <fstream>
#include <iterator>

#include "gui/form_view.hpp"
#include "gui/qt_screen.hpp"
#include "gui/spin_field.hpp"
#include "program/program.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"
#include "support/fake_services.hpp"
#include "support/temp_dir.hpp"
#include "window/bind.hpp"

namespace rcp::gui {
namespace {

class PendingEditsGuiTest : public ::testing::Test {
 protected:
  PendingEditsGuiTest() : program(app::Services{port, clock, dialogs, screen, folder / "Com.ini"}) {
    app::startWithWindow(program);
    dialogs.messages.clear();
    main = screen.findView(program.mainForm());
    main->activateWindow();
    QCoreApplication::processEvents();
  }
  QLineEdit* spinEdit(const char* name) {
    return qobject_cast<SpinField*>(main->controlWidget(name))->lineEdit();
  }
  // Selects the field's text and types over it, leaving the focus in the field.
  void typeInto(QLineEdit* edit, const char* keys) {
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, keys);
  }
  void alt(QWidget* focused, Qt::Key key) {
    QTest::keyClick(focused, key, Qt::AltModifier);
    clock.pause(1000);
    QCoreApplication::processEvents();
  }
  std::string file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  link::VirtualClock clock;
  sim::VirtualRadio radio{*sim::identityOfModel("HX77")};
  sim::SimulatedPort port{radio, clock};
  test::FakeDialogs dialogs;
  QtScreen screen;
  test::TempDir folder;
  app::Program program;
  FormView* main = nullptr;
};

TEST_F(PendingEditsGuiTest, OutOfBoundsValuesNeverReachTheFileOrTheRadio) {
  QLineEdit* ta = spinEdit("TA");
  typeInto(ta, "200");
  dialogs.fileAnswers.push_back((folder / "a.ini").string());
  alt(ta, Qt::Key_S);
  EXPECT_NE(file(folder / "a.ini").find("\r\nTA=120\r\n"), std::string::npos);
  EXPECT_EQ(ta->text(), QStringLiteral("120"));
  EXPECT_TRUE(ta->hasFocus());

  QLineEdit* nt = spinEdit("NT");
  typeInto(ta, "5");  // below the minimum of 10
  typeInto(nt, "0");
  alt(nt, Qt::Key_W);
  port.settle();
  EXPECT_EQ(program.state().main->at("StatusBar").panels.at(2).text, "写录完毕!");
  EXPECT_EQ(radio.memory()[0x0CF], 10);  // TA, finished when the focus moved on
  EXPECT_EQ(radio.memory()[0x0CD], 1);   // NT, finished by the shortcut
  EXPECT_EQ(nt->text(), QStringLiteral("1"));
}

TEST_F(PendingEditsGuiTest, RetypingThePhoneBookSizeKeepsTheEntriesBelowTheNewSize) {
  ui::Form& form = *program.state().main;
  for (int j = 0; j <= 9; ++j) form.setText("Phone_Number" + std::to_string(j), "5551234");
  QLineEdit* size = spinEdit("MaxNumber");
  size->setFocus(Qt::MouseFocusReason);
  size->end(false);
  QTest::keyClick(size, Qt::Key_Backspace);
  QTest::keyClick(size, Qt::Key_Backspace);
  EXPECT_EQ(size->text(), QString());
  EXPECT_EQ(form.text("Phone_Number9"), "5551234") << "an emptied count changes nothing yet";
  QTest::keyClicks(size, "8");
  QTest::keyClick(size, Qt::Key_Tab);
  QCoreApplication::processEvents();
  for (int j = 0; j <= 9; ++j) {
    const auto* entry =
        qobject_cast<QLineEdit*>(main->controlWidget("Phone_Number" + std::to_string(j)));
    EXPECT_EQ(entry->text(), j < 8 ? QStringLiteral("5551234") : QString()) << j;
    EXPECT_EQ(entry->isEnabled(), j < 8) << j;
  }
}

}  // namespace
}  // namespace rcp::gui
