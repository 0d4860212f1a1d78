#include "gui/tab_style.hpp"

#include <QStyleOptionTab>
#include <QTabBar>

namespace rcp::gui {

namespace {

bool isSideShape(QTabBar::Shape shape) {
  switch (shape) {
    case QTabBar::RoundedWest:
    case QTabBar::RoundedEast:
    case QTabBar::TriangularWest:
    case QTabBar::TriangularEast:
      return true;
    default:
      return false;
  }
}

}  // namespace

SideTabStyle::SideTabStyle(QSize tabSize) : tabSize_(tabSize) {}

QSize SideTabStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                     const QSize& contents, const QWidget* widget) const {
  if (type == CT_TabBarTab) {
    if (const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option);
        tab && isSideShape(tab->shape))
      return tabSize_;
  }
  return FocusFrameStyle::sizeFromContents(type, option, contents, widget);
}

void SideTabStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
  if (element == CE_TabBarTabLabel) {
    if (const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option);
        tab && isSideShape(tab->shape)) {
      // Lay the caption out as on a tab standing on top: unrotated, centred in the tab.
      QStyleOptionTab upright(*tab);
      upright.shape = QTabBar::RoundedNorth;
      FocusFrameStyle::drawControl(element, &upright, painter, widget);
      return;
    }
  }
  FocusFrameStyle::drawControl(element, option, painter, widget);
}

}  // namespace rcp::gui
