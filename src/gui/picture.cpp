#include "gui/picture.hpp"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include "ui/control.hpp"

namespace rcp::gui {

void paintRadio(QPainter& p, QSizeF size) {
  p.setRenderHint(QPainter::Antialiasing);
  const qreal w = size.width();
  const qreal h = size.height();
  const QRectF body(w * 0.28, h * 0.24, w * 0.44, h * 0.72);

  // Antenna and knob on top of the body.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 40, 40));
  p.drawRoundedRect(QRectF(body.left() + body.width() * 0.12, h * 0.02, w * 0.08, h * 0.26), 2, 2);
  p.drawRect(QRectF(body.right() - body.width() * 0.3, h * 0.17, w * 0.1, h * 0.08));

  QLinearGradient shade(body.topLeft(), body.topRight());
  shade.setColorAt(0, QColor(70, 80, 95));
  shade.setColorAt(1, QColor(25, 30, 40));
  p.setBrush(shade);
  p.setPen(QPen(QColor(15, 15, 20), 1));
  p.drawRoundedRect(body, w * 0.06, w * 0.06);

  // Speaker slots, display and keypad.
  p.setPen(QPen(QColor(120, 130, 140), 1));
  for (int i = 0; i < 3; ++i) {
    const qreal y = body.top() + body.height() * (0.1 + 0.05 * i);
    p.drawLine(QPointF(body.left() + body.width() * 0.2, y),
               QPointF(body.right() - body.width() * 0.2, y));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(150, 210, 120));
  p.drawRect(QRectF(body.left() + body.width() * 0.15, body.top() + body.height() * 0.3,
                    body.width() * 0.7, body.height() * 0.16));
  p.setBrush(QColor(200, 200, 205));
  const qreal key = body.width() * 0.14;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      p.drawEllipse(QRectF(body.left() + body.width() * (0.18 + 0.25 * col),
                           body.top() + body.height() * (0.55 + 0.13 * row), key, key));
}

QPixmap radioPicture(QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  paintRadio(p, size);
  return pixmap;
}

QPixmap pictureOf(const ui::Control& control, QSize size) {
  if (control.name != "WarnImage") return radioPicture(size);
  return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size);
}

}  // namespace rcp::gui
