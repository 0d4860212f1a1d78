#pragma once

#include <filesystem>
#include <string>

#include "cli/command.hpp"

// The command-line tool's transfers: the whole program runs as in the window, with the terminal
// for its dialogs and screen, so a read or a write from the command line is the same transfer the
// buttons start. Messages and warnings go to `err`; the progress line too, when `err` is a
// terminal.
namespace rcp::app {

// "write": `file` opened as "打开文件" opens it (its rule warnings printed), then the write
// transfer into the radio on `device`, with the backup before and the verification after it as
// `safety` asks. A verification that finds the radio holding other bytes exits 3, the fields
// listed on `err`; a write that fails half-way prints the backup to restore from, exit 1.
int cliWrite(const std::string& device, const std::filesystem::path& file, const CliStreams& io,
             const CliSafety& safety);

}  // namespace rcp::app
