#include "gui/error_box.hpp"

#include <QGuiApplication>
#include <QMessageBox>
#include <exception>

namespace rcp::gui {

void runReportingErrors(QWidget* owner, const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    QMessageBox::critical(owner, QGuiApplication::applicationDisplayName(),
                          QString::fromUtf8(e.what()));
  }
}

}  // namespace rcp::gui
