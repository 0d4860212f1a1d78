#pragma once

#include <QWidget>

class QToolButton;

namespace rcp::gui {

// A pair of small arrow buttons stacked on each other, repeating while held, never taking the
// keyboard focus.
class UpDownButtons final : public QWidget {
  Q_OBJECT

 public:
  explicit UpDownButtons(QWidget* parent = nullptr);

  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 signals:
  void up();
  void down();

 private:
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace rcp::gui
