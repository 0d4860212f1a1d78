#pragma once

#include <QPixmap>
#include <QSize>

namespace rcp::gui {

// The program's picture: a handheld radio with its antenna, display and keypad, drawn at any
// size (no image files).
QPixmap radioPicture(QSize size);

}  // namespace rcp::gui
