#include "gui/widget_factory.hpp"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <algorithm>
#include <array>
#include <string_view>

#include "gui/field_width.hpp"
#include "gui/focus_style.hpp"
#include "gui/picture.hpp"
#include "gui/spin_field.hpp"
#include "gui/state_buttons.hpp"
#include "gui/status_panels.hpp"
#include "gui/tab_style.hpp"
#include "gui/up_down_buttons.hpp"

namespace rcp::gui {

namespace {

using ui::ControlKind;

const QSize kSideTabSize(70, 30);

// Edits that only show a number the program sets: no typing, no focus, no text cursor.
constexpr std::array<std::string_view, 1> kShownOnly = {"Percent"};

bool showsOnly(const ui::Control& c) {
  return std::find(kShownOnly.begin(), kShownOnly.end(), c.name) != kShownOnly.end();
}

QTabWidget* tabWidget(const ui::Control& c, QWidget* parent, const WidgetOptions& options) {
  auto* tabs = new QTabWidget(parent);
  tabs->setUsesScrollButtons(false);
  tabs->setDocumentMode(false);
  if (options.sideTabs) {
    tabs->setTabPosition(QTabWidget::East);
    auto* style = new SideTabStyle(kSideTabSize);
    style->setParent(tabs->tabBar());
    tabs->tabBar()->setStyle(style);
  } else {
    useClearFocusFrame(tabs->tabBar());
  }
  tabs->setObjectName(QString::fromStdString(c.name));
  return tabs;
}

QWidget* tabPage(QWidget* parent) {
  auto* tabs = qobject_cast<QTabWidget*>(parent);
  auto* page = new QWidget(tabs ? nullptr : parent);
  if (tabs) tabs->addTab(page, QString());
  return page;
}

QButtonGroup* buttonGroupOf(QWidget* parent) {
  auto* group = parent->findChild<QButtonGroup*>(QString(), Qt::FindDirectChildrenOnly);
  if (!group) {
    group = new QButtonGroup(parent);
    group->setExclusive(true);
  }
  return group;
}

QWidget* radioButton(QWidget* parent) {
  auto* radio = new StateRadioButton(parent);
  useClearFocusFrame(radio);
  buttonGroupOf(parent)->addButton(radio);
  return radio;
}

QWidget* comboBox(QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setCompleter(nullptr);
  combo->setMaxVisibleItems(16);
  return combo;
}

QWidget* slider(QWidget* parent) {
  auto* bar = new QSlider(Qt::Horizontal, parent);
  bar->setTickPosition(QSlider::TicksBelow);
  bar->setTickInterval(1);
  bar->setPageStep(1);
  return bar;
}

QWidget* picture(const ui::Control& c, QWidget* parent) {
  auto* label = new QLabel(parent);
  const int side = fieldWidth(c, label->font());
  label->setFixedSize(side, side);
  label->setAlignment(Qt::AlignCenter);
  label->setPixmap(pictureOf(c, QSize(side, side)));
  return label;
}

QWidget* richText(QWidget* parent) {
  auto* text = new QTextEdit(parent);
  text->setReadOnly(true);
  text->setAcceptRichText(true);
  text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text->setTabChangesFocus(true);  // read only: Tab goes on to the next control
  text->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  return text;
}

// Rows only read, the last column taking what width is left. A table whose rows are chosen
// selects whole rows (Ctrl or Shift for more), takes the focus, and leaves it with Tab; any other
// takes no cell as current.
QWidget* table(const ui::Control& c, QWidget* parent) {
  auto* grid = new QTableWidget(parent);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  if (c.selectableRows > 0) {
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(c.selectableRows == 1 ? QAbstractItemView::SingleSelection
                                                 : QAbstractItemView::ExtendedSelection);
    grid->setFocusPolicy(Qt::StrongFocus);
    grid->setTabKeyNavigation(false);
  } else {
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
  }
  grid->verticalHeader()->setVisible(false);
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  grid->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  return grid;
}

QWidget* bevel(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

// A panel directly on the window (the frame's button column, the picture's panel) is drawn
// sunken; inside a group or page a panel is only a strip of the grid, flat and without margins.
QWidget* panel(const ui::Control& c, QWidget* parent) {
  auto* frame = new QFrame(parent);
  if (c.parent.empty()) {
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
  }
  return frame;
}

QWidget* create(const ui::Control& c, QWidget* parent, const WidgetOptions& options) {
  switch (c.kind) {
    case ControlKind::TabControl:
      return tabWidget(c, parent, options);
    case ControlKind::TabPage:
      return tabPage(parent);
    case ControlKind::GroupBox:
      return new QGroupBox(parent);
    case ControlKind::Panel:
      return panel(c, parent);
    case ControlKind::Label: {
      auto* label = new QLabel(parent);
      label->setTextFormat(Qt::PlainText);
      return label;
    }
    case ControlKind::Edit: {
      auto* edit = new QLineEdit(parent);
      if (c.passwordChar) edit->setEchoMode(QLineEdit::Password);
      if (showsOnly(c)) {
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
      }
      return edit;
    }
    case ControlKind::CheckBox: {
      auto* box = new StateCheckBox(parent);
      useClearFocusFrame(box);
      return box;
    }
    case ControlKind::RadioButton:
      return radioButton(parent);
    case ControlKind::ComboBox:
      return comboBox(parent);
    case ControlKind::SpinEdit:
      return new SpinField(parent);
    case ControlKind::TrackBar:
      return slider(parent);
    case ControlKind::Button: {
      auto* button = new QPushButton(parent);
      button->setAutoDefault(false);
      button->setDefault(c.isDefault);  // drawn as the button Enter presses
      return button;
    }
    case ControlKind::UpDown:
      return new UpDownButtons(parent);
    case ControlKind::Picture:
      return picture(c, parent);
    case ControlKind::RichText:
      return richText(parent);
    case ControlKind::Grid:
      return table(c, parent);
    case ControlKind::ProgressBar: {
      auto* bar = new QProgressBar(parent);
      bar->setTextVisible(true);
      bar->setFormat(QStringLiteral("%v"));
      bar->setAlignment(Qt::AlignCenter);
      return bar;
    }
    case ControlKind::StatusBar:
      return new StatusPanels(parent);
    case ControlKind::Bevel:
      return bevel(parent);
    case ControlKind::Timer:
      return nullptr;
  }
  return nullptr;
}

}  // namespace

QWidget* createControlWidget(const ui::Control& control, QWidget* parent,
                             const WidgetOptions& options) {
  QWidget* widget = create(control, parent, options);
  if (!widget) return nullptr;
  widget->setObjectName(QString::fromStdString(control.name));
  fitFieldWidth(widget, control);
  return widget;
}

void fitFieldWidth(QWidget* widget, const ui::Control& control) {
  if (control.kind == ControlKind::Picture) return;  // sized with its pixmap
  const int width = fieldWidth(control, widget->font());
  if (width <= 0) return;
  widget->setFixedWidth(width);
  QSizePolicy policy = widget->sizePolicy();
  policy.setHorizontalPolicy(QSizePolicy::Fixed);
  widget->setSizePolicy(policy);
}

}  // namespace rcp::gui
