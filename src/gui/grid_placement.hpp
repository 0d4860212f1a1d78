#pragma once

#include <QWidget>
#include <utility>
#include <vector>

#include "ui/control.hpp"

namespace rcp::gui {

// Spacing of the dense forms, in pixels.
struct GridMetrics {
  static constexpr int margin = 4;
  static constexpr int spacing = 3;
};

// The margin around a container's grid: none for a panel that is only a strip of its parent's
// grid (a panel inside a group or page), the usual one elsewhere. Null is the window itself.
int gridMargin(const ui::Control* container);

using PlacedChild = std::pair<const ui::Control*, QWidget*>;

// Lays out the direct children of a container in a grid by their cells. Content packs to the
// top left; only a tab control or a rich-text box takes up the room that is left.
void placeInGrid(QWidget* container, const std::vector<PlacedChild>& children, int margin);

}  // namespace rcp::gui
