// rcp520-cli: the programming tool's radio link, transfers and data files from a terminal.

#include <unistd.h>

#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <utility>

#include "app/cli_check.hpp"
#include "app/cli_diff.hpp"
#include "app/cli_transfers.hpp"
#include "app/ports_command.hpp"
#include "app/terminal_services.hpp"
#include "app/trace_setup.hpp"
#include "common/command_line.hpp"
#include "link/com_ini.hpp"

namespace {

using rcp::app::kExitUsageFileOrPort;

static_assert(rcp::apps::kExitUsage == kExitUsageFileOrPort);

// A port name ("COM1" to "COM4") goes through Com.ini to its device; anything else is a device.
std::string deviceOf(const std::string& port) {
  const std::filesystem::path comIni = rcp::link::comIniPath();
  if (port.empty()) return rcp::link::portDevice(comIni, rcp::link::readPortName(comIni));
  if (rcp::link::normalisePortName(port) == port) {
    return rcp::link::portDevice(comIni, port);
  }
  return port;
}

// What the command line asked for: the options of the program and of every subcommand, and
// what the chosen subcommand runs.
struct Request {
  std::string port;   // --port of info, read and write; empty for the one in Com.ini
  std::string model;  // --model of image; empty for HX33
  std::string file;   // the data file of read, write and image
  bool probe = false;  // --probe of ports
  std::string trace;   // --trace, else RCP520_TRACE: the protocol trace's file; empty for none
  std::function<int()> run;

  rcp::app::CliStreams streams() const {
    return {std::cout, std::cerr, isatty(STDERR_FILENO) == 1, trace};
  }
};

constexpr const char* kPortHelp =
    "The radio's serial port: a device (/dev/ttyUSB0) or COM1..COM4 (default: Com.ini's port)";

// Each subcommand is added by one function: its name, a line of what it does, its usage line,
// its options, and what it runs once the command line is parsed.
void addPortOption(CLI::App& command, Request& request) {
  command.add_option("--port", request.port, kPortHelp)
      ->type_name("DEVICE|COM1..COM4")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void addFile(CLI::App& command, Request& request, const std::string& help) {
  command.add_option("file", request.file, help)->type_name("FILE.ini")->required();
}

// What the subcommand runs when it is the one given.
void runs(CLI::App& command, Request& request, std::function<int()> run) {
  command.callback([&request, run = std::move(run)] { request.run = run; });
}

void addInfo(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand("info", "Greet the radio, show its identity and model",
                                      "[--port DEVICE|COM1..COM4]");
  addPortOption(*command, request);
  runs(*command, request,
       [&request] { return rcp::app::cliInfo(deviceOf(request.port), request.streams()); });
}

void addRead(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand("read", "Read the radio into a data file",
                                      "[--port DEVICE|COM1..COM4] FILE.ini");
  addPortOption(*command, request);
  addFile(*command, request, "The data file to save (through a symbolic link, its target)");
  runs(*command, request,
       [&request] {
         return rcp::app::cliRead(deviceOf(request.port), request.file, request.streams());
       });
}

void addWrite(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand("write", "Write a data file into the radio",
                                      "[--port DEVICE|COM1..COM4] FILE.ini");
  addPortOption(*command, request);
  addFile(*command, request, "The data file to write");
  runs(*command, request,
       [&request] {
         return rcp::app::cliWrite(deviceOf(request.port), request.file, request.streams());
       });
}

void addImage(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand(
      "image", "Print the memory a write of the data file leaves in a radio of the model",
      "[--model NAME] FILE.ini");
  command->add_option("--model", request.model, "The radio model (default: HX33)")
      ->type_name("NAME")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  addFile(*command, request, "The data file to write");
  runs(*command, request, [&request] {
    return rcp::app::cliImage(request.model.empty() ? "HX33" : request.model, request.file,
                              request.streams());
  });
}

void addCheck(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand(
      "check", "Run every field's own rule over a data file and print what it warns of",
      "FILE.ini");
  addFile(*command, request, "The data file to check");
  command->footer("Exit status: 0 nothing warned, 1 something warned, 2 the file does not open");
  runs(*command, request,
       [&request] { return rcp::app::cliCheck(request.file, request.streams()); });
}

void addDiff(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand(
      "diff",
      "Compare two data files, or a data file and the radio, field by field; or the memories a "
      "write of each file leaves",
      "[--port DEVICE|COM1..COM4] [--image [--model NAME]] A.ini|radio B.ini|radio");
  auto diff = std::make_shared<rcp::app::DiffRequest>();
  command->add_option("a", diff->a, "The first data file, or radio")->type_name("A")->required();
  command->add_option("b", diff->b, "The second data file, or radio")->type_name("B")->required();
  addPortOption(*command, request);
  command->add_flag("--image", diff->image,
                    "Compare the memories a write of each file leaves in a radio, byte by byte");
  command->add_option("--model", diff->model, "The radio model of --image (default: HX33)")
      ->type_name("NAME")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  command->footer(
      "A side named radio is read from the radio on --port, as read reads it.\n"
      "Exit status: 0 equal, 1 different, 2 a file does not open; a radio that does not answer\n"
      "or a read that fails end it as read does");
  runs(*command, request, [&request, diff] {
    diff->device = deviceOf(request.port);
    return rcp::app::cliDiff(*diff, request.streams());
  });
}

void addPorts(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand(
      "ports", "List the serial devices, whether each may be opened and who holds it",
      "[--probe]");
  command->add_flag("--probe", request.probe,
                    "Greet each free device (9600 8N1, the start-up greeting) and show the model "
                    "that answers");
  runs(*command, request,
       [&request] { return rcp::app::cliPorts({request.probe}, request.streams()); });
}

// The protocol trace is an option of the program, accepted before or after the command.
void addTrace(CLI::App& app, Request& request) {
  app.add_option(rcp::app::kTraceOption, request.trace,
                 "Write a protocol trace of the serial line into FILE")
      ->type_name("FILE")
      ->envname(rcp::app::kTraceVariable)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

constexpr const char* kFooter =
    "Each command has its own --help.\n"
    "\n"
    "Com.ini is ${XDG_CONFIG_HOME:-~/.config}/rcp520/Com.ini, as the desktop tool keeps it: its\n"
    "section ComStatus names the port (COM1 to COM4), its section ComDevices the device behind\n"
    "each port name (without it, /dev/ttyS0 to /dev/ttyS3).\n"
    "\n"
    "Exit status:\n"
    "  0      success\n"
    "  1      the radio is absent or the transfer failed (a read in which a request got\n"
    "         no answer at all has failed and saves nothing)\n"
    "  2      usage, file or port errors and any other error in the input (the message\n"
    "         is printed)\n"
    "  128+N  a read or a write ended by signal N: Ctrl+C, SIGTERM and SIGHUP are held\n"
    "         until the transfer ends, a second one ends the tool at once";

}  // namespace

int main(int argc, char** argv) {
  rcp::apps::CommandLine line("rcp520-cli",
                              "The RCP520 programming tool's transfers and data files from a "
                              "terminal, for MPT 1327 trunked radios.");
  CLI::App& app = line.app();
  line.usage(app, "COMMAND [OPTIONS]");
  app.require_subcommand(1);

  // Each subcommand adds itself; a global option is one add_option on `app` here.
  Request request;
  addInfo(line, request);
  addRead(line, request);
  addWrite(line, request);
  addImage(line, request);
  addPorts(line, request);
  addCheck(line, request);
  addDiff(line, request);
  addTrace(app, request);
  app.footer(kFooter);

  if (const auto ended = line.parse(argc, argv)) return *ended;
  // Whatever input reaches a check that throws ends as a message, never as an abort.
  try {
    return request.run();
  } catch (const std::exception& e) {
    rcp::app::TerminalLines(std::cerr, false).line(e.what());
    return kExitUsageFileOrPort;
  }
}
