#pragma once

#include "cli/command.hpp"
#include "cli/history_access.hpp"

namespace rcp::app {

// "backups": the reads kept as backups, newest first, one a line: time, model, individual number
// and file, separated by two spaces. They come from the history (the backups imported into it
// first); a file no longer in the folder is named with the history's id that still holds it.
// Without a usable history (its reason on `err`), the folder as it is.
int cliBackups(const HistoryPlace& place, const CliStreams& io);

}  // namespace rcp::app
