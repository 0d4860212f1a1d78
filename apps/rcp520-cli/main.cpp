// rcp520-cli: the programming tool's radio link, transfers and data files from a terminal.

#include <unistd.h>

#include <array>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli_transfers.hpp"
#include "app/ports_command.hpp"
#include "app/terminal_services.hpp"
#include "app/trace_setup.hpp"
#include "link/clock.hpp"
#include "link/com_ini.hpp"
#include "link/greeting.hpp"
#include "link/identification.hpp"
#include "link/port_opening.hpp"
#include "link/radio_identity.hpp"
#include "link/serial_port.hpp"

namespace {

using rcp::app::kExitDone;
using rcp::app::kExitNoRadioOrFailed;
using rcp::app::kExitUsageFileOrPort;

using Args = std::span<const std::string_view>;

struct Subcommand {
  std::string_view name;
  std::string_view usage;
  int (*run)(Args args);
};

int runInfo(Args args);
int runRead(Args args);
int runWrite(Args args);
int runImage(Args args);
int runPorts(Args args);

constexpr std::array<Subcommand, 5> kSubcommands = {{
    {"info", "info [--port DEVICE|COM1..COM4]   greet the radio, show its identity and model",
     runInfo},
    {"read", "read [--port DEVICE|COM1..COM4] FILE.ini   read the radio into a data file", runRead},
    {"write", "write [--port DEVICE|COM1..COM4] FILE.ini   write a data file into the radio",
     runWrite},
    {"image", "image [--model NAME] FILE.ini   print the memory a write of the data file leaves",
     runImage},
    {"ports", "ports [--probe]   list the serial devices; --probe greets each free one", runPorts},
}};

int usage() {
  std::cerr << "usage: rcp520-cli COMMAND [OPTIONS]\n";
  for (const Subcommand& command : kSubcommands) std::cerr << "  " << command.usage << '\n';
  std::cerr << "Without --port the port named in " << rcp::link::comIniPath().string()
            << " is used.\n";
  std::cerr << "--trace FILE (or RCP520_TRACE=FILE) writes a protocol trace.\n";
  return kExitUsageFileOrPort;
}

// The arguments of one command: `--name VALUE` options of the allowed name and at most `files`
// plain arguments; nothing when anything else is given.
struct Options {
  std::string option;  // the value of the option, empty when not given
  std::vector<std::string> files;
};

std::optional<Options> parse(Args args, std::string_view optionName, std::size_t files) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == optionName && i + 1 < args.size()) {
      options.option = args[++i];
    } else if (!args[i].starts_with("--") && options.files.size() < files) {
      options.files.emplace_back(args[i]);
    } else {
      return std::nullopt;
    }
  }
  if (options.files.size() != files) return std::nullopt;
  return options;
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

// The protocol trace's file, from --trace or RCP520_TRACE; empty for none.
std::string traceFile;

rcp::app::CliStreams streams() {
  return {std::cout, std::cerr, isatty(STDERR_FILENO) == 1, traceFile};
}

int runInfo(Args args) {
  const auto options = parse(args, "--port", 0);
  if (!options) return usage();
  return rcp::app::cliInfo(deviceOf(options->option), streams());
}

int runRead(Args args) {
  const auto options = parse(args, "--port", 1);
  if (!options) return usage();
  return rcp::app::cliRead(deviceOf(options->option), options->files.front(), streams());
}

int runWrite(Args args) {
  const auto options = parse(args, "--port", 1);
  if (!options) return usage();
  return rcp::app::cliWrite(deviceOf(options->option), options->files.front(), streams());
}

int runImage(Args args) {
  const auto options = parse(args, "--model", 1);
  if (!options) return usage();
  const std::string model = options->option.empty() ? "HX33" : options->option;
  return rcp::app::cliImage(model, options->files.front(), streams());
}

int runPorts(Args args) {
  const auto options = rcp::app::portsOptions(args);
  if (!options) return usage();
  return rcp::app::cliPorts(*options, streams());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  // The protocol trace: --trace FILE anywhere after the command, else RCP520_TRACE.
  const auto trace = rcp::app::takeTraceOption(args);
  if (!trace) return usage();
  traceFile = *trace;
  if (args.empty()) return usage();
  for (const Subcommand& command : kSubcommands) {
    if (command.name != args.front()) continue;
    // Whatever input reaches a check that throws ends as a message, never as an abort.
    try {
      return command.run(Args(args).subspan(1));
    } catch (const std::exception& e) {
      rcp::app::TerminalLines(std::cerr, false).line(e.what());
      return kExitUsageFileOrPort;
    }
  }
  return usage();
}
