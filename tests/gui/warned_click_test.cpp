// A button pressed with the mouse while the field being left draws a warning: the warning
// takes the release, yet the press still makes the click, once.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "gui/form_view.hpp"
#include "gui/qt_dialogs.hpp"
#include "gui/qt_screen.hpp"
#include "program/program.hpp"
#include "support/fake_services.hpp"
#include "support/temp_dir.hpp"
#include "window/bind.hpp"

namespace rcp::gui {
namespace {

// Real message boxes (once the program has started: the no-radio report is only recorded)
// and real modal windows.
struct LiveDialogs : test::FakeDialogs {
  explicit LiveDialogs(QtScreen& screen) : qt(screen) {}
  ui::MessageResult message(const ui::Message& m) override {
    return live ? qt.message(m) : FakeDialogs::message(m);
  }
  void showModal(ui::Form& form) override { qt.showModal(form); }
  QtDialogs qt;
  bool live = false;
};

// Runs action on the next turn of whatever event loop is running then.
void soon(std::function<void()> action) {
  QTimer::singleShot(0, qApp, std::move(action));
}

class WarnedClickTest : public ::testing::Test {
 protected:
  WarnedClickTest() : program(app::Services{port, clock, dialogs, screen, folder / "Com.ini"}) {
    app::startWithWindow(program);
    dialogs.live = true;
    failsafe.setSingleShot(true);
  }
  FormView* view(const ui::Form& form) { return screen.findView(form); }

  // Types text into a field of a window, then presses the mouse on a button of the same
  // window. Leaving the field opens a warning (a message box or a modal window); while it is
  // up, the mouse is released over the button (the window is blocked: the release is lost)
  // and the warning is closed with the mouse, by dismiss.
  void typeThenPress(FormView* window, const char* field, const char* text, const char* button,
                     std::function<void()> dismiss) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    auto* edit = qobject_cast<QLineEdit*>(window->controlWidget(field));
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QWidget* pressed = window->controlWidget(button);
    soon([this, pressed, dismiss] {
      warning = QApplication::activeModalWidget();
      QTest::mouseRelease(pressed, Qt::LeftButton);
      if (warning) dismiss();
    });
    QTest::mousePress(pressed, Qt::LeftButton);
  }

  test::RecordingPort port;
  link::VirtualClock clock;
  QtScreen screen;
  LiveDialogs dialogs{screen};
  test::TempDir folder;
  app::Program program;
  QWidget* warning = nullptr;
  QTimer failsafe;  // ends a dialog whose click was lost, so that the test fails, not hangs
};

TEST_F(WarnedClickTest, DialogOkStoresTheFieldsAllTheSame) {
  ui::Form& simplex = *program.state().simplexSet;
  QObject::connect(&failsafe, &QTimer::timeout, [&] { simplex.close(); });
  QString warned;
  soon([&] {  // inside the dialog's modal loop
    failsafe.start(2000);
    typeThenPress(view(simplex), "S12RxFreq", "3610260", "Set_OK", [&] {
      auto* box = qobject_cast<QMessageBox*>(warning);
      warned = box->text();
      QTest::mouseClick(box->buttons().front(), Qt::LeftButton);
    });
  });
  QTest::mouseClick(view(program.mainForm())->controlWidget("Advance"), Qt::LeftButton);

  EXPECT_EQ(warned, QStringLiteral("应整除125！"));
  EXPECT_TRUE(failsafe.isActive()) << "OK did not close the dialog";
  EXPECT_FALSE(simplex.isShowing());
  EXPECT_EQ(program.state().values.simplexRx.at(12 - 9), 3610260);
}

TEST_F(WarnedClickTest, ACheckBoxPressedAfterTheRangeWarningTogglesOnce) {
  FormView* main = view(program.mainForm());
  main->activateWindow();
  ui::Form& rangeWarning = *program.state().error1;
  typeThenPress(main, "RxFreq", "3610260", "AutoRoam", [&] {
    QTest::mouseClick(view(rangeWarning)->controlWidget("Error1_Ok"), Qt::LeftButton);
  });

  EXPECT_EQ(warning, view(rangeWarning)) << "the range warning was shown";
  EXPECT_TRUE(qobject_cast<QAbstractButton*>(main->controlWidget("AutoRoam"))->isChecked());
  EXPECT_TRUE(program.mainForm().checked("AutoRoam"));
  EXPECT_EQ(main->focusWidget(), main->controlWidget("RxFreq")) << "the warning's focus stays";
}

}  // namespace
}  // namespace rcp::gui
