#pragma once

#include <QObject>
#include <QPointer>
#include <string>

#include "ui/form.hpp"

class QAbstractButton;
class QKeyEvent;
class QWidget;

namespace rcp::gui {

// Passes the user's keys, focus changes and double-clicks inside one window to its form, the
// way the forms' toolkit delivered them:
// - every key pressed with Alt held goes to the window's key-down handler first, and an
//   Alt+letter or Alt+digit goes no further (no mnemonics);
// - a typed character or Backspace goes through the control's key filter before the control
//   sees it; a filter may discard or replace it;
// - Enter presses the default button (or the focused button), Esc the cancel button;
// - a control that gains the focus is entered, and left again when the focus moves to another
//   control of the window (not when another window or a popup takes it);
// - a button pressed with the mouse is clicked even when leaving a field on the way warned;
// - a double-click reaches the control under the mouse once.
// A widget belongs to the control whose widget it is or lies inside (its object property
// "control"); widgets of no control belong to the window itself.
class InputRouter final : public QObject {
  Q_OBJECT

 public:
  InputRouter(ui::Form& form, QWidget* window);

  // Starts watching the window and every widget inside it.
  void watchAll();
  // While suspended (the window is being hidden) focus changes are not passed on.
  void setSuspended(bool suspended) { suspended_ = suspended; }

  // The name of the control a widget belongs to, or empty.
  static std::string controlOf(const QObject* object);
  static const char* const kControlProperty;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool keyPress(QWidget* target, QKeyEvent* event);
  bool pressButton(const std::string& name);
  void focusIn(QWidget* target, Qt::FocusReason reason);
  void focusOut(QWidget* target, Qt::FocusReason reason);
  void enter(const std::string& name);
  bool pressHeldBack(QWidget* target);
  void doubleClick(QObject* target, QEvent* event);
  void run(const std::function<void()>& action);

  ui::Form& form_;
  QWidget* window_;
  std::string entered_;
  bool suspended_ = false;
  bool replaying_ = false;
  bool leaving_ = false;
  QPointer<QAbstractButton> heldPress_;
  QPointer<QObject> lastDoubleClick_;
  quint64 lastDoubleClickTime_ = 0;
};

}  // namespace rcp::gui
