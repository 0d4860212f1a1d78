#include "gui/qt_screen.hpp"

#include <QApplication>
#include <QCoreApplication>

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
