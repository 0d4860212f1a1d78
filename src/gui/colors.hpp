#pragma once

#include <QColor>
#include <QPalette>

#include "ui/color.hpp"

namespace rcp::gui {

// A form colour as Qt sees it: plain colours are 0x00BBGGRR, system colours come from the
// palette (button face = Button, window = Base, window text = Text, ...).
QColor toQColor(ui::Color color, const QPalette& palette);

}  // namespace rcp::gui
