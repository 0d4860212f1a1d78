#pragma once

#include <QWidget>

#include "ui/control.hpp"

namespace rcp::gui {

struct WidgetOptions {
  bool sideTabs = false;  // tab controls carry their tabs on the right edge
};

// Creates the widget that shows one control, inside parent (a tab page is added to its tab
// widget, a radio button joins its parent's button group). Only the structure is set here; the
// control's state is applied afterwards. Timers have no widget: returns null.
QWidget* createControlWidget(const ui::Control& control, QWidget* parent,
                             const WidgetOptions& options);

// Sets the fixed width of an edit-like widget from the control (after a change of its maximum
// length, say).
void fitFieldWidth(QWidget* widget, const ui::Control& control);

}  // namespace rcp::gui
