#include "gui/qt_dialogs.hpp"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <utility>
#include <vector>

#include "gui/form_view.hpp"
#include "gui/qt_screen.hpp"

namespace rcp::gui {

namespace {

QString qt(const std::string& s) {
  return QString::fromStdString(s);
}

QMessageBox::Icon iconOf(ui::MessageIcon icon) {
  switch (icon) {
    case ui::MessageIcon::Error:
      return QMessageBox::Critical;
    case ui::MessageIcon::Warning:
      return QMessageBox::Warning;
    case ui::MessageIcon::Information:
      return QMessageBox::Information;
    case ui::MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

// The window a box opened now belongs to: the topmost modal window, else the active one.
QWidget* currentOwner() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

std::optional<std::string> runFileDialog(const ui::FileDialogRequest& request, bool save) {
  QFileDialog dialog(currentOwner(), save ? QStringLiteral("另存为") : QStringLiteral("打开"),
                     qt(request.initialFolder), QtDialogs::nameFilters(request.filter));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // Saving over a file that exists asks nothing.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  // The filter is shown by its name alone: "数据文件（*.ini）", without Qt's "(*.ini)" after it.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(qt(request.defaultExtension));
  dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("查找范围:"));
  dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件名:"));
  dialog.setLabelText(QFileDialog::FileType, QStringLiteral("文件类型:"));
  dialog.setLabelText(QFileDialog::Accept, save ? QStringLiteral("保存") : QStringLiteral("打开"));
  dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
  if (!request.initialName.empty()) dialog.selectFile(qt(request.initialName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

}  // namespace

QString QtDialogs::nameFilters(const std::string& filter) {
  const QStringList parts = qt(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
  }
  return filters.join(QStringLiteral(";;"));
}

ui::MessageResult QtDialogs::message(const ui::Message& message) {
  const std::string text =
      message.detail.empty() ? message.text : message.text + "\n" + message.detail;
  QMessageBox box(iconOf(message.icon), qt(message.caption), qt(text), QMessageBox::NoButton,
                  message.ownerless ? nullptr : currentOwner());
  box.setTextFormat(Qt::PlainText);
  // The buttons in order, each with its answer; the first is the default, the last the escape.
  std::vector<std::pair<QPushButton*, ui::MessageResult>> buttons;
  const auto add = [&](const char* caption, QMessageBox::ButtonRole role, ui::MessageResult r) {
    buttons.emplace_back(box.addButton(QString::fromUtf8(caption), role), r);
  };
  switch (message.buttons) {
    case ui::MessageButtons::Ok:
      add("确定", QMessageBox::AcceptRole, ui::MessageResult::Ok);
      break;
    case ui::MessageButtons::OkCancel:
      add("确定", QMessageBox::AcceptRole, ui::MessageResult::Ok);
      add("取消", QMessageBox::RejectRole, ui::MessageResult::Cancel);
      break;
    case ui::MessageButtons::YesNo:
      add("是", QMessageBox::YesRole, ui::MessageResult::Yes);
      add("否", QMessageBox::NoRole, ui::MessageResult::No);
      break;
    case ui::MessageButtons::YesNoCancel:
      add("是", QMessageBox::YesRole, ui::MessageResult::Yes);
      add("否", QMessageBox::NoRole, ui::MessageResult::No);
      add("取消", QMessageBox::RejectRole, ui::MessageResult::Cancel);
      break;
  }
  box.setDefaultButton(buttons.front().first);
  box.setEscapeButton(buttons.back().first);
  box.exec();
  for (const auto& [button, result] : buttons)
    if (box.clickedButton() == button) return result;
  return buttons.back().second;
}

void QtDialogs::showModal(ui::Form& form) {
  screen_.view(form).runModal();
}

std::optional<std::string> QtDialogs::openFile(const ui::FileDialogRequest& request) {
  return runFileDialog(request, false);
}

std::optional<std::string> QtDialogs::saveFile(const ui::FileDialogRequest& request) {
  return runFileDialog(request, true);
}

}  // namespace rcp::gui
