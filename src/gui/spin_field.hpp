#pragma once

#include <QWidget>

class QLineEdit;

namespace rcp::gui {

class UpDownButtons;

// A spin field that keeps whatever the user types: a line edit beside an up/down pair. The
// arrow buttons and the Up and Down keys ask for a step; the owner decides the new text.
class SpinField final : public QWidget {
  Q_OBJECT

 public:
  explicit SpinField(QWidget* parent = nullptr);

  QLineEdit* lineEdit() const { return edit_; }
  UpDownButtons* buttons() const { return buttons_; }

 signals:
  // +1 for up, -1 for down.
  void stepRequested(int direction);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* edit_;
  UpDownButtons* buttons_;
};

}  // namespace rcp::gui
