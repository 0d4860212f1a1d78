// rcp520-cli: the programming tool's radio link and data files from a terminal.

#include <array>
#include <filesystem>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/clock.hpp"
#include "link/com_ini.hpp"
#include "link/greeting.hpp"
#include "link/identification.hpp"
#include "link/port_opening.hpp"
#include "link/radio_identity.hpp"
#include "link/serial_port.hpp"

namespace {

constexpr int kRadioAnswered = 0;
constexpr int kNoRadio = 1;
constexpr int kPortOrUsageError = 2;

using Args = std::span<const std::string_view>;

struct Subcommand {
  std::string_view name;
  std::string_view usage;
  int (*run)(Args args);
};

int runInfo(Args args);

constexpr std::array<Subcommand, 1> kSubcommands = {{
    {"info", "info [--port DEVICE|COM1..COM4]   greet the radio, show its identity and model",
     runInfo},
}};

int usage() {
  std::cerr << "usage: rcp520-cli COMMAND [OPTIONS]\n";
  for (const Subcommand& command : kSubcommands) std::cerr << "  " << command.usage << '\n';
  std::cerr << "Without --port the port named in " << rcp::link::comIniPath().string()
            << " is used.\n";
  return kPortOrUsageError;
}

// The value of `--name VALUE` options; nothing when an option is unknown or lacks its value.
std::optional<std::string> portOption(Args args) {
  std::string port;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--port" || i + 1 >= args.size()) return std::nullopt;
    port = args[++i];
  }
  return port;
}

// A port name ("COM1" to "COM4") goes through Com.ini to its device; anything else is a device.
std::string deviceOf(const std::string& port) {
  const std::filesystem::path comIni = rcp::link::comIniPath();
  if (port.empty()) return rcp::link::portDevice(comIni, rcp::link::readPortName(comIni));
  if (rcp::link::normalisePortName(port) == port) {
    return rcp::link::portDevice(comIni, port);
  }
  return port;
}

int runInfo(Args args) {
  const auto port = portOption(args);
  if (!port) return usage();

  rcp::link::SerialPort serial;
  rcp::link::RealClock clock;
  rcp::link::RadioIdentity identity{};
  switch (rcp::link::openPort(serial, clock, deviceOf(*port), identity)) {
    case rcp::link::PortOpening::PortBusy:
      std::cerr << rcp::link::kPortBusyMessage << '\n';
      return kPortOrUsageError;
    case rcp::link::PortOpening::NoRadio:
      std::cerr << rcp::link::kNoRadioMessage << '\n';
      return kNoRadio;
    case rcp::link::PortOpening::RadioAnswered:
      break;
  }
  const auto identification = rcp::link::identify(identity, rcp::link::IdentifyPurpose::StartUp);
  std::cout << rcp::link::identityText(identity) << '\n' << identification.model->caption << '\n';
  return kRadioAnswered;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (args.empty()) return usage();
  for (const Subcommand& command : kSubcommands) {
    if (command.name == args.front()) return command.run(Args(args).subspan(1));
  }
  return usage();
}
