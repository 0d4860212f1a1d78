#pragma once

#include <string>

#include "cli/command.hpp"

namespace rcp::app {

// "info": the radio on `device` greeted, its identity and model printed. A device that does not
// open is reported with the port doctor's reason on a second line.
int cliInfo(const std::string& device, const CliStreams& io);

}  // namespace rcp::app
