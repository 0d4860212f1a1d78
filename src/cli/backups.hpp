#pragma once

#include <filesystem>

#include "cli/command.hpp"

namespace rcp::app {

// "backups": the backups in the folder, newest first, one a line: time, model, individual
// number and file, separated by two spaces.
int cliBackups(const std::filesystem::path& folder, const CliStreams& io);

}  // namespace rcp::app
