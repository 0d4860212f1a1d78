#include "gui/grid_placement.hpp"

#include <QGridLayout>
#include <algorithm>

namespace rcp::gui {

namespace {

using ui::ControlKind;

// Kinds that fill the width of their cell unless the cell aligns them.
bool fillsCell(ControlKind kind) {
  switch (kind) {
    case ControlKind::TabControl:
    case ControlKind::GroupBox:
    case ControlKind::Panel:
    case ControlKind::Button:
    case ControlKind::TrackBar:
    case ControlKind::ProgressBar:
    case ControlKind::RichText:
    case ControlKind::Grid:
    case ControlKind::Bevel:
      return true;
    default:
      return false;
  }
}

bool takesRoom(ControlKind kind) {
  return kind == ControlKind::TabControl || kind == ControlKind::RichText ||
         kind == ControlKind::Grid;
}

Qt::Alignment alignmentOf(const ui::Control& c) {
  Qt::Alignment horizontal;
  switch (c.cell.align) {
    case ui::Align::Center:
      horizontal = Qt::AlignHCenter;
      break;
    case ui::Align::Right:
      horizontal = Qt::AlignRight;
      break;
    case ui::Align::Left:
      if (fillsCell(c.kind)) return {};
      horizontal = Qt::AlignLeft;
      break;
  }
  if (c.kind == ControlKind::GroupBox || c.kind == ControlKind::Panel) return horizontal;
  return horizontal | Qt::AlignVCenter;
}

}  // namespace

int gridMargin(const ui::Control* container) {
  const bool strip =
      container && container->kind == ControlKind::Panel && !container->parent.empty();
  return strip ? 0 : GridMetrics::margin;
}

void placeInGrid(QWidget* container, const std::vector<PlacedChild>& children, int margin) {
  auto* grid = new QGridLayout(container);
  grid->setContentsMargins(margin, margin, margin, margin);
  grid->setHorizontalSpacing(GridMetrics::spacing);
  grid->setVerticalSpacing(GridMetrics::spacing);
  int rows = 0;
  int cols = 0;
  for (const auto& [control, widget] : children) {
    rows = std::max(rows, control->cell.row + control->cell.rowSpan);
    cols = std::max(cols, control->cell.col + control->cell.colSpan);
  }
  bool roomTaken = false;
  for (const auto& [control, widget] : children) {
    const auto& cell = control->cell;
    int rowSpan = cell.rowSpan;
    int colSpan = cell.colSpan;
    if (takesRoom(control->kind)) {
      // The room that is left goes to this control. Spanning several rows (columns) up to the
      // grid's edge, it reaches into a filler row (column) that takes the room, so that the
      // rows beside it keep their natural sizes.
      roomTaken = true;
      if (rowSpan > 1 && cell.row + rowSpan == rows) ++rowSpan;
      if (colSpan > 1 && cell.col + colSpan == cols) ++colSpan;
      grid->setRowStretch(cell.row + rowSpan - 1, 1);
      grid->setColumnStretch(cell.col + colSpan - 1, 1);
    }
    grid->addWidget(widget, cell.row, cell.col, rowSpan, colSpan, alignmentOf(*control));
    // A hidden control keeps its place, so that showing it moves nothing.
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
  }
  // Otherwise the content keeps its natural size, packed to the top left.
  if (!roomTaken) grid->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

}  // namespace rcp::gui
