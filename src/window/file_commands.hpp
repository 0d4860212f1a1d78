#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "settings/data_file.hpp"
#include "settings/program_state.hpp"
#include "ui/dialogs.hpp"

// The main window's two data-file buttons, "存储文件" (Alt+S) and "打开文件" (Alt+O), with their
// file dialogs, status texts and messages.
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

// What "打开文件" does with the file chosen in its dialog: opens it, shows a failure, then runs the
// stop-channel rule of the three segments unless the open stopped at a value that is no number or
// at a failing rule. A file opened whole becomes the kept record (nothing unsaved).
void openChosenDataFile(settings::ProgramState& state, const std::filesystem::path& file);

// What the open command does once a name is chosen, without a dialog (the command-line tool's
// way in): opens the file, then runs the stop-channel rule of the three segments, unless the
// open stopped at a value that is no number or at a failing rule. Failures come back as values;
// the rules' warnings go to state.dialogs as usual.
[[nodiscard]] std::optional<settings::DataFileError> openDataFileAndCheck(
    settings::ProgramState& state, const std::filesystem::path& file);
// The same for a data file's text already in memory.
[[nodiscard]] std::optional<settings::DataFileError> openDocumentAndCheck(
    settings::ProgramState& state, const link::IniDocument& document);

// The message box for a failure: the application's title and a stop icon for a failure inside
// the command, "系统信息" for a name that is no readable data file.
ui::Message dataFileMessage(const settings::DataFileError& error);

// The request both dialogs start from: the filter "数据文件（*.ini）", extension "ini", the user's
// home folder.
ui::FileDialogRequest dataFileRequest(std::string initialName);

}  // namespace rcp::app
