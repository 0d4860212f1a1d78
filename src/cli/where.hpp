#pragma once

#include <string>

#include "cli/command.hpp"

namespace rcp::app {

// "where": what lives at an address of the radio's memory, or where a field or data-file key
// lives (image/where.hpp), one line each on `out`. Exit 0; 2 with a message on `err` when the
// query is no address of the memory, no field and no key.
int cliWhere(const std::string& query, const CliStreams& io);

}  // namespace rcp::app
