// Every window of the program, page by page: no caption is cut off and no control sticks out
// of the container that holds it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <string>
#include <vector>

#include "gui/form_view.hpp"
#include "gui/input_router.hpp"
#include "settings/field_starts.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::gui {
namespace {

using ui::ControlKind;

struct Window {
  const char* name;
  ui::FormSpec (*windowLayout)();
  FormView::Role role;
};

std::string describe(const QWidget* w) {
  if (w->property(InputRouter::kControlProperty).isValid()) return InputRouter::controlOf(w);
  if (w->parentWidget() && w->parentWidget()->isWindow()) return "the window";
  return w->metaObject()->className();
}

// How wide a widget must be to show its whole caption, or 0 when it shows none.
int captionWidth(const QWidget* w) {
  const QFontMetrics fm = w->fontMetrics();
  if (const auto* label = qobject_cast<const QLabel*>(w))
    return label->text().isEmpty() ? 0 : label->sizeHint().width();
  if (const auto* button = qobject_cast<const QPushButton*>(w)) {
    // The style's minimum button width is not the caption's; measure the text and margins.
    const int margin = w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w) +
                       2 * w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
    return button->text().isEmpty() ? 0 : fm.horizontalAdvance(button->text()) + margin;
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(w))
    return button->text().isEmpty() ? 0 : button->sizeHint().width();
  if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
    if (group->title().isEmpty()) return 0;
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.subControls = QStyle::SC_GroupBoxLabel;
    const QRect title =
        w->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
    return title.left() + fm.horizontalAdvance(group->title());
  }
  return 0;
}

void checkTabs(const QTabBar* bar, std::vector<std::string>& problems) {
  for (int i = 0; i < bar->count(); ++i) {
    if (!bar->isTabVisible(i)) continue;
    const int needed = bar->fontMetrics().horizontalAdvance(bar->tabText(i)) + 4;
    if (needed > bar->tabRect(i).width())
      problems.push_back("tab \"" + bar->tabText(i).toStdString() + "\" needs " +
                         std::to_string(needed) + " px, has " +
                         std::to_string(bar->tabRect(i).width()));
  }
}

std::vector<std::string> problemsOf(const FormView& view) {
  std::vector<std::string> problems;
  for (const QWidget* w : view.findChildren<QWidget*>()) {
    if (!w->isVisibleTo(&view)) continue;
    if (const auto* bar = qobject_cast<const QTabBar*>(w)) checkTabs(bar, problems);
    // Only the controls' own widgets, not the toolkit's parts inside them.
    if (!w->property(InputRouter::kControlProperty).isValid()) continue;
    if (const int needed = captionWidth(w); needed > w->width())
      problems.push_back(describe(w) + ": caption needs " + std::to_string(needed) + " px, has " +
                         std::to_string(w->width()));
    const QWidget* parent = w->parentWidget();
    if (parent && !parent->rect().contains(w->geometry()))
      problems.push_back(describe(w) + " sticks out of " + describe(parent));
  }
  return problems;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) out += "  " + line + "\n";
  return out;
}

class EveryWindow : public ::testing::TestWithParam<Window> {};

TEST_P(EveryWindow, ShowsWholeCaptionsAndKeepsControlsInsideTheirContainers) {
  ui::Form form(GetParam().windowLayout());
  FormView view(form, GetParam().role);
  view.show();
  QCoreApplication::processEvents();

  std::vector<std::string> pages;
  for (const auto& c : form.controls())
    if (c.kind == ControlKind::TabPage) pages.push_back(c.name);
  if (pages.empty()) {
    EXPECT_EQ(joined(problemsOf(view)), "") << form.name();
    return;
  }
  for (const auto& page : pages) {
    form.setVisible(page, true);
    form.setActivePage(page);
    QCoreApplication::processEvents();
    EXPECT_EQ(joined(problemsOf(view)), "") << form.name() << ", page " << page;
  }
}

// The main window as the program creates it, its boxes started from the field registry.
ui::FormSpec mainWindow() {
  return settings::withFieldStarts(ui::layouts::mainForm());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, EveryWindow,
    ::testing::Values(Window{"Main_Form", mainWindow, FormView::Role::Main},
                      Window{"Password_Form", ui::layouts::passwordForm, FormView::Role::Dialog},
                      Window{"Error1_Form", ui::layouts::error1Form, FormView::Role::Dialog},
                      Window{"ComSet_Form", ui::layouts::comSetForm, FormView::Role::Dialog},
                      Window{"WriteData_Form", ui::layouts::writeDataForm, FormView::Role::Dialog},
                      Window{"Version_Form", ui::layouts::versionForm, FormView::Role::Dialog},
                      Window{"SimplexSet", ui::layouts::simplexSet, FormView::Role::Dialog},
                      Window{"OtherGrpSet", ui::layouts::otherGrpSet, FormView::Role::Dialog},
                      Window{"SysLableform", ui::layouts::sysLableform, FormView::Role::Dialog},
                      Window{"Fleet_Form", ui::layouts::fleetForm, FormView::Role::Dialog},
                      Window{"History_Form", ui::layouts::historyForm, FormView::Role::Dialog}),
    [](const ::testing::TestParamInfo<Window>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rcp::gui
