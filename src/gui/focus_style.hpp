#pragma once

#include <QProxyStyle>

namespace rcp::gui {

// The window's style with a focus frame that stands out: where the style would mark the control
// that has the keyboard focus with a faint frame (round the caption of a check box or a radio
// button, round the caption of the focused tab), a solid frame in the focus colour instead.
class FocusFrameStyle : public QProxyStyle {
 public:
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;
};

// Gives a widget the clear focus frame (one style shared by every widget that takes it).
void useClearFocusFrame(QWidget* widget);

}  // namespace rcp::gui
