// The window as a person uses it, keys and clicks arriving through the window system: every box
// a read, a write, its verification and the restore offer show takes its answer by Enter, Escape,
// a click on each button and each button's letter (with Alt or alone); the hidden Test tab opens
// by no way of switching tabs; the exit question is asked once.

#include "gui/person_input.hpp"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QWheelEvent>
#include <QWindow>
#include <fstream>

#include "gui/form_view.hpp"
#include "gui/qt_screen.hpp"
#include "gui/window_fixtures.hpp"
#include "transfer/read_transfer.hpp"
#include "program/program.hpp"
#include "safety/safe_write.hpp"
#include "settings/record.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"
#include "support/temp_dir.hpp"

namespace rcp::gui {
namespace {

namespace fs = std::filesystem;

class PersonInputTest : public WindowOnRadio {
 protected:
  PersonInputTest() : WindowOnRadio("backups") {}
  void options(const char* lines) {
    std::ofstream(folder / "Com.ini", std::ios::binary)
        << "[ComStatus]\r\nComport=COM2\r\n[Options]\r\n"
        << lines;
  }
  // Alt with a letter on the main window, wherever its focus is.
  void alt(Qt::Key key) { keyAsPerson(main, key, Qt::AltModifier); }
  std::string status() { return program.mainForm().at("StatusBar").panels.at(2).text; }
};

// Every way to end a box that has only 确定.
std::vector<BoxAnswer> okAnswers() {
  return {byKey("Enter", Qt::Key_Return), byKey("Escape", Qt::Key_Escape),
          byKey("Alt+O", Qt::Key_O, Qt::AltModifier), byKey("O", Qt::Key_O), byClickOn("确定")};
}

TEST_F(PersonInputTest, TheBoxesOfAFailedReadAndAFailedVerificationTakeEveryAnswer) {
  struct Case {
    const char* what;
    std::function<void()> fault;
    Qt::Key command;
  };
  const Case cases[] = {
      {"read, digits the radio garbles", [this] { radio.faults().garbageDigits = true; },
       Qt::Key_R},
      {"write, a byte stored wrongly",
       [this] {
         options("VerifyAfterWrite=1\r\n");
         radio.faults().corruptAddresses = {0x0CF};
       },
       Qt::Key_W},
  };
  for (const Case& c : cases) {
    for (const BoxAnswer& answer : okAnswers()) {
      radio.faults() = {};
      c.fault();
      BoxAnswerer answerer([&](QMessageBox*) { return answer; });
      alt(c.command);
      EXPECT_FALSE(answerer.answered.empty()) << c.what << ", " << answer.name;
      EXPECT_TRUE(answerer.stuck.empty())
          << c.what << ", " << answer.name << ": " << answerer.stuck.front();
      clock.pause(1000);
      port.settle();
    }
  }
}

TEST_F(PersonInputTest, TheRestoreQuestionTakesEveryAnswerAndYesPutsTheRadioBackByteForByte) {
  struct Case {
    BoxAnswer answer;
    bool restores;
  };
  const Case cases[] = {
      {byKey("Enter", Qt::Key_Return), true},
      {byKey("Alt+Y", Qt::Key_Y, Qt::AltModifier), true},
      {byKey("Y", Qt::Key_Y), true},
      {byClickOn("是"), true},
      {byKey("Escape", Qt::Key_Escape), false},
      {byKey("Alt+N", Qt::Key_N, Qt::AltModifier), false},
      {byKey("N", Qt::Key_N), false},
      {byClickOn("否"), false},
  };
  // A radio written before, as one in service is.
  alt(Qt::Key_W);
  port.settle();
  for (const Case& c : cases) {
    // A read keeps the radio's memory as the backup the offer names.
    radio.faults() = {};
    alt(Qt::Key_R);
    ASSERT_EQ(status(), image::kReadDoneText) << c.answer.name;
    const auto before = radio.memory();
    settings::Record(program.state()).set("RegCode", std::string("4321"));
    radio.faults().ackChunks = 30;
    bool asked = false;
    BoxAnswerer answerer([&](QMessageBox* box) {
      if (!box->text().contains(QStringLiteral("是否将此备份写回电台？")))
        return byKey("Enter", Qt::Key_Return);
      asked = true;
      radio.faults().ackChunks.reset();  // the technician mends the cable first
      return c.answer;
    });
    alt(Qt::Key_W);
    port.settle();
    EXPECT_TRUE(asked) << c.answer.name;
    EXPECT_TRUE(answerer.stuck.empty()) << c.answer.name << ": " << answerer.stuck.front();
    if (c.restores) {
      EXPECT_EQ(radio.memory(), before) << c.answer.name;
      EXPECT_EQ(status(), "备份已写回电台。") << c.answer.name;
    } else {
      EXPECT_NE(status(), "备份已写回电台。") << c.answer.name;
    }
    clock.pause(1000);
    port.settle();
  }
}

// The ways Qt offers to switch tabs, each tried from a field of 用户信息 and from the tab bar.
TEST_F(PersonInputTest, TheHiddenTestTabOpensByNoWayOfSwitchingTabs) {
  ui::Form& form = program.mainForm();
  program.state().values.aboutSuppressed = true;  // 帮助 shows no version box on the way
  form.userActivatePage("UserInfo");
  QCoreApplication::processEvents();
  QWidget* field = main->controlWidget("MPT1343_Indivol");
  ASSERT_NE(field, nullptr);
  auto* tabs = qobject_cast<QTabWidget*>(main->controlWidget("HomeControlPage"));
  ASSERT_NE(tabs, nullptr);
  QTabBar* bar = tabs->tabBar();
  QWidget* testPage = main->controlWidget("Test");
  const int testIndex = tabs->indexOf(testPage);
  ASSERT_GE(testIndex, 0);

  bool testShown = false;
  QObject::connect(tabs, &QTabWidget::currentChanged,
                   [&](int index) { testShown = testShown || index == testIndex; });
  struct Way {
    const char* name;
    std::function<void()> send;
  };
  const auto keys = [&](QWidget* focus, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    return [=, this] {
      focus->setFocus(Qt::OtherFocusReason);
      for (int i = 0; i < 6; ++i) keyAsPerson(main, key, modifiers);
    };
  };
  const auto wheel = [&](int delta) {
    return [=, this] {
      const QPoint at = bar->mapTo(main, bar->rect().center());
      // To the window, as the window system hands a turn of the wheel on.
      for (int i = 0; i < 6; ++i) {
        QWheelEvent turn(at, main->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(main->windowHandle(), &turn);
      }
    };
  };
  const Way ways[] = {
      {"Ctrl+Tab", keys(field, Qt::Key_Tab, Qt::ControlModifier)},
      {"Ctrl+Shift+Tab", keys(field, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier)},
      {"Ctrl+PgDn", keys(field, Qt::Key_PageDown, Qt::ControlModifier)},
      {"Ctrl+PgUp", keys(field, Qt::Key_PageUp, Qt::ControlModifier)},
      {"Right on the tab bar", keys(bar, Qt::Key_Right, {})},
      {"Left on the tab bar", keys(bar, Qt::Key_Left, {})},
      {"End on the tab bar", keys(bar, Qt::Key_End, {})},
      {"Home on the tab bar", keys(bar, Qt::Key_Home, {})},
      {"the wheel down", wheel(-120)},
      {"the wheel up", wheel(120)},
      {"a click where the tab was", [&] { clickAsPerson(bar, bar->tabRect(testIndex).center()); }},
  };
  for (const Way& way : ways) {
    for (const char* start : {"UserInfo", "NormalSet", "Appendix"}) {
      form.userActivatePage(start);
      QCoreApplication::processEvents();
      port.clearEvents();
      way.send();
      QCoreApplication::processEvents();
      EXPECT_FALSE(testShown) << way.name << " from " << start;
      EXPECT_NE(tabs->currentWidget(), testPage) << way.name << " from " << start;
      EXPECT_NE(form.activePage("HomeControlPage"), "Test") << way.name << " from " << start;
      EXPECT_EQ(written().find("PROG"), std::string::npos) << way.name << " from " << start;
      testShown = false;
    }
  }
  // The model refuses a hidden page whatever asks for it.
  port.clearEvents();
  form.userActivatePage("Test");
  EXPECT_NE(form.activePage("HomeControlPage"), "Test");
  EXPECT_EQ(written(), "");
}

// The progress dialog's percent only shows a number: it takes no focus and shows no text cursor.
// The verification's list is as wide as its longest line, so that no line wraps in two; its
// half-width comma is gone.
TEST_F(PersonInputTest, ThePercentTakesNoFocusAndTheVerificationListKeepsItsLinesWhole) {
  FormView* progress = screen.findView(*program.state().writeData);
  auto* percent = qobject_cast<QLineEdit*>(progress->controlWidget("Percent"));
  ASSERT_NE(percent, nullptr);
  EXPECT_EQ(percent->focusPolicy(), Qt::NoFocus);
  EXPECT_TRUE(percent->isReadOnly());
  EXPECT_EQ(QString::fromUtf8(app::kVerifyingText), QStringLiteral("正在校验数据，请稍候..."));

  options("VerifyAfterWrite=1\r\n");
  radio.faults().corruptAddresses = {0x0CF, 0x2C9};
  int widest = 0;
  int labelWidth = 0;
  BoxAnswerer answerer([&](QMessageBox* box) {
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    for (const QString& line : box->text().split(QLatin1Char('\n')))
      widest = qMax(widest, label->fontMetrics().horizontalAdvance(line));
    labelWidth = label->width();
    return byKey("Enter", Qt::Key_Return);
  });
  alt(Qt::Key_W);
  ASSERT_EQ(answerer.answered.size(), 1u);
  EXPECT_GE(labelWidth, widest) << "a line of the list wraps";
}

TEST_F(PersonInputTest, TheExitQuestionIsAskedOnceAndNoEndsTheProgram) {
  settings::Record(program.state()).set("RegCode", std::string("1234"));
  QTimer failsafe;
  failsafe.setSingleShot(true);
  QObject::connect(&failsafe, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  failsafe.start(5000);
  int questions = 0;
  BoxAnswerer answerer([&](QMessageBox*) {
    ++questions;
    return byClickOn("否");
  });
  soon([this] { clickAsPerson(main->controlWidget("OutProg")); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(questions, 1);
  EXPECT_TRUE(answerer.stuck.empty());
  EXPECT_EQ(written(), "Q");
}

}  // namespace
}  // namespace rcp::gui
