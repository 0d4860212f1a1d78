#pragma once

#include <QSize>

#include "gui/focus_style.hpp"

namespace rcp::gui {

// Tabs standing on the side of a tab widget (West or East) with their captions drawn
// horizontally, every tab of one fixed size; the focused tab framed clearly.
class SideTabStyle final : public FocusFrameStyle {
 public:
  explicit SideTabStyle(QSize tabSize);

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                         const QWidget* widget) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;

 private:
  QSize tabSize_;
};

}  // namespace rcp::gui
