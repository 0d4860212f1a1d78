#pragma once

#include <QPixmap>
#include <QSize>

namespace rcp::ui {
struct Control;
}

namespace rcp::gui {

// The program's picture: a handheld radio with its antenna, display and keypad, drawn at any
// size (no image files).
QPixmap radioPicture(QSize size);

// What a picture control shows: the range warning's picture (WarnImage) is the standard
// warning sign, every other one the radio.
QPixmap pictureOf(const ui::Control& control, QSize size);

}  // namespace rcp::gui
