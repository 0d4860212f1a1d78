#include "gui/qt_screen.hpp"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>

#include "gui/form_view.hpp"

namespace rcp::gui {

QtScreen::QtScreen() = default;

QtScreen::~QtScreen() {
  setBusy(false);
  // Dialogs go before the main window they are kept above.
  while (!views_.empty()) views_.pop_back();
}

void QtScreen::formCreated(ui::Form& form) {
  view(form);
}

FormView& QtScreen::view(ui::Form& form) {
  if (FormView* existing = findView(form)) return *existing;
  const auto role = views_.empty() ? FormView::Role::Main : FormView::Role::Dialog;
  auto view = std::make_unique<FormView>(form, role);
  if (!views_.empty()) view->setOwner(views_.front().get());
  views_.push_back(std::move(view));
  return *views_.back();
}

FormView* QtScreen::findView(const ui::Form& form) const {
  for (const auto& v : views_)
    if (&v->form() == &form) return v.get();
  return nullptr;
}

void QtScreen::repaint(const ui::Form& form) {
  if (FormView* v = findView(form)) v->repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtScreen::setBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

namespace {

// Drops the user's mouse and keyboard input, except in a modal box shown meanwhile. A close
// request for the main window is refused and remembered: the transfer runs to its end, and the
// window closes after it.
class InputBlocker final : public QObject {
 public:
  explicit InputBlocker(QWidget* main) : main_(main) {}
  bool closeRequested() const { return closeRequested_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Close && watched == main_) {
      event->ignore();
      closeRequested_ = true;
      return true;
    }
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::Wheel:
      case QEvent::Shortcut:
      case QEvent::ShortcutOverride:
        break;
      default:
        return false;
    }
    const QWidget* modal = QApplication::activeModalWidget();
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return !(modal && widget && widget->window() == modal);
  }

 private:
  QWidget* main_;
  bool closeRequested_ = false;
};

}  // namespace

void QtScreen::blockInput(bool blocked) {
  if (blocked == static_cast<bool>(inputBlocker_)) return;
  if (blocked) {
    inputBlocker_ = std::make_unique<InputBlocker>(views_.empty() ? nullptr : views_.front().get());
    qApp->installEventFilter(inputBlocker_.get());
    return;
  }
  // Input that arrived during the transfer is delivered now, into the blocker, and so dropped.
  QCoreApplication::processEvents();
  qApp->removeEventFilter(inputBlocker_.get());
  const bool closeRequested = static_cast<InputBlocker*>(inputBlocker_.get())->closeRequested();
  inputBlocker_.reset();
  if (closeRequested) views_.front()->close();
}

void QtScreen::setApplicationTitle(const std::string& title) {
  QGuiApplication::setApplicationDisplayName(QString::fromStdString(title));
}

void QtScreen::quit() {
  // Before the event loop runs this only leaves a note for the caller of exec; afterwards it
  // ends every loop, a modal window's included.
  quitRequested_ = true;
  QCoreApplication::quit();
}

}  // namespace rcp::gui
