#include "gui/status_panels.hpp"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

#include "gui/accessible_names.hpp"

namespace rcp::gui {

namespace {

constexpr int kGap = 2;
constexpr int kTextMargin = 3;

Qt::Alignment horizontalAlignment(const ui::StatusPanel& panel) {
  switch (panel.align) {
    case ui::Align::Center:
      return Qt::AlignHCenter;
    case ui::Align::Right:
      return panel.rightToLeft ? Qt::AlignLeft : Qt::AlignRight;
    case ui::Align::Left:
    default:
      return panel.rightToLeft ? Qt::AlignRight : Qt::AlignLeft;
  }
}

}  // namespace

StatusPanels::StatusPanels(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

// The panels whose text a person must hear as it changes ("写录完毕!", "校验失败") are the status
// bar's accessible name, and each new text is an alert.
void StatusPanels::setPanels(std::vector<ui::StatusPanel> panels) {
  QString heard;
  bool changed = false;
  for (std::size_t i = 0; i < panels.size(); ++i) {
    if (!panels[i].announced) continue;
    const QString text = QString::fromStdString(panels[i].text).trimmed();
    if (!text.isEmpty()) heard += (heard.isEmpty() ? QString() : QStringLiteral("，")) + text;
    changed = changed || i >= panels_.size() || panels_[i].text != panels[i].text;
  }
  panels_ = std::move(panels);
  if (changed && heard != accessibleName()) {
    setAccessibleName(heard);  // tells listeners the name changed
    if (!heard.isEmpty()) announce(this);
  }
  updateGeometry();
  update();
}

QRect StatusPanels::panelRect(int i) const {
  int left = kGap;
  for (int k = 0; k < i; ++k) left += panels_[static_cast<std::size_t>(k)].width;
  const bool last = i + 1 == static_cast<int>(panels_.size());
  const int width = last ? std::max(0, rect().right() - left - kGap)
                         : panels_[static_cast<std::size_t>(i)].width - kGap;
  return QRect(left, kGap, width, height() - 2 * kGap);
}

QSize StatusPanels::sizeHint() const {
  int width = 2 * kGap;
  for (const auto& p : panels_) width += p.width;
  return {width, fontMetrics().height() + 4 * kGap + 2};
}

QSize StatusPanels::minimumSizeHint() const {
  return {0, sizeHint().height()};
}

void StatusPanels::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOption option;
  option.initFrom(this);
  for (int i = 0; i < static_cast<int>(panels_.size()); ++i) {
    const QRect r = panelRect(i);
    option.rect = r;
    style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &option, &painter, this);
    painter.setPen(QPen(palette().color(QPalette::Mid)));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(QPen(palette().color(QPalette::Light)));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    painter.setPen(palette().color(QPalette::WindowText));
    const auto& panel = panels_[static_cast<std::size_t>(i)];
    painter.drawText(r.adjusted(kTextMargin, 0, -kTextMargin, 0),
                     static_cast<int>(horizontalAlignment(panel) | Qt::AlignVCenter),
                     QString::fromStdString(panel.text));
  }
}

}  // namespace rcp::gui
