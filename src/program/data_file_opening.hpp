#pragma once

#include <filesystem>
#include <optional>

#include "link/ini_document.hpp"
#include "settings/data_file.hpp"
#include "settings/program_state.hpp"
#include "ui/dialogs.hpp"

// Opening a data file as the open command opens it, the window's way and the command line's:
// the open, its failure as a message, then the stop-channel rule of the three segments.
namespace rcp::app {

// What "打开文件" does with the file chosen in its dialog: opens it, shows a failure, then runs the
// stop-channel rule of the three segments unless the open stopped at a value that is no number or
// at a failing rule. A file opened whole becomes the kept record (nothing unsaved).
void openChosenDataFile(settings::ProgramState& state, const std::filesystem::path& file);
// The same for a data file's text already in memory (a configuration the history keeps); whether
// it opened whole.
bool openChosenDocument(settings::ProgramState& state, const link::IniDocument& document);

// What the open command does once a name is chosen, without a dialog (the command-line tool's
// way in): opens the file, then runs the stop-channel rule of the three segments, unless the
// open stopped at a value that is no number or at a failing rule. Failures come back as values;
// the rules' warnings go to state.dialogs as usual.
[[nodiscard]] std::optional<settings::DataFileError> openDataFileAndCheck(
    settings::ProgramState& state, const std::filesystem::path& file);
// The same for a data file's text already in memory.
[[nodiscard]] std::optional<settings::DataFileError> openDocumentAndCheck(
    settings::ProgramState& state, const link::IniDocument& document);

// The stop-channel rule of the three segments, run as if each had been left (an open cancelled
// in its dialog runs it too).
void checkStopChannels(settings::ProgramState& state);

// The message box for a failure: the application's title and a stop icon for a failure inside
// the command, "系统信息" for a name that is no readable data file.
ui::Message dataFileMessage(const settings::DataFileError& error);

}  // namespace rcp::app
