#include "gui/colors.hpp"

namespace rcp::gui {

namespace {

// The desktop's system colour indices the forms use.
QPalette::ColorRole systemRole(unsigned index) {
  switch (index) {
    case 5:  // window background
      return QPalette::Base;
    case 6:  // window frame
      return QPalette::Shadow;
    case 7:  // menu text
    case 8:  // window text
      return QPalette::Text;
    case 13:  // highlight
      return QPalette::Highlight;
    case 14:  // highlighted text
      return QPalette::HighlightedText;
    case 16:  // button shadow
      return QPalette::Mid;
    case 17:  // grey text
      return QPalette::PlaceholderText;
    case 18:  // button text
      return QPalette::ButtonText;
    case 20:  // button highlight
      return QPalette::Light;
    case 21:  // 3-D dark shadow
      return QPalette::Dark;
    case 23:  // tooltip text
      return QPalette::ToolTipText;
    case 24:  // tooltip background
      return QPalette::ToolTipBase;
    default:  // 15, button face, and everything else
      return QPalette::Button;
  }
}

}  // namespace

QColor toQColor(ui::Color color, const QPalette& palette) {
  if (ui::isSystemColor(color)) return palette.color(systemRole(color & 0xFFu));
  return QColor(ui::red(color), ui::green(color), ui::blue(color));
}

QColor focusColor() {
  return QColor(0x00, 0x00, 0x80);
}

}  // namespace rcp::gui
