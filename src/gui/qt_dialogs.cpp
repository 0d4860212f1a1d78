#include "gui/qt_dialogs.hpp"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStringList>
#include <QTreeView>
#include <QWindow>
#include <algorithm>
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

// The letter that answers a box with this button, alone or with Alt, as on the desktop the
// technician knows: Y(es), N(o), O(K), C(ancel). The captions stay as they are.
Qt::Key letterOf(ui::MessageResult result) {
  switch (result) {
    case ui::MessageResult::Yes:
      return Qt::Key_Y;
    case ui::MessageResult::No:
      return Qt::Key_N;
    case ui::MessageResult::Ok:
      return Qt::Key_O;
    case ui::MessageResult::Cancel:
      break;
  }
  return Qt::Key_C;
}

void answerByLetter(QAbstractButton* button, Qt::Key letter) {
  button->setShortcut(QKeySequence(Qt::ALT | letter));
  auto* alone = new QShortcut(QKeySequence(letter), button);
  QObject::connect(alone, &QShortcut::activated, button, &QAbstractButton::click);
}

// A box of three lines or more lists one item a line (the fields a verification found wrong, the
// radios of a fleet with their problems): it is made as wide as its longest line (within the
// screen), so that no line wraps into two.
void keepLinesWhole(QMessageBox& box, const QString& text) {
  auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (!label) return;
  int widest = 0;
  for (const QString& line : text.split(QLatin1Char('\n')))
    widest = qMax(widest, label->fontMetrics().horizontalAdvance(line));
  const QScreen* screen = box.screen();
  const int room = screen ? screen->availableGeometry().width() - 160 : widest;
  label->setMinimumWidth(qMin(widest + 8, room));
}

// The files in columns, the newest on top and each name whole (a backup's name carries the time,
// the model and the number), the dialog widened for them within the screen.
void listNewestFirst(QFileDialog& dialog) {
  dialog.setViewMode(QFileDialog::Detail);
  auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  if (!view) return;
  constexpr int kDateColumn = 3;
  view->sortByColumn(kDateColumn, Qt::DescendingOrder);
  // "20261209-140327-HX34s-3262001201.ini" and the icon before it.
  const int nameWidth = view->fontMetrics().horizontalAdvance(
                            QStringLiteral("20261209-140327-HX34s-3262001201.ini")) +
                        view->iconSize().width() + 32;
  view->header()->resizeSection(0, nameWidth);
  const int wanted = dialog.sizeHint().width() + nameWidth;
  const QScreen* screen = dialog.screen();
  const int room = screen ? screen->availableGeometry().width() - 32 : wanted;
  dialog.resize(qMin(wanted, room), dialog.sizeHint().height());
}

// Gives the owner's window back the keyboard focus once the dialog has closed. Enter pressed
// while the name box's completion list is still showing closes the dialog with the list open;
// Qt then ignores the window system's activation of the owner (it still counts the list as an
// open popup), so the owner's window has the system's focus but no control takes keys: Tab
// walked on unseen, with no focus frame and nothing for a screen reader to say.
void giveFocusBackTo(QWidget* owner) {
  QWidget* window = owner ? owner->window() : nullptr;
  if (!window || !window->windowHandle()) return;
  QDeadlineTimer deadline(500);
  while (QGuiApplication::focusWindow() != window->windowHandle() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
  if (QGuiApplication::focusWindow() == window->windowHandle() &&
      QApplication::activeWindow() != window)
    QApplication::setActiveWindow(window);
}

std::optional<std::string> runFileDialog(const ui::FileDialogRequest& request, bool save,
                                         bool newestFirst) {
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
  if (newestFirst) listNewestFirst(dialog);
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  dialog.hide();
  giveFocusBackTo(dialog.parentWidget());
  if (!chosen) return std::nullopt;
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
  if (std::count(text.begin(), text.end(), '\n') >= 2) keepLinesWhole(box, qt(text));
  // The buttons in order, each with its answer; the first is the default, the last the escape.
  std::vector<std::pair<QPushButton*, ui::MessageResult>> buttons;
  const auto add = [&](const char* caption, QMessageBox::ButtonRole role, ui::MessageResult r) {
    QPushButton* button = box.addButton(QString::fromUtf8(caption), role);
    answerByLetter(button, letterOf(r));
    buttons.emplace_back(button, r);
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
  const bool backups = !backups_.empty() && request.initialFolder == backups_;
  return runFileDialog(request, false, backups);
}

std::optional<std::string> QtDialogs::saveFile(const ui::FileDialogRequest& request) {
  return runFileDialog(request, true, false);
}

}  // namespace rcp::gui
