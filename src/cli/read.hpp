#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "cli/command.hpp"
#include "settings/program_state.hpp"

// The command-line tool's transfers: the whole program runs as in the window, with the terminal
// for its dialogs and screen, so a read or a write from the command line is the same transfer the
// buttons start. Messages and warnings go to `err`; the progress line too, when `err` is a
// terminal.
namespace rcp::app {

// "read": the read transfer from the radio on `device`, then the record saved into `file` as
// "存储文件" saves it (through a symbolic link, the file it points at). A file that cannot be
// saved is reported before the radio is touched; a read that failed saves nothing.
//
// During a read or a write, Ctrl+C, SIGTERM and SIGHUP are held until the transfer ends (see
// HeldSignals); the command then ends with 128 + the signal, a read saving nothing.
//
// A backup that cannot be kept is reported on `err` ("备份失败：..."); it never fails the read.
int cliRead(const std::string& device, const std::filesystem::path& file, const CliStreams& io,
            const CliSafety& safety);

// The read transfer from the radio on `device`, as "read" runs it (signals held the same way);
// once it is done, `then` gets the program holding what it read, and its result is the
// command's.
int readRadio(const std::string& device, const CliStreams& io, const CliSafety& safety,
              const std::function<int(settings::ProgramState&)>& then);

}  // namespace rcp::app
