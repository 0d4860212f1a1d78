#pragma once

#include <QPixmap>
#include <QSize>
#include <QSizeF>

class QPainter;

namespace rcp::ui {
struct Control;
}

namespace rcp::gui {

// The program's picture: a handheld radio with its antenna, display and keypad, drawn at any
// size (no image files). The program's icons are drawn from it too (tools/icons.cpp).
QPixmap radioPicture(QSize size);
// The same picture painted on any device, filling `size` from its top left corner.
void paintRadio(QPainter& painter, QSizeF size);

// What a picture control shows: the range warning's picture (WarnImage) is the standard
// warning sign, every other one the radio.
QPixmap pictureOf(const ui::Control& control, QSize size);

}  // namespace rcp::gui
