#pragma once

#include <QString>
#include <string>

#include "ui/dialogs.hpp"

namespace rcp::gui {

class QtScreen;

// Message boxes, modal windows and file dialogs as Qt shows them.
class QtDialogs final : public ui::Dialogs {
 public:
  explicit QtDialogs(QtScreen& screen) : screen_(screen) {}
  // The folder of dated backups: an open dialog starting there lists the newest first and shows
  // every name whole.
  void setBackupsFolder(std::string folder) { backups_ = std::move(folder); }

  ui::MessageResult message(const ui::Message& message) override;
  void showModal(ui::Form& form) override;
  std::optional<std::string> openFile(const ui::FileDialogRequest& request) override;
  std::optional<std::string> saveFile(const ui::FileDialogRequest& request) override;

  // "数据文件（*.ini）|*.ini" → "数据文件（*.ini） (*.ini)": description and pattern pairs
  // as Qt's file dialogs name them (the dialogs show the description alone).
  static QString nameFilters(const std::string& filter);

 private:
  QtScreen& screen_;
  std::string backups_;
};

}  // namespace rcp::gui
