#include "gui/focus_style.hpp"

#include <QCoreApplication>
#include <QPainter>
#include <QPen>
#include <QStyleOptionTab>
#include <QWidget>

#include "gui/colors.hpp"

namespace rcp::gui {

namespace {

// The space between a tab's edge and the frame round its caption.
constexpr int kTabFrameInset = 3;

// A line as wide as the frame of a focused edit, growing with the screen's scale as it does.
void drawFocusFrame(QPainter* painter, const QRect& rect) {
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, false);
  painter->setPen(QPen(focusColor(), 1.0));
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(rect.adjusted(0, 0, -1, -1));
  painter->restore();
}

}  // namespace

void FocusFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const {
  if (element == PE_FrameFocusRect)
    drawFocusFrame(painter, option->rect);
  else
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void FocusFrameStyle::drawControl(ControlElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
  const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option);
  if (element != CE_TabBarTabLabel || !tab || !(tab->state & State_HasFocus)) {
    QProxyStyle::drawControl(element, option, painter, widget);
    return;
  }
  // The caption without the style's own focus mark, then the frame round it.
  QStyleOptionTab plain(*tab);
  plain.state &= ~State_HasFocus;
  QProxyStyle::drawControl(element, &plain, painter, widget);
  drawFocusFrame(painter, tab->rect.adjusted(kTabFrameInset, kTabFrameInset, -kTabFrameInset,
                                             -kTabFrameInset));
}

void useClearFocusFrame(QWidget* widget) {
  // Made with the application, whose end ends it; a widget holds no ownership of its style.
  static FocusFrameStyle* const shared = [] {
    auto* style = new FocusFrameStyle;
    style->setParent(QCoreApplication::instance());
    return style;
  }();
  widget->setStyle(shared);
}

}  // namespace rcp::gui
