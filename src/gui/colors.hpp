#pragma once

#include <QColor>
#include <QPalette>

#include "ui/color.hpp"

namespace rcp::gui {

// A form colour as Qt sees it: plain colours are 0x00BBGGRR, system colours come from the
// palette (button face = Button, window = Base, window text = Text, ...).
QColor toQColor(ui::Color color, const QPalette& palette);

// The colour of the frame that shows which control has the keyboard focus (and of selected text in
// it): dark enough to stand out on the light field colours and the grey button face.
QColor focusColor();

}  // namespace rcp::gui
