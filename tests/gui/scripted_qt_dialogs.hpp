#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/qt_dialogs.hpp"
#include "gui/qt_screen.hpp"

namespace rcp::gui {

// The program's message boxes and modal windows as Qt shows them; the file dialogs answered from
// a script, with what each was asked to show kept.
class ScriptedQtDialogs final : public ui::Dialogs {
 public:
  explicit ScriptedQtDialogs(QtScreen& screen) : qt_(screen) {}
  std::vector<ui::Message> messages;
  std::vector<ui::FileDialogRequest> opens;
  std::vector<ui::FileDialogRequest> saves;
  std::deque<std::optional<std::string>> fileAnswers;

  ui::MessageResult message(const ui::Message& m) override {
    messages.push_back(m);
    return qt_.message(m);
  }
  void showModal(ui::Form& form) override { qt_.showModal(form); }
  std::optional<std::string> openFile(const ui::FileDialogRequest& r) override {
    opens.push_back(r);
    return next();
  }
  std::optional<std::string> saveFile(const ui::FileDialogRequest& r) override {
    saves.push_back(r);
    return next();
  }

 private:
  std::optional<std::string> next() {
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
  }
  QtDialogs qt_;
};

// Runs action on the next turn of whatever event loop is running then.
inline void soon(std::function<void()> action) {
  QTimer::singleShot(0, qApp, std::move(action));
}

// The message box shown now, or null.
inline QMessageBox* shownMessageBox() {
  return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

inline QAbstractButton* buttonLabelled(QMessageBox* box, const QString& text) {
  for (QAbstractButton* b : box->buttons())
    if (b->text() == text) return b;
  return nullptr;
}

}  // namespace rcp::gui
