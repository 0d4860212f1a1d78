#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cli/command.hpp"
#include "link/com_ini.hpp"
#include "link/system_roots.hpp"

// "rcp520-cli ports [--probe]": the serial devices of the machine, whether this user may open
// each and who holds it now; with --probe each free device is greeted as at start-up (9600 8N1)
// and the model that answers is shown.
namespace rcp::app {

struct PortsOptions {
  bool probe = false;
};

// The options after "ports"; nullopt for anything but "--probe".
std::optional<PortsOptions> portsOptions(std::span<const std::string_view> args);

// Prints the table to io.out (with each adaptor's latency timer), then for each device that
// cannot be used the reason, as the port doctor gives it, and each high latency timer. Exits 0 when
// at least one device may be opened and is free, 1 otherwise, 2 when the trace file cannot be
// written.
int cliPorts(const PortsOptions& options, const CliStreams& io, const link::SystemRoots& roots = {},
             const std::filesystem::path& comIni = link::comIniPath());

}  // namespace rcp::app
