// Text that reaches a field without being typed key by key (pasted with the keyboard or the
// context menu, or dropped) obeys the field's key filter and maximum length like typed keys.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>

#include "gui/form_view.hpp"
#include "gui/qt_screen.hpp"
#include "gui/spin_field.hpp"
#include "gui/window_fixtures.hpp"
#include "program/program.hpp"
#include "support/fake_services.hpp"
#include "support/temp_dir.hpp"

namespace rcp::gui {
namespace {

class PastedTextTest : public WindowOnFakes {
 protected:
  PastedTextTest() {
    main->activateWindow();
    QCoreApplication::processEvents();
  }

  // The line edit holding a field's text: an edit, a combo box's or a spin field's.
  QLineEdit* edit(const char* name) {
    QWidget* w = main->controlWidget(name);
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->lineEdit();
    if (auto* spin = qobject_cast<SpinField*>(w)) return spin->lineEdit();
    return qobject_cast<QLineEdit*>(w);
  }
  QLineEdit* selectAllOf(const char* name) {
    QLineEdit* e = edit(name);
    e->setFocus(Qt::MouseFocusReason);
    e->selectAll();
    return e;
  }
  // What a field shows after the user selects all and pastes text with Ctrl+V.
  QString pastedInto(const char* name, const QString& text) {
    QLineEdit* e = selectAllOf(name);
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    return e->text();
  }
  std::string held(const char* name) { return program.mainForm().text(name); }
};

TEST_F(PastedTextTest, PastedCharactersPassTheKeyFilterOneByOne) {
  EXPECT_EQ(pastedInto("RxFreq", "36l0250"), QStringLiteral("360250"));
  EXPECT_EQ(held("RxFreq"), "360250") << "the form holds what the field shows";

  EXPECT_EQ(pastedInto("SysCallNum", "#12"), QStringLiteral("12"));
  EXPECT_EQ(pastedInto("SysCallNum", "*12"), QStringLiteral("*12"));
  EXPECT_EQ(held("SysCallNum"), "*12");

  EXPECT_EQ(pastedInto("TA", "1a5 "), QStringLiteral("15")) << "a spin field";
  EXPECT_EQ(pastedInto("password", "12-34-56"), QStringLiteral("123456"));
  EXPECT_EQ(pastedInto("Infomation", "a-b c"), QStringLiteral("a-b c")) << "no filter";

  // A companion box that discards every key refuses any pasted text and keeps its choice.
  EXPECT_EQ(pastedInto("LedBox", "abc"), QStringLiteral("背光开"));
  EXPECT_EQ(held("LedBox"), "背光开");
}

TEST_F(PastedTextTest, PasteInTheMiddleFiltersOnlyWhatIsInserted) {
  QLineEdit* rx = selectAllOf("RxFreq");
  QTest::keyClicks(rx, "36");
  QTest::keyClicks(rx, "50");
  rx->setCursorPosition(2);
  QGuiApplication::clipboard()->setText("x10-2");
  QTest::keyClick(rx, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(rx->text(), QStringLiteral("3610250"));
  EXPECT_EQ(rx->cursorPosition(), 5) << "just after the admitted characters";
}

TEST_F(PastedTextTest, ContextMenuPasteIsFilteredToo) {
  QLineEdit* e = selectAllOf("SysCallNum");
  QGuiApplication::clipboard()->setText("#9*9");
  QContextMenuEvent menuRequest(QContextMenuEvent::Mouse, e->rect().center(),
                                e->mapToGlobal(e->rect().center()));
  QCoreApplication::sendEvent(e, &menuRequest);
  auto* menu = e->findChild<QMenu*>();
  ASSERT_NE(menu, nullptr);
  const QString shortcut = QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
  QAction* paste = nullptr;
  for (QAction* a : menu->actions())
    if (a->text().endsWith(QLatin1Char('\t') + shortcut)) paste = a;
  ASSERT_NE(paste, nullptr);
  paste->trigger();
  menu->close();
  EXPECT_EQ(e->text(), QStringLiteral("9*9"));
  EXPECT_EQ(held("SysCallNum"), "9*9");
}

TEST_F(PastedTextTest, DroppedTextIsFiltered) {
  QLineEdit* e = selectAllOf("TxFreq");
  QTest::keyClick(e, Qt::Key_Delete);
  QMimeData data;
  data.setText("35 10,250");
  const QPoint at = e->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(e, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(e, &drop);
  EXPECT_EQ(e->text(), QStringLiteral("3510250"));
  EXPECT_EQ(held("TxFreq"), "3510250");
}

TEST_F(PastedTextTest, PastedTextIsCutAtTheMaximumLength) {
  EXPECT_EQ(pastedInto("RxFreq", "361025012345"), QStringLiteral("3610250"));  // 7 digits

  // Counted in code-page bytes: a Chinese character takes two.
  EXPECT_EQ(pastedInto("Infomation", "中文中文中文"), QStringLiteral("中文中文"));
  EXPECT_EQ(pastedInto("Infomation", "ab中文中文"), QStringLiteral("ab中文中"));

  // Into a full field nothing more goes, while deleting still works.
  QLineEdit* rx = edit("RxFreq");
  rx->setCursorPosition(3);
  QGuiApplication::clipboard()->setText("9");
  QTest::keyClick(rx, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(rx->text(), QStringLiteral("3610250"));
  QTest::keyClick(rx, Qt::Key_Backspace);
  EXPECT_EQ(rx->text(), QStringLiteral("360250"));
  QTest::keyClick(rx, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(rx->text(), QStringLiteral("3690250"));
  EXPECT_EQ(held("RxFreq"), "3690250");
}

TEST_F(PastedTextTest, TextSetByTheProgramIsNotFiltered) {
  // The program may put anything into a field; only the user's insertions are held back.
  program.mainForm().setText("SysCallNum", "#12 告警号码超长的文字");
  EXPECT_EQ(edit("SysCallNum")->text(), QStringLiteral("#12 告警号码超长的文字"));
  // The user may still delete from it.
  QLineEdit* e = edit("SysCallNum");
  e->setFocus(Qt::MouseFocusReason);
  e->setCursorPosition(1);
  QTest::keyClick(e, Qt::Key_Backspace);
  EXPECT_EQ(held("SysCallNum"), "12 告警号码超长的文字");

  // Choosing an item of a companion box that discards keys still works.
  edit("LedBox")->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(edit("LedBox"), Qt::Key_Down);
  EXPECT_EQ(edit("LedBox")->text(), QStringLiteral("背光关"));
  EXPECT_EQ(held("LedBox"), "背光关");
}

}  // namespace
}  // namespace rcp::gui
