#pragma once

#include <filesystem>
#include <string>

#include "cli/command.hpp"

namespace rcp::app {

struct FleetRequest {
  std::filesystem::path templ;
  std::string numbers;          // "FIRST-LAST", or empty when a table is given
  std::filesystem::path table;  // the table of radios, or empty
  std::filesystem::path log;    // empty: no log (and no rerun that skips what was written)
  bool skipFailed = false;
  std::string model = {};  // only radios of this model are written; empty: any
};

// "fleet": the template and each radio's own values checked first (a warning stops the run
// before anything is sent, exit 1), then radio after radio on `device` as runFleet does, a
// line for each on `err`, and a summary. Exit 0 when every radio left was written, 1 when one
// failed or the run was stopped, 2 for a file, table or port that cannot be used.
int cliFleet(const std::string& device, const FleetRequest& request, const CliStreams& io,
             const CliSafety& safety);

}  // namespace rcp::app
