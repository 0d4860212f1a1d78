#include "gui/qt_screen.hpp"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <QWindow>

#include "gui/form_view.hpp"

namespace rcp::gui {

QtScreen::QtScreen() = default;

QtScreen::~QtScreen() {
  setBusy(false);
  // Dialogs go before the main window they are kept above.
  while (!windows_.empty()) windows_.pop_back();
}

void QtScreen::formCreated(ui::Form& form) {
  if (findWindow(form)) return;
  windows_.push_back(Window{&form, nullptr});
  // A window's widgets wait for its first showing (or a focus request before it, or
  // buildMainWindow); the view built then follows the same notice, as it would have.
  std::weak_ptr<bool> alive = alive_;
  form.addObserver([this, alive, &form](const ui::Control*, ui::Property what) {
    if (alive.expired()) return;
    if (what == ui::Property::FormShown || what == ui::Property::Focus) view(form);
  });
}

FormView& QtScreen::view(ui::Form& form) {
  if (Window* window = findWindow(form)) return build(*window);
  formCreated(form);
  return build(*findWindow(form));
}

QtScreen::Window* QtScreen::findWindow(const ui::Form& form) const {
  for (Window& w : windows_)
    if (w.form == &form) return &w;
  return nullptr;
}

void QtScreen::buildMainWindow() {
  if (!windows_.empty()) build(windows_.front());
}

FormView& QtScreen::build(Window& window) const {
  if (window.view) return *window.view;
  const bool main = &window == &windows_.front();
  // A dialog is kept above the main window, built first.
  if (!main) build(windows_.front());
  window.view = std::make_unique<FormView>(*window.form,
                                           main ? FormView::Role::Main : FormView::Role::Dialog);
  if (!main) window.view->setOwner(windows_.front().view.get());
  return *window.view;
}

FormView* QtScreen::findView(const ui::Form& form) const {
  Window* window = findWindow(form);
  return window ? &build(*window) : nullptr;
}

void QtScreen::repaint(const ui::Form& form) {
  // A window not built yet has nothing on the screen to repaint.
  Window* window = findWindow(form);
  if (window && window->view) window->view->repaint();
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

// The widget an event's receiver stands for: itself, the top-level widget of a window, or the
// widget a shortcut belongs to. A person's keys and clicks reach a widget's window first, and
// only then the widget; a key that is a shortcut reaches the shortcut object.
const QWidget* widgetOf(const QObject* receiver) {
  if (const auto* window = qobject_cast<const QWindow*>(receiver)) {
    for (const QWidget* top : QApplication::topLevelWidgets())
      if (top->windowHandle() == window) return top;
    return nullptr;
  }
  for (const QObject* o = receiver; o; o = o->parent())
    if (const auto* widget = qobject_cast<const QWidget*>(o)) return widget;
  return nullptr;
}

// Whether a widget is the box or one of its parts, its pop-ups (a list dropped down) included.
bool belongsTo(const QWidget* widget, const QWidget* box) {
  for (; widget; widget = widget->parentWidget())
    if (widget == box) return true;
  return false;
}

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
    return !(modal && belongsTo(widgetOf(watched), modal));
  }

 private:
  QWidget* main_;
  bool closeRequested_ = false;
};

}  // namespace

void QtScreen::blockInput(bool blocked) {
  if (blocked == static_cast<bool>(inputBlocker_)) return;
  if (blocked) {
    inputBlocker_ =
        std::make_unique<InputBlocker>(windows_.empty() ? nullptr : windows_.front().view.get());
    qApp->installEventFilter(inputBlocker_.get());
    return;
  }
  // Input that arrived during the transfer is delivered now, into the blocker, and so dropped.
  QCoreApplication::processEvents();
  qApp->removeEventFilter(inputBlocker_.get());
  const bool closeRequested = static_cast<InputBlocker*>(inputBlocker_.get())->closeRequested();
  inputBlocker_.reset();
  if (closeRequested) windows_.front().view->close();
}

void QtScreen::processInput() {
  QCoreApplication::processEvents();
}

void endEventLoops() {
  // Not quit(): that first asks every window to close, and the main window would ask about
  // unsaved edits a second time. Not exit() before a loop runs either: Qt would keep it and end
  // every loop started later at once.
  if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

void QtScreen::setApplicationTitle(const std::string& title) {
  QGuiApplication::setApplicationDisplayName(QString::fromStdString(title));
}

void QtScreen::quit() {
  // Before the event loop runs this only leaves a note for the caller of exec; afterwards it
  // ends every loop, a modal window's included.
  quitRequested_ = true;
  endEventLoops();
}

}  // namespace rcp::gui
