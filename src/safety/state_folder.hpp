#pragma once

#include <filesystem>

// The folder the tool keeps its state in: the backups and the service history.
namespace rcp::app {

// ${XDG_STATE_HOME:-$HOME/.local/state}/rcp520, or %LOCALAPPDATA%\rcp520 on Windows
std::filesystem::path stateFolder();

// The service history's database in the state folder.
std::filesystem::path defaultHistoryFile();

}  // namespace rcp::app
