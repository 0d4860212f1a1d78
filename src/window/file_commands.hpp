#pragma once

#include <optional>
#include <string>

#include "settings/program_state.hpp"
#include "ui/dialogs.hpp"

// The main window's two data-file buttons, "存储文件" (Alt+S) and "打开文件" (Alt+O), with their
// file dialogs, status texts and messages (the open itself: program/data_file_opening.hpp).
namespace rcp::app {

// Each file dialog starts with the name last chosen in it; the first open dialog offers the
// port-settings file.
struct DataFileNames {
  std::optional<std::string> opened;
  std::string saved;
};

void bindFileCommands(settings::ProgramState& state);

void SaveFileClick(settings::ProgramState& state, DataFileNames& names);
void OpenFileClick(settings::ProgramState& state, DataFileNames& names);

// The request both dialogs start from: the filter "数据文件（*.ini）", extension "ini", the user's
// home folder.
ui::FileDialogRequest dataFileRequest(std::string initialName);

}  // namespace rcp::app
