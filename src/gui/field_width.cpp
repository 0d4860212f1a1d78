#include "gui/field_width.hpp"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <algorithm>
#include <cstdlib>
#include <string>

namespace rcp::gui {

namespace {

constexpr int kMaxChars = 32;
constexpr int kDefaultEditChars = 10;
constexpr int kSpinButtons = 16;
constexpr int kComboArrow = 22;
constexpr int kDefaultSlider = 100;
constexpr int kDefaultPicture = 32;

int frame() {
  return 2 * QApplication::style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 6;
}

int digitsOf(int n) {
  return static_cast<int>(std::to_string(std::abs(n)).size()) + (n < 0);
}

}  // namespace

int fieldWidth(const ui::Control& c, const QFont& font) {
  const QFontMetrics fm(font);
  const int digit = fm.horizontalAdvance(QLatin1Char('0'));
  const int hinted = c.cell.widthChars;
  const int fromLength = c.maxLength > 0 ? std::clamp(c.maxLength, 2, kMaxChars) : 0;
  switch (c.kind) {
    case ui::ControlKind::Edit:
      return (hinted ? hinted : fromLength ? fromLength : kDefaultEditChars) * digit + frame();
    case ui::ControlKind::SpinEdit: {
      const int chars = hinted       ? hinted
                        : fromLength ? fromLength
                                     : std::max({2, digitsOf(c.min), digitsOf(c.max)});
      return chars * digit + frame() + kSpinButtons;
    }
    case ui::ControlKind::ComboBox: {
      if (hinted) return hinted * digit + frame() + kComboArrow;
      int widest = 3 * digit;
      for (const auto& item : c.items)
        widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(item)));
      return widest + frame() + kComboArrow;
    }
    case ui::ControlKind::TrackBar:
      return hinted ? hinted * digit : kDefaultSlider;
    case ui::ControlKind::ProgressBar:
      return hinted ? hinted * digit : 0;
    case ui::ControlKind::Grid:
      return hinted ? hinted * digit + frame() : 0;
    case ui::ControlKind::Picture:
      return hinted ? hinted * digit : kDefaultPicture;
    default:
      return 0;
  }
}

}  // namespace rcp::gui
