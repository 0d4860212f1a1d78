#pragma once

#include <QWidget>

#include "ui/form.hpp"

namespace rcp::gui {

// Gives a control's widget what a screen reader says for it: the spoken name and description of
// the model (ui::spokenName, ui::spokenDescription), on the widget and on the box inside it that
// takes the focus. The first call puts in place the roles Qt cannot know for the program's own
// widgets (a spin field is a spin box, the status panels a status bar).
void nameForListeners(QWidget* widget, const ui::Form& form, const ui::Control& control);

// Tells a screen reader at once what the widget now says (its name: a label's new caption).
void announce(QWidget* widget);

// The widget inside a control's widget that takes the keyboard focus.
QWidget* focusTarget(QWidget* widget);

}  // namespace rcp::gui
