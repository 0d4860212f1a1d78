#pragma once

#include <QFont>

#include "ui/control.hpp"

namespace rcp::gui {

// The fixed width of an edit-like control (edit, spin, combo box, slider, picture) in pixels:
// from the cell's width in characters, else from the maximum length (a digit's width each),
// else a default for the kind. 0 for kinds that take the width of their cell.
int fieldWidth(const ui::Control& control, const QFont& font);

}  // namespace rcp::gui
