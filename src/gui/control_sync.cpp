#include "gui/control_sync.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>

#include "gui/colors.hpp"
#include "gui/fonts.hpp"
#include "gui/spin_field.hpp"
#include "gui/status_panels.hpp"
#include "gui/widget_factory.hpp"
#include "ui/layout.hpp"

namespace rcp::gui {

namespace {

using ui::ControlKind;
using ui::Property;

QString qt(const std::string& s) {
  return QString::fromStdString(s);
}

bool isInput(ControlKind kind) {
  return kind == ControlKind::Edit || kind == ControlKind::ComboBox ||
         kind == ControlKind::SpinEdit || kind == ControlKind::RichText;
}

// The tab widget a page belongs to (page → stacked widget → tab widget).
QTabWidget* tabsOf(QWidget* page) {
  for (QWidget* w = page->parentWidget(); w; w = w->parentWidget())
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) return tabs;
  return nullptr;
}

// The line edit that holds a control's text, if it has one.
QLineEdit* lineEditOf(QWidget* widget) {
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit;
  if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->lineEdit();
  if (auto* spin = qobject_cast<SpinField*>(widget)) return spin->lineEdit();
  return nullptr;
}

void setLineText(QLineEdit* edit, const QString& text) {
  if (edit->text() == text) return;  // keeps the cursor where the user is typing
  const QSignalBlocker block(edit);
  edit->setText(text);
}

QStringList cellsOf(const std::string& row) {
  QStringList cells;
  for (const std::string& cell : ui::gridCells(row)) cells << qt(cell);
  return cells;
}

// A row is headed by its first cell (the radio's number, the event's): what a screen reader says
// for the row, where the window shows no row numbers.
void setRowHeading(QTableWidget* grid, int row, const QString& text) {
  if (QTableWidgetItem* item = grid->verticalHeaderItem(row)) {
    if (item->text() != text) item->setText(text);
  } else {
    grid->setVerticalHeaderItem(row, new QTableWidgetItem(text));
  }
}

// Only the cells that changed are set: a run updates one row many times in a long table.
void applyRows(QTableWidget* grid, const ui::Control& c) {
  grid->setRowCount(static_cast<int>(c.items.size()));
  for (int r = 0; r < grid->rowCount(); ++r) {
    const QStringList cells = cellsOf(c.items[static_cast<std::size_t>(r)]);
    setRowHeading(grid, r, cells.value(0));
    for (int col = 0; col < grid->columnCount(); ++col) {
      const QString text = col < cells.size() ? cells[col] : QString();
      if (QTableWidgetItem* item = grid->item(r, col)) {
        if (item->text() != text) item->setText(text);
      } else {
        grid->setItem(r, col, new QTableWidgetItem(text));
      }
    }
  }
}

// The rows the form holds selected, and no others; the current row stays where the user is.
void applySelection(QTableWidget* grid, const ui::Control& c) {
  if (c.selectableRows <= 0) return;
  const QSignalBlocker blockModel(grid->selectionModel());
  QItemSelection selection;
  for (const std::size_t row : ui::selectedRows(c)) {
    const int r = static_cast<int>(row);
    selection.select(grid->model()->index(r, 0), grid->model()->index(r, grid->columnCount() - 1));
  }
  grid->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  grid->viewport()->update();
}

void applyCaption(QWidget* w, const ui::Control& c) {
  if (auto* grid = qobject_cast<QTableWidget*>(w)) {
    const QStringList columns = cellsOf(c.caption);
    grid->setColumnCount(static_cast<int>(columns.size()));
    grid->setHorizontalHeaderLabels(columns);
  } else if (c.kind == ControlKind::TabPage) {
    if (auto* tabs = tabsOf(w)) tabs->setTabText(tabs->indexOf(w), plainCaption(c.caption));
  } else if (auto* label = qobject_cast<QLabel*>(w); label && c.kind == ControlKind::Label) {
    label->setText(qt(c.caption));
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(plainCaption(c.caption));
  } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
    group->setTitle(plainCaption(c.caption));
  }
}

void applyText(QWidget* w, const ui::Control& c) {
  const QString text = qt(c.text);
  if (auto* combo = qobject_cast<QComboBox*>(w)) {
    if (combo->lineEdit()->text() == text) return;  // what the user has just typed
    const int index = combo->findText(text, Qt::MatchExactly);
    if (combo->currentIndex() != index) combo->setCurrentIndex(index);
    setLineText(combo->lineEdit(), text);
  } else if (auto* edit = lineEditOf(w)) {
    setLineText(edit, text);
  } else if (auto* rich = qobject_cast<QTextEdit*>(w)) {
    if (rich->toPlainText() != text) rich->setPlainText(text);
  } else if (auto* grid = qobject_cast<QTableWidget*>(w)) {
    applySelection(grid, c);
  }
}

void applyChecked(QWidget* w, const ui::Control& c) {
  auto* button = qobject_cast<QAbstractButton*>(w);
  if (!button || button->isChecked() == c.checked) return;
  QButtonGroup* group = button->group();
  // An exclusive group refuses to clear its checked button; the form may want none checked.
  const bool exclusive = group && group->exclusive();
  if (exclusive && !c.checked) group->setExclusive(false);
  button->setChecked(c.checked);
  if (exclusive && !c.checked) group->setExclusive(true);
}

void applyRange(QWidget* w, const ui::Control& c) {
  if (auto* slider = qobject_cast<QSlider*>(w))
    slider->setRange(c.min, c.max);
  else if (auto* bar = qobject_cast<QProgressBar*>(w))
    bar->setRange(c.min, c.max);
}

void applyValue(QWidget* w, const ui::Control& c) {
  if (auto* slider = qobject_cast<QSlider*>(w))
    slider->setValue(c.value);
  else if (auto* bar = qobject_cast<QProgressBar*>(w))
    bar->setValue(c.value);
}

void applyItems(QWidget* w, const ui::Control& c) {
  if (auto* grid = qobject_cast<QTableWidget*>(w)) {
    applyRows(grid, c);
    return;
  }
  auto* combo = qobject_cast<QComboBox*>(w);
  if (!combo) return;
  combo->clear();
  for (const auto& item : c.items) combo->addItem(qt(item));
  applyText(w, c);
}

// A hidden tab is disabled too: Qt skips disabled tabs on every way of switching (Ctrl+Tab,
// Ctrl+PgUp/PgDn, the wheel, the arrow keys on the tab bar, a mnemonic), but not hidden ones.
void applyTabState(QWidget* page, const ui::Control& c) {
  QTabWidget* tabs = tabsOf(page);
  if (!tabs) return;
  const int index = tabs->indexOf(page);
  tabs->setTabEnabled(index, c.enabled && c.visible);
  tabs->setTabVisible(index, c.visible);
}

void applyEnabled(QWidget* w, const ui::Control& c) {
  if (c.kind == ControlKind::TabPage) {
    applyTabState(w, c);
    return;
  }
  w->setEnabled(c.enabled);
}

void applyVisible(QWidget* w, const ui::Control& c) {
  if (c.kind == ControlKind::TabPage) {
    applyTabState(w, c);
    return;
  }
  w->setVisible(c.visible);
}

void applyColors(QWidget* w, const ui::Control& c) {
  const QPalette& system = QApplication::palette();
  const QColor back = toQColor(c.color, system);
  const QColor fore = toQColor(c.fontColor, system);
  QPalette palette = w->palette();
  // Foreground colours only for the enabled states: a disabled control greys out as usual.
  const auto setFore = [&](QPalette::ColorRole role) {
    palette.setColor(QPalette::Active, role, fore);
    palette.setColor(QPalette::Inactive, role, fore);
  };
  // The focus frame the style draws takes the highlight colour: a clear one on every control that
  // takes the focus (edits, spin fields, lists, check boxes, radio buttons, buttons).
  palette.setColor(QPalette::Active, QPalette::Highlight, focusColor());
  palette.setColor(QPalette::Inactive, QPalette::Highlight, focusColor());
  if (isInput(c.kind)) {
    palette.setColor(QPalette::Base, back);
    setFore(QPalette::Text);
  } else if (c.kind == ControlKind::Button) {
    setFore(QPalette::ButtonText);
  } else {
    const bool own = c.color != ui::colors::ButtonFace;
    palette.setColor(QPalette::Window, own ? back : system.color(QPalette::Window));
    w->setAutoFillBackground(own);
    setFore(QPalette::WindowText);
    setFore(QPalette::Text);
  }
  w->setPalette(palette);
}

void applyFont(QWidget* w, const ui::Control& c) {
  w->setFont(controlFont(c.fontName, c.bold));
  fitFieldWidth(w, c);
}

void applyActivePage(QWidget* w, const ui::Control& c) {
  auto* tabs = qobject_cast<QTabWidget*>(w);
  if (!tabs) return;
  for (int i = 0; i < tabs->count(); ++i)
    if (tabs->widget(i)->objectName() == qt(c.text)) tabs->setCurrentIndex(i);
}

}  // namespace

QString plainCaption(const std::string& caption) {
  return qt(caption).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void applyProperty(QWidget* w, const ui::Control& c, ui::Property what) {
  const QSignalBlocker block(w);
  switch (what) {
    case Property::Caption:
      applyCaption(w, c);
      break;
    case Property::Text:
      applyText(w, c);
      break;
    case Property::Checked:
      applyChecked(w, c);
      break;
    case Property::Value:
      applyValue(w, c);
      break;
    case Property::Range:
      applyRange(w, c);
      applyValue(w, c);
      break;
    case Property::Items:
      applyItems(w, c);
      break;
    case Property::MaxLength:
      fitFieldWidth(w, c);  // the user's edits are held to the length as they are made
      break;
    case Property::Enabled:
      applyEnabled(w, c);
      break;
    case Property::Visible:
      applyVisible(w, c);
      break;
    case Property::Color:
    case Property::FontColor:
      applyColors(w, c);
      break;
    case Property::Font:
      applyFont(w, c);
      break;
    case Property::Hint:
      w->setToolTip(qt(c.hint));
      break;
    case Property::Panels:
      if (auto* bar = qobject_cast<StatusPanels*>(w)) bar->setPanels(c.panels);
      break;
    case Property::ActivePage:
      applyActivePage(w, c);
      break;
    case Property::SpokenName:  // the window names its widgets (accessible_names)
    case Property::Focus:
    case Property::FormCaption:
    case Property::FormShown:
    case Property::FormClosed:
      break;  // the window's business
  }
}

void applyControl(QWidget* w, const ui::Control& c) {
  for (Property p :
       {Property::Caption, Property::Items, Property::Text, Property::Checked, Property::Range,
        Property::MaxLength, Property::Enabled, Property::Visible, Property::Color, Property::Font,
        Property::Hint, Property::Panels, Property::ActivePage})
    applyProperty(w, c, p);
}

}  // namespace rcp::gui
