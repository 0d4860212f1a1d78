#include "gui/input_router.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QWidget>
#include <utility>

#include "gui/error_box.hpp"

namespace rcp::gui {

namespace {

constexpr char32_t kBackspace = 8;

bool passesFocus(Qt::FocusReason reason) {
  // Another window or a popup taking the focus does not leave the control.
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

bool isStrictAncestor(const QObject* ancestor, const QObject* object) {
  for (const QObject* o = object ? object->parent() : nullptr; o; o = o->parent())
    if (o == ancestor) return true;
  return false;
}

// The character a key press types (Backspace included), or 0.
char32_t typedCharacter(const QKeyEvent* event) {
  if (event->key() == Qt::Key_Backspace) return kBackspace;
  const auto ucs4 = event->text().toUcs4();
  if (ucs4.size() != 1) return 0;
  const char32_t c = ucs4.front();
  return c >= 0x20 && c != 0x7F ? c : 0;
}

}  // namespace

const char* const InputRouter::kControlProperty = "control";

InputRouter::InputRouter(ui::Form& form, QWidget* window)
    : QObject(window), form_(form), window_(window) {}

void InputRouter::watchAll() {
  window_->installEventFilter(this);
  for (QWidget* w : window_->findChildren<QWidget*>()) w->installEventFilter(this);
}

std::string InputRouter::controlOf(const QObject* object) {
  for (const QObject* o = object; o; o = o->parent()) {
    const QVariant name = o->property(kControlProperty);
    if (name.isValid()) return name.toString().toStdString();
    if (o->isWidgetType() && static_cast<const QWidget*>(o)->isWindow()) break;
  }
  return {};
}

bool InputRouter::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      if (replaying_) return false;
      // Only the first receiver: a key a widget ignores travels on to its parents.
      QWidget* focus = window_->focusWidget();
      if (focus ? widget != focus : widget != window_) return false;
      return keyPress(widget, static_cast<QKeyEvent*>(event));
    }
    case QEvent::FocusIn:
      focusIn(widget, static_cast<QFocusEvent*>(event)->reason());
      return false;
    case QEvent::FocusOut:
      focusOut(widget, static_cast<QFocusEvent*>(event)->reason());
      return false;
    case QEvent::MouseButtonPress:
      return pressHeldBack(widget);
    case QEvent::MouseButtonDblClick:
      doubleClick(widget, event);
      return false;
    default:
      return false;
  }
}

bool InputRouter::keyPress(QWidget* target, QKeyEvent* event) {
  const int key = event->key();
  const auto modifiers = event->modifiers();
  if (modifiers & Qt::AltModifier) {
    if (key <= 0 || key >= Qt::Key_Escape) return false;  // a modifier or function key alone
    const auto upper = static_cast<char32_t>(QChar::toUpper(static_cast<char32_t>(key)));
    run([&] { form_.userKeyDown(upper, true); });
    return (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
  }
  if (modifiers & Qt::ControlModifier) return false;

  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (qobject_cast<QPushButton*>(target)) return pressButton(controlOf(target));
    for (const auto& c : form_.controls())
      if (c.isDefault) return pressButton(c.name);
    return false;
  }
  if (key == Qt::Key_Escape) {
    for (const auto& c : form_.controls())
      if (c.isCancel) return pressButton(c.name);
    return false;
  }

  const char32_t typed = typedCharacter(event);
  const std::string name = controlOf(target);
  if (!typed || name.empty()) return false;
  char32_t passed = typed;
  run([&] { passed = form_.userKey(name, typed); });
  if (passed == typed) return false;
  if (passed == 0) return true;
  // The filter replaced the key: the control sees the replacement instead.
  const QString text = passed == kBackspace ? QString() : QString::fromUcs4(&passed, 1);
  const int replayKey = passed == kBackspace ? static_cast<int>(Qt::Key_Backspace)
                                             : static_cast<int>(QChar::toUpper(passed));
  QKeyEvent replay(QEvent::KeyPress, replayKey, modifiers, text);
  replaying_ = true;
  QCoreApplication::sendEvent(target, &replay);
  replaying_ = false;
  return true;
}

bool InputRouter::pressButton(const std::string& name) {
  if (name.empty()) return false;
  run([&] { form_.userClick(name); });
  return true;
}

void InputRouter::focusIn(QWidget* target, Qt::FocusReason reason) {
  // While a control is being left, its rule may move the focus about; what counts is where
  // the focus is once the rule is done.
  if (suspended_ || leaving_ || reason == Qt::PopupFocusReason) return;
  enter(controlOf(target));
}

void InputRouter::focusOut(QWidget* target, Qt::FocusReason reason) {
  if (suspended_ || leaving_ || !passesFocus(reason)) return;
  const std::string name = controlOf(target);
  // A control that was never entered (the focus only passed through it) is not left either.
  if (name.empty() || name != entered_) return;
  QWidget* next = QApplication::focusWidget();
  if (next && controlOf(next) == name) return;
  entered_.clear();
  leaving_ = true;
  run([&] { form_.userExit(name); });
  leaving_ = false;
  // A button takes the focus before it sees the mouse press. When the rule kept the focus
  // (it warned, and the warning took the release), the press still makes the click.
  auto* button = qobject_cast<QAbstractButton*>(next);
  if (button && reason == Qt::MouseFocusReason && window_->focusWidget() != button)
    heldPress_ = button;
  enter(controlOf(window_->focusWidget()));
}

bool InputRouter::pressHeldBack(QWidget* target) {
  const QPointer<QAbstractButton> button = std::exchange(heldPress_, nullptr);
  if (!button || target != button) return false;
  button->click();
  return true;
}

void InputRouter::enter(const std::string& name) {
  if (name.empty() || name == entered_) return;
  entered_ = name;
  run([&] { form_.userFocus(name); });
}

void InputRouter::doubleClick(QObject* target, QEvent* event) {
  const quint64 time = static_cast<QMouseEvent*>(event)->timestamp();
  // A double-click the widget ignores travels on to its parents; it counts once.
  const bool passedOn = lastDoubleClick_ && time == lastDoubleClickTime_ &&
                        isStrictAncestor(target, lastDoubleClick_);
  lastDoubleClick_ = target;
  lastDoubleClickTime_ = time;
  if (passedOn) return;
  const std::string name = controlOf(target);
  if (!name.empty()) run([&] { form_.userDblClick(name); });
}

void InputRouter::run(const std::function<void()>& action) {
  runReportingErrors(window_, action);
}

}  // namespace rcp::gui
