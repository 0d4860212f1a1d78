#include "cli/info.hpp"

#include "cli/serial_line.hpp"
#include "cli/terminal_program.hpp"
#include "cli/terminal_services.hpp"
#include "link/greeting.hpp"
#include "link/identification.hpp"
#include "link/low_latency.hpp"
#include "ports/port_doctor.hpp"
#include "link/port_opening.hpp"

namespace rcp::app {

int cliInfo(const std::string& device, const CliStreams& io) {
  SerialLine line(io);
  if (!traceReady(line.traced, io)) return kExitUsageFileOrPort;
  TerminalLines lines(io.err, false);
  link::RadioIdentity identity{};
  switch (link::openPort(line.traced.port(), line.traced.clock(), device, identity)) {
    case link::PortOpening::PortBusy:
      lines.line(std::string(link::kPortBusyMessage));
      lines.line(whyNotOpen(device));
      return kExitUsageFileOrPort;
    case link::PortOpening::NoRadio:
      lines.line(std::string(link::kNoRadioMessage));
      if (const auto latency = link::latencyProblem(device)) lines.line(*latency);
      return kExitNoRadioOrFailed;
    case link::PortOpening::RadioAnswered:
      break;
  }
  const auto identification = link::identify(identity, link::IdentifyPurpose::StartUp);
  io.out << link::identityText(identity) << '\n' << identification.model->caption << '\n';
  return kExitDone;
}

}  // namespace rcp::app
