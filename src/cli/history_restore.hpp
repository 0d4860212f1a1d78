#pragma once

#include <string>

#include "cli/command.hpp"
#include "cli/history_access.hpp"

namespace rcp::app {

// "history restore ID --port P [--verify]": the event's configuration written into the radio as
// "write" writes a data file, through the safe write (a read's entry carries the memory it
// found, so the radio ends byte for byte as that read found it). Exit codes as "write"'s.
int cliHistoryRestore(const HistoryPlace& place, const std::string& id, const std::string& device,
                      const CliStreams& io, const CliSafety& safety);

}  // namespace rcp::app
