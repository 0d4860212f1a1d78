#pragma once

#include <QCheckBox>
#include <QRadioButton>

namespace rcp::gui {

// Check boxes and radio buttons that report a click without changing their own state: the
// form decides the new state and the view shows it, so a click can never toggle twice.
class StateCheckBox final : public QCheckBox {
  Q_OBJECT

 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
};

class StateRadioButton final : public QRadioButton {
  Q_OBJECT

 public:
  using QRadioButton::QRadioButton;

 protected:
  void nextCheckState() override {}
};

}  // namespace rcp::gui
