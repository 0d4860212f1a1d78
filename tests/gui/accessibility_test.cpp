// The windows as a screen reader meets them, in process through QAccessible: every input control
// named as the window names it, tables with their headings, the dialogs answering Enter and
// Escape, the double-clicks on keys, and the changes a person must hear sent as events.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollArea>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "gui/accessible_names.hpp"
#include "gui/person_input.hpp"
#include "gui/window_fixtures.hpp"
#include "settings/field_captions.hpp"
#include "settings/field_table.hpp"
#include "ui/layout.hpp"

namespace rcp::gui {
namespace {

using settings::ProgramState;

bool isInput(QAccessible::Role role) {
  switch (role) {
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::ComboBox:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::Button:
    case QAccessible::Slider:
      return true;
    default:
      return false;
  }
}

void walk(QAccessibleInterface* iface, const std::function<void(QAccessibleInterface*)>& visit) {
  if (!iface || !iface->isValid()) return;
  visit(iface);
  for (int i = 0; i < iface->childCount(); ++i) walk(iface->child(i), visit);
}

// "object (role)" of every input control shown in the window that a screen reader cannot name,
// and of every table column and row without a heading.
QStringList unnamedIn(QWidget* window) {
  QStringList out;
  walk(QAccessible::queryAccessibleInterface(window), [&](QAccessibleInterface* iface) {
    if (iface->state().invisible) return;
    const QString where = (iface->object() ? iface->object()->objectName() : QString()) + " (" +
                          QString::number(iface->role()) + ")";
    if (isInput(iface->role()) && iface->text(QAccessible::Name).trimmed().isEmpty()) out << where;
    if (QAccessibleTableInterface* table = iface->tableInterface())
      for (int col = 0; col < table->columnCount(); ++col)
        if (table->columnDescription(col).isEmpty())
          out << where + " column " + QString::number(col);
    if (QAccessibleTableInterface* table = iface->tableInterface())
      for (int row = 0; row < table->rowCount(); ++row)
        if (table->rowDescription(row).isEmpty()) out << where + " row " + QString::number(row);
  });
  return out;
}

// An editable combo box's name on Linux is its text (AT-SPI names it by its label's relation); its
// own name is what UI Automation reads.
QString nameOf(QWidget* widget) {
  if (qobject_cast<QComboBox*>(widget)) return widget->accessibleName();
  return QAccessible::queryAccessibleInterface(focusTarget(widget))->text(QAccessible::Name);
}

class Accessibility : public WindowOnFakes {
 protected:
  ProgramState& state() { return program.state(); }
  FormView& viewOf(ui::Form& form) { return *screen.findView(form); }

  // Every tab page the form offers, each made active in turn, and the window walked each time.
  QStringList unnamedOnEveryPage(ui::Form& form) {
    FormView& view = viewOf(form);
    if (!view.isVisible()) view.show();
    QStringList out = unnamedIn(&view);
    for (const ui::Control& c : form.controls()) {
      if (c.kind != ui::ControlKind::TabPage || !c.visible) continue;
      form.userActivatePage(c.name);
      QCoreApplication::processEvents();
      for (const QString& s : unnamedIn(&view)) out << QString::fromStdString(c.name) + ": " + s;
    }
    return out;
  }
};

TEST_F(Accessibility, EveryInputOnEveryWindowAndPageHasANameAndEveryTableItsHeadings) {
  state().main->setVisible("Test", true);  // the hidden tab walked too
  std::vector<ui::Form*> windows = {
      state().main.get(),         state().simplexSet.get(),   state().otherGrpSet.get(),
      state().sysLableform.get(), state().comSet.get(),       state().password.get(),
      state().fleet.get(),        state().version.get(),      state().error1.get(),
      state().writeData.get(),    state().historyDialog.get()};
  state().otherGrpSet->setVisible("WaitGrpPage1", true);
  state().otherGrpSet->setVisible("WaitGrpPage2", true);
  for (ui::Form* form : windows) {
    SCOPED_TRACE(form->name());
    EXPECT_EQ(unnamedOnEveryPage(*form).join("; ").toStdString(), "");
  }
}

// A path "tab › group › caption" as a screen reader says it: "caption，group" (the page is said
// as it is entered).
QString spokenPath(const ui::Form& main, const std::string& path) {
  QStringList parts = QString::fromStdString(path).split(QStringLiteral(" › "));
  for (const ui::Control& c : main.controls())
    if (c.kind == ui::ControlKind::TabPage && !parts.isEmpty() &&
        parts.front() == QString::fromStdString(c.caption))
      parts.pop_front();
  std::reverse(parts.begin(), parts.end());
  return parts.join(QStringLiteral("，"));
}

TEST_F(Accessibility, EveryFieldBoxIsNamedAsTheRegistrysCaptionPath) {
  int checked = 0;
  for (const settings::FieldDef& f : settings::fieldTable()) {
    if (f.kind == settings::FieldKind::RadioChoice || f.control.empty() ||
        !state().main->contains(f.control))
      continue;
    const ui::Control& box = state().main->at(f.control);
    if (box.kind == ui::ControlKind::CheckBox || box.kind == ui::ControlKind::Label) continue;
    const std::string path = settings::fieldPath(state(), f.name);
    if (path == f.name) continue;
    SCOPED_TRACE(f.name);
    EXPECT_EQ(nameOf(main->controlWidget(f.control)).toStdString(),
              spokenPath(*state().main, path).toStdString());
    ++checked;
  }
  EXPECT_GT(checked, 100);
}

TEST_F(Accessibility, ControlsReadTheirNameRoleAndDescription) {
  // The issue's own example, and the roles of the program's own widgets.
  EXPECT_EQ(nameOf(main->controlWidget("TA")), "TA，时间常数");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(main->controlWidget("TA"))->role(),
            QAccessible::SpinBox);
  EXPECT_FALSE(QAccessible::queryAccessibleInterface(focusTarget(main->controlWidget("TA")))
                   ->text(QAccessible::Description)
                   .isEmpty());
  EXPECT_EQ(QAccessible::queryAccessibleInterface(main->controlWidget("StatusBar"))->role(),
            QAccessible::StatusBar);
}

TEST_F(Accessibility, TheDialogsTablesOfBoxesNameEachBoxByRowAndColumn) {
  struct Case {
    ui::Form& form;
    const char* box;
    const char* name;
  };
  const std::vector<Case> cases = {
      {*state().simplexSet, "S9RxFreq", "脱网频率09接收频率"},
      {*state().simplexSet, "S19TxFreq", "脱网频率19发射频率"},
      {*state().sysLableform, "SysLabNum1", "无线局向号1"},
      {*state().sysLableform, "SysLabNum24", "对应系统号12"},
      {*state().otherGrpSet, "OtherGrp1", "隐含组一，隐含组设置"},
      {*state().otherGrpSet, "OtherGrp9", "守候组09"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    EXPECT_EQ(nameOf(viewOf(c.form).controlWidget(c.box)).toStdString(), c.name);
  }
}

// Each cell is read with its column's heading and its row's: the row's first cell (the window shows
// no row numbers).
TEST_F(Accessibility, TheFleetsAndTheHistorysTablesHaveColumnAndRowHeadings) {
  for (ui::Form* form : {state().fleet.get(), state().historyDialog.get()}) {
    SCOPED_TRACE(form->name());
    viewOf(*form).show();
    std::string grid;
    for (const ui::Control& c : form->controls())
      if (c.kind == ui::ControlKind::Grid) grid = c.name;
    ASSERT_FALSE(grid.empty());
    const auto headings = ui::gridCells(form->at(grid).caption);
    std::vector<std::string> rows;
    for (const char* first : {"3262001201", "3262001202"}) {
      std::vector<std::string> cells(headings.size(), "x");
      cells.front() = first;
      rows.push_back(ui::gridRow(cells));
    }
    form->setItems(grid, rows);
    QAccessibleInterface* table =
        QAccessible::queryAccessibleInterface(viewOf(*form).controlWidget(grid));
    ASSERT_TRUE(table && table->tableInterface());
    ASSERT_EQ(table->tableInterface()->columnCount(), static_cast<int>(headings.size()));
    for (int row = 0; row < 2; ++row)
      for (int column = 0; column < static_cast<int>(headings.size()); ++column) {
        QAccessibleInterface* cell = table->tableInterface()->cellAt(row, column);
        ASSERT_TRUE(cell && cell->tableCellInterface());
        const auto heads = cell->tableCellInterface()->columnHeaderCells();
        ASSERT_EQ(heads.size(), 1);
        EXPECT_EQ(heads.front()->text(QAccessible::Name),
                  QString::fromStdString(headings[static_cast<std::size_t>(column)]));
        const auto rowHeads = cell->tableCellInterface()->rowHeaderCells();
        ASSERT_EQ(rowHeads.size(), 1);
        EXPECT_EQ(rowHeads.front()->text(QAccessible::Name).toStdString(),
                  ui::gridCells(rows[static_cast<std::size_t>(row)]).front());
      }
    viewOf(*form).hide();
  }
}

// Enter presses 确定 and keeps what was typed; Escape closes and keeps nothing.
TEST_F(Accessibility, TheDialogsTakeEnterAsTheirOkAndEscapeAsTheirCancel) {
  dialogs.messages.clear();  // the start's, on a port where no radio answers
  struct Case {
    ui::Form& form;
    const char* box;
    const char* typed;
    std::function<std::int64_t()> stored;
  };
  const std::vector<Case> cases = {
      {*state().simplexSet, "S9RxFreq", "3610375", [this] { return state().values.simplexRx[0]; }},
      {*state().otherGrpSet, "OtherGrp1", "3265500901",
       [this] { return state().values.otherGroups[0]; }},
      {*state().sysLableform, "SysLabNum1", "12",
       [this] { return state().values.systemLabels[0].route; }},
  };
  for (const Case& c : cases) {
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
      SCOPED_TRACE(std::string(c.box) + (key == Qt::Key_Escape ? " Escape" : " Enter"));
      const std::int64_t before = c.stored();
      c.form.show();
      FormView& view = viewOf(c.form);
      QWidget* box = view.controlWidget(c.box);
      clickAsPerson(box);
      keyAsPerson(&view, Qt::Key_A, Qt::ControlModifier);
      for (const char* d = c.typed; *d; ++d) {
        view.winId();
        QTest::keyClick(view.windowHandle(), *d);
      }
      ASSERT_EQ(qobject_cast<QLineEdit*>(focusTarget(box))->text(), c.typed);
      keyAsPerson(&view, key);
      EXPECT_FALSE(c.form.isShowing());
      EXPECT_EQ(c.stored(), key == Qt::Key_Escape ? before : std::stoll(c.typed));
    }
  }
  for (const auto& m : dialogs.messages) ADD_FAILURE() << m.text;
}

// Tab goes along a row of boxes, then to the next row, within each group; a group or panel of
// boxes inside another is gone through whole where it stands.
TEST_F(Accessibility, TabMovesInReadingOrder) {
  struct Case {
    ui::Form& form;
    const char* page;
    const char* from;
    std::vector<const char*> then;
  };
  ui::Form& mainForm = *state().main;
  const std::vector<Case> cases = {
      {*state().sysLableform, nullptr, "SysLabNum1", {"SysLabNum2", "SysLabNum21", "SysLabNum22"}},
      {*state().simplexSet, nullptr, "S9RxFreq", {"S9TxFreq", "S10RxFreq"}},
      {*state().otherGrpSet, nullptr, "OtherGrp1", {"OtherGrp2", "OtherGrp3"}},
      // 个呼号, then the eight group numbers beside 组呼号 (two columns, read by row), then
      // 最大个呼号.
      {mainForm,
       "UserInfo",
       "MPT1343_Indivol",
       {"MPT1343_Grp1", "MPT1343_Grp5", "MPT1343_Grp2", "MPT1343_Grp6", "MPT1343_Grp3",
        "MPT1343_Grp7", "MPT1343_Grp4", "MPT1343_Grp8", "MaxIndivol", "MaxFleet"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    c.form.show();
    if (c.page) c.form.userActivatePage(c.page);
    FormView& view = viewOf(c.form);
    clickAsPerson(view.controlWidget(c.from));
    for (const char* next : c.then) {
      keyAsPerson(&view, Qt::Key_Tab);
      EXPECT_EQ(QApplication::focusWidget(), focusTarget(view.controlWidget(next))) << next;
    }
    if (&c.form != &mainForm) c.form.close();
  }
}

// Pixels that differ clearly (by more than 250 over the three channels: no faint shade) between two
// pictures of one widget, within `ring` pixels of its edge (0: anywhere).
int clearlyDifferent(const QImage& a, const QImage& b, int ring) {
  const int w = std::min(a.width(), b.width()), h = std::min(a.height(), b.height());
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (ring > 0 && x >= ring && y >= ring && x < w - ring && y < h - ring) continue;
      const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
      if (std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
              std::abs(p.blue() - q.blue()) >
          250)
        ++n;
    }
  return n;
}

// Every kind of control that takes the focus shows it clearly once Tab has brought it there: a
// frame along the edge of an edit (on its light field colour), a spin field, a list and a button;
// a frame round the caption of a check box and of a radio button; a frame round the focused tab's
// caption on the main window's side tabs and on a dialog's tabs on top.
TEST_F(Accessibility, TheFocusIsClearlyVisibleOnEveryKindOfControl) {
  struct Case {
    ui::Form& form;
    const char* name;
    int ring;             // the focus is drawn within this many pixels of the edge (0: anywhere)
    bool tabBar = false;  // the tab widget's bar
  };
  const std::vector<Case> cases = {
      {*state().main, "ControlStart", 3},
      {*state().main, "NetId", 3},
      {*state().main, "SearchWay", 3},
      {*state().main, "SysLabel", 3},
      {*state().main, "AutoRoam", 0},
      {*state().main, "ChannelSpace1", 0},
      {*state().main, "HomeControlPage", 0, true},
      {*state().otherGrpSet, "OtherGrpPages", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FormView& view = viewOf(c.form);
    view.show();
    QWidget* widget = view.controlWidget(c.name);
    if (c.tabBar) widget = qobject_cast<QTabWidget*>(widget)->tabBar();
    QWidget* target = focusTarget(widget);
    QWidget* before = target->previousInFocusChain();
    // Tab comes from the control before, or from before a radio button's group.
    const auto* radio = qobject_cast<QAbstractButton*>(target);
    while (before->focusPolicy() == Qt::NoFocus || !before->isEnabled() || !before->isVisible() ||
           before->focusProxy() == target ||
           (radio && radio->group() && qobject_cast<QAbstractButton*>(before) &&
            qobject_cast<QAbstractButton*>(before)->group() == radio->group()))
      before = before->previousInFocusChain();
    before->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    const QImage unfocused = widget->grab().toImage();
    keyAsPerson(&view, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), target)
        << before->objectName().toStdString() << " -> "
        << QApplication::focusWidget()->objectName().toStdString();
    const QImage focused = widget->grab().toImage();
    if (const QByteArray shots = qgetenv("RCP520_SCREENSHOT_DIR"); !shots.isEmpty())
      for (const auto& [picture, when] :
           {std::pair(&unfocused, "unfocused"), {&focused, "focused"}})
        picture->save(QString::fromLocal8Bit(shots) + "/focus-" + c.name + "-" + when + ".png");
    // At least a line along the widget's width (a tab bar: along its focused tab's).
    const auto* bar = qobject_cast<QTabBar*>(widget);
    const int width = bar ? bar->tabRect(bar->currentIndex()).width() : widget->width();
    EXPECT_GE(clearlyDifferent(unfocused, focused, c.ring), width / 2);
    if (&c.form != state().main.get()) c.form.close();
  }
}

TEST_F(Accessibility, TheTwoDoubleClicksHaveKeys) {
  ASSERT_FALSE(state().main->at("OldVersion").visible);
  keyAsPerson(main, Qt::Key_J, Qt::AltModifier);
  EXPECT_TRUE(state().main->at("OldVersion").visible);
  ASSERT_FALSE(state().values.aboutSuppressed);
  keyAsPerson(main, Qt::Key_Z, Qt::AltModifier);
  EXPECT_TRUE(state().values.aboutSuppressed);
  // The About box lists them.
  FormView& about = viewOf(*state().version);
  about.show();
  const auto* keys = qobject_cast<QLabel*>(about.controlWidget("KeysLab"));
  ASSERT_TRUE(keys);
  EXPECT_TRUE(keys->text().contains("Alt+J") && keys->text().contains("Alt+Z"));
  if (const QByteArray shots = qgetenv("RCP520_SCREENSHOT_DIR"); !shots.isEmpty())
    about.grab().save(QString::fromLocal8Bit(shots) + "/Version_Form-keys.png");
}

// What a colour tells is told in words too: the description of a field that cannot be set (its
// button-face colour, alone or with its group's grey) and of the chosen menu preset (its blue
// caption), following each change made by a person's keys and clicks.
TEST_F(Accessibility, WhatAColourTellsTheDescriptionTellsToo) {
  FormView& view = viewOf(*state().main);
  view.show();
  state().main->setVisible("Test", true);
  const auto says = [&](const char* name, const char* words) {
    const QString description =
        QAccessible::queryAccessibleInterface(focusTarget(view.controlWidget(name)))
            ->text(QAccessible::Description);
    return description.contains(QString::fromUtf8(words));
  };
  const auto choose = [&](const char* combo, Qt::Key key) {
    clickAsPerson(qobject_cast<QComboBox*>(view.controlWidget(combo))->lineEdit());
    keyAsPerson(&view, key);
    keyAsPerson(&view, Qt::Key_Tab);
  };
  struct Step {
    const char* what;
    std::function<void()> act;
    std::vector<std::pair<const char*, bool>> cannotBeSet;  // field, whether it says so
    std::vector<std::pair<const char*, bool>> chosen;       // preset button, whether it says so
  };
  const std::vector<Step> steps = {
      {"at the start", [] {}, {{"ControlStart", false}, {"HalfMF", true}, {"NetId", false}}, {}},
      {"全信道搜索 chosen by key",
       [&] { choose("SearchWay", Qt::Key_Down); },
       {{"ControlStart", true}, {"ControlStop", true}},
       {}},
      {"指定范围搜索 chosen by key",
       [&] { choose("SearchWay", Qt::Key_Up); },
       {{"ControlStart", false}, {"ControlStop", false}},
       {}},
      {"the test group's picture double-clicked",
       [&] {
         state().main->userActivatePage("Test");
         QWidget* picture = view.controlWidget("Image1");
         // On a small screen the window scrolls; a person brings the picture into view first.
         for (QWidget* w = picture->parentWidget(); w; w = w->parentWidget())
           if (auto* area = qobject_cast<QScrollArea*>(w)) area->ensureWidgetVisible(picture);
         QTest::mouseDClick(view.windowHandle(), Qt::LeftButton, {},
                            picture->mapTo(&view, picture->rect().center()));
         EXPECT_TRUE(state().main->at("TestFram").enabled);
       },
       {{"HalfMF", false}, {"TwiceFreq", false}},
       {}},
      {"全部菜单有效 clicked",
       [&] {
         state().main->userActivatePage("Appendix");
         clickAsPerson(view.controlWidget("All_OK"));
       },
       {{"LedBox", false}, {"SQBar", false}},
       {{"All_OK", true}, {"Often_OK", false}, {"All_NO", false}}},
      {"全部菜单无效 pressed by Space",
       [&] {
         view.controlWidget("All_NO")->setFocus(Qt::TabFocusReason);
         keyAsPerson(&view, Qt::Key_Space);
       },
       {{"LedBox", true}, {"SQBar", true}},
       {{"All_OK", false}, {"All_NO", true}}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    for (const auto& [name, expected] : step.cannotBeSet)
      EXPECT_EQ(says(name, "不可设置"), expected) << name;
    for (const auto& [name, expected] : step.chosen)
      EXPECT_EQ(says(name, "当前选用"), expected) << name;
  }
}

// What a screen reader reads, after a change a person must hear, from the object that tells it.
// (The offscreen platform has no accessibility bridge, so the events themselves - a name
// changed, an alert, a value changed - are not seen here.)
TEST_F(Accessibility, WhatAPersonMustHearIsWhatTheTreeReadsAfterTheChange) {
  struct Case {
    const char* name;
    std::function<QWidget*()> change;
    QAccessible::Text text;
    const char* reads;
  };
  const std::vector<Case> cases = {
      {"status panel 2",
       [this] {
         state().showStatus(settings::StatusPanel::State, "写录完毕!");
         return main->controlWidget("StatusBar");
       },
       QAccessible::Name, "写录完毕!"},
      {"the model and state together",
       [this] {
         state().showStatus(settings::StatusPanel::Identity, "HX77 V1.0");
         state().showStatus(settings::StatusPanel::State, "校验失败");
         return main->controlWidget("StatusBar");
       },
       QAccessible::Name, "HX77 V1.0，校验失败"},
      {"the maker's panel, turning every few seconds, is not read",
       [this] {
         state().showStatus(settings::StatusPanel::Maker, "www");
         return main->controlWidget("StatusBar");
       },
       QAccessible::Name, "HX77 V1.0，校验失败"},
      {"the fleet's hint",
       [this] {
         state().fleet->setCaption("FleetHint", "请取下这台电台，连接下一台。");
         return viewOf(*state().fleet).controlWidget("FleetHint");
       },
       QAccessible::Name, "请取下这台电台，连接下一台。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget* widget = c.change();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(widget)->text(c.text).toStdString(), c.reads);
  }
  state().writeData->setValue("WriteProgressBar", 40);
  QAccessibleInterface* progress = QAccessible::queryAccessibleInterface(
      viewOf(*state().writeData).controlWidget("WriteProgressBar"));
  ASSERT_TRUE(progress->valueInterface());
  EXPECT_EQ(progress->valueInterface()->currentValue().toInt(), 40);
  EXPECT_FALSE(progress->text(QAccessible::Name).isEmpty());
}

}  // namespace
}  // namespace rcp::gui
