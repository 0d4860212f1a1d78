#pragma once

#include <QWidget>
#include <vector>

#include "ui/control.hpp"

namespace rcp::gui {

// The status bar along the bottom of a window: sunken panels of fixed widths side by side, the
// last one reaching to the right edge. A right-to-left panel mirrors its alignment; its text
// keeps its reading order, as on a desktop without right-to-left scripts.
class StatusPanels final : public QWidget {
  Q_OBJECT

 public:
  explicit StatusPanels(QWidget* parent = nullptr);

  void setPanels(std::vector<ui::StatusPanel> panels);
  const std::vector<ui::StatusPanel>& panels() const { return panels_; }
  // Where panel i lies inside the bar.
  QRect panelRect(int i) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<ui::StatusPanel> panels_;
};

}  // namespace rcp::gui
