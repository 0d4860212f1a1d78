#pragma once

#include <filesystem>
#include <string>

#include "cli/command.hpp"
#include "cli/history_access.hpp"

namespace rcp::app {

// "history show ID": the event, each of its facts on a comment line ("; 时间：..."), then its
// configuration as a data file holds it, so that the output opens as one.
int cliHistoryShow(const HistoryPlace& place, const std::string& id, const CliStreams& io);

// "history export ID FILE.ini": the event's configuration saved as a data file (a backup's
// memory beside it, so that writing the file leaves the radio as the read found it).
int cliHistoryExport(const HistoryPlace& place, const std::string& id,
                     const std::filesystem::path& file, const CliStreams& io);

// The event of the id the command line names, with its configuration; nothing when there is no
// such event, or it holds no configuration (said on io.err).
std::optional<history::Event> configurationOf(history::HistoryDatabase& database,
                                              const std::string& id, const CliStreams& io);

}  // namespace rcp::app
