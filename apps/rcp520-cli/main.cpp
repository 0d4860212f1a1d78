// rcp520-cli: the programming tool's radio link, transfers and data files from a terminal.

#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/backups.hpp"
#include "cli/check.hpp"
#include "cli/console.hpp"
#include "cli/diff.hpp"
#include "cli/fleet.hpp"
#include "cli/history.hpp"
#include "cli/history_restore.hpp"
#include "cli/history_show.hpp"
#include "cli/image.hpp"
#include "cli/info.hpp"
#include "cli/ports.hpp"
#include "cli/read.hpp"
#include "cli/terminal_services.hpp"
#include "cli/where.hpp"
#include "cli/write.hpp"
#include "common/command_line.hpp"
#include "link/com_ini.hpp"
#include "link/path_text.hpp"
#include "program/trace_setup.hpp"
#include "safety/backups.hpp"
#include "safety/state_folder.hpp"

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

// Stores an option's text (UTF-8) as a path: never through the narrow path constructor, which on
// Windows reads the ANSI code page.
std::function<void(const std::string&)> pathInto(std::filesystem::path& path) {
  return [&path](const std::string& text) { path = rcp::link::pathOf(text); };
}

// What the command line asked for: the options of the program and of every subcommand, and
// what the chosen subcommand runs.
struct Request {
  std::string port;    // --port of info, read and write; empty for the one in Com.ini
  std::string model;   // --model of image (HX33 unless given)
  std::string file;    // the data file of read, write and image
  std::string query;   // the address, field or data-file key of where
  bool probe = false;  // --probe of ports
  // --backup/--no-backup and --verify/--no-verify of write (unset: Com.ini's), --no-backup of read
  std::optional<bool> backupBefore;
  std::optional<bool> verifyAfter;
  bool noReadBackup = false;
  rcp::app::FleetRequest fleet;    // fleet's template, numbers or table, log
  rcp::app::HistoryQuery history;  // the filters of history
  std::string entry;               // the history's event of show, export and restore
  std::string trace;  // --trace, else RCP520_TRACE: the protocol trace's file; empty for none
  std::function<int()> run;

  rcp::app::CliStreams streams() const {
    return {std::cout, std::cerr, rcp::app::stderrIsTerminal(), trace};
  }
  rcp::app::CliSafety safety() const {
    return {!noReadBackup, backupBefore, verifyAfter, rcp::app::defaultBackupsFolder(),
            rcp::app::defaultHistoryFile()};
  }
  static rcp::app::HistoryPlace historyPlace() {
    return {rcp::app::defaultHistoryFile(), rcp::app::defaultBackupsFolder()};
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

// "--NAME" and "--no-NAME": the last one given wins; neither leaves the value unset.
void addSwitch(CLI::App& command, const std::string& name, std::optional<bool>& value,
               const std::string& help) {
  command.add_flag_function(
      "--" + name + ",!--no-" + name, [&value](std::int64_t count) { value = count > 0; }, help);
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
  command->add_flag("--no-backup", request.noReadBackup,
                    "Do not keep a copy of what was read in the backups folder");
  runs(*command, request, [&request] {
    return rcp::app::cliRead(deviceOf(request.port), rcp::link::pathOf(request.file),
                             request.streams(), request.safety());
  });
}

void addWrite(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand(
      "write", "Write a data file into the radio",
      "[--port DEVICE|COM1..COM4] [--backup|--no-backup] [--verify|--no-verify] FILE.ini");
  addPortOption(*command, request);
  addFile(*command, request, "The data file to write");
  addSwitch(*command, "backup", request.backupBefore,
            "Read the radio into a backup before writing; the write starts only when it succeeded "
            "(default: the desktop tool's setting in Com.ini)");
  addSwitch(*command, "verify", request.verifyAfter,
            "Read the radio back after writing and compare every byte written; a difference "
            "exits 3 (default: the desktop tool's setting in Com.ini)");
  runs(*command, request, [&request] {
    return rcp::app::cliWrite(deviceOf(request.port), rcp::link::pathOf(request.file),
                              request.streams(), request.safety());
  });
}

void addFleet(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand(
      "fleet", "Write one template into many radios, each with its own individual number",
      "[--port DEVICE|COM1..COM4] TEMPLATE.ini --numbers FIRST-LAST|--table FILE.csv "
      "[--log FILE.csv] [--model NAME] [--verify] [--backup] [--skip-failed]");
  addPortOption(*command, request);
  command
      ->add_option_function<std::string>("template", pathInto(request.fleet.templ),
                                         "The data file every radio gets")
      ->type_name("TEMPLATE.ini")
      ->required();
  auto* numbers = command
                      ->add_option("--numbers", request.fleet.numbers,
                                   "The individual numbers, one radio each, in order")
                      ->type_name("FIRST-LAST");
  auto* table = command
                    ->add_option_function<std::string>(
                        "--table", pathInto(request.fleet.table),
                        "A table of radios (UTF-8 or GB2312): a header of data-file "
                        "keys including Indivol, then one radio a row")
                    ->type_name("FILE.csv");
  numbers->excludes(table);
  command
      ->add_option_function<std::string>(
          "--log", pathInto(request.fleet.log),
          "Append a row per radio; rerunning with the same log skips the numbers "
          "written")
      ->type_name("FILE.csv");
  command
      ->add_option("--model", request.fleet.model,
                   "Write only radios of this model (HX33, ...); a radio of another model is "
                   "named and left unwritten, and the run waits for the next radio")
      ->type_name("NAME");
  command->add_flag("--skip-failed", request.fleet.skipFailed,
                    "Give a failed radio's number up instead of trying it on the next radio");
  addSwitch(*command, "backup", request.backupBefore, "Read each radio into a backup first");
  addSwitch(*command, "verify", request.verifyAfter, "Read each radio back and compare");
  command->footer(
      "The table's header names data-file keys (Indivol, StartUp-Infomation, StartUp-Password,\n"
      "TA, ...), each once; any other column, a repeated number or a row without its number\n"
      "refuses the table before anything is sent. At most 10000 radios a run.\n"
      "Each radio is read before it is written: one that already holds a number this run\n"
      "wrote is not written again. A radio written whose verification did not pass keeps its\n"
      "number: on a terminal you are asked to write it again, keep it or stop; without a\n"
      "terminal on standard input the run stops there (exit 1), and a rerun from the same log\n"
      "gives that number to no other radio.");
  runs(*command, request, [&request] {
    if (request.fleet.numbers.empty() && request.fleet.table.empty()) {
      rcp::app::TerminalLines(std::cerr, false)
          .line("rcp520-cli: fleet 需要 --numbers 或 --table 之一");
      return kExitUsageFileOrPort;
    }
    return rcp::app::cliFleet(deviceOf(request.port), request.fleet, request.streams(),
                              request.safety());
  });
}

void addBackups(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command =
      line.subcommand("backups", "List the backups the reads kept, newest first", "");
  runs(*command, request,
       [&request] { return rcp::app::cliBackups(Request::historyPlace(), request.streams()); });
}

// "history" lists; its subcommands show, export, compare and write back one event.
void addHistory(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand(
      "history",
      "List the service history: every read, write, verification, restore and fleet radio",
      "[--number N] [--model M] [--since DATE] [--until DATE] [--fleet RUN] [--result R] "
      "[--json] | show ID | export ID FILE.ini | diff A B | restore ID [--port P] [--verify]");
  rcp::app::HistoryQuery& query = request.history;
  command
      ->add_option("--number", query.number,
                   "Events of the radio with this individual number "
                   "(before or after)")
      ->type_name("N");
  command->add_option("--model", query.model, "Events of radios of this model")->type_name("M");
  command->add_option("--since", query.since, "From this local date or time (2026-12-09 14:00)")
      ->type_name("DATE");
  command->add_option("--until", query.until, "Up to this date (the whole day) or time")
      ->type_name("DATE");
  command->add_option("--fleet", query.fleet, "The radios of one fleet run, as its log shows them")
      ->type_name("RUN");
  command
      ->add_option("--result", query.result,
                   "done, failed, verified, mismatch, unverified or cancelled")
      ->type_name("R");
  command->add_flag("--json", query.json, "An array of objects, for scripts");
  command->callback([&request, command] {
    if (command->get_subcommands().empty())
      request.run = [&request] {
        return rcp::app::cliHistory(Request::historyPlace(), request.history, request.streams());
      };
  });
  CLI::App* show =
      command->add_subcommand("show", "Print an event and its configuration as a data file");
  show->add_option("id", request.entry, "The event's number (#12 or 12)")->required();
  runs(*show, request, [&request] {
    return rcp::app::cliHistoryShow(Request::historyPlace(), request.entry, request.streams());
  });
  CLI::App* save =
      command->add_subcommand("export", "Save an event's configuration as a data file");
  save->add_option("id", request.entry, "The event's number")->required();
  addFile(*save, request, "The data file to save");
  runs(*save, request, [&request] {
    return rcp::app::cliHistoryExport(Request::historyPlace(), request.entry, request.file,
                                      request.streams());
  });
  CLI::App* compare = command->add_subcommand(
      "diff",
      "Compare two of: an event (#12), a data file, the radio; field by field as diff does");
  auto diff = std::make_shared<rcp::app::DiffRequest>();
  compare->add_option("a", diff->a, "An event's number, a data file, or radio")->required();
  compare->add_option("b", diff->b, "An event's number, a data file, or radio")->required();
  addPortOption(*compare, request);
  runs(*compare, request, [&request, diff] {
    diff->device = deviceOf(request.port);
    diff->history = rcp::app::defaultHistoryFile();
    return rcp::app::cliDiff(*diff, request.streams());
  });
  CLI::App* restore = command->add_subcommand(
      "restore", "Write an event's configuration back into the radio through the safe write");
  restore->add_option("id", request.entry, "The event's number")->required();
  addPortOption(*restore, request);
  addSwitch(*restore, "backup", request.backupBefore, "Read the radio into a backup first");
  addSwitch(*restore, "verify", request.verifyAfter, "Read the radio back and compare");
  runs(*restore, request, [&request] {
    return rcp::app::cliHistoryRestore(Request::historyPlace(), request.entry,
                                       deviceOf(request.port), request.streams(), request.safety());
  });
}

void addImage(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand(
      "image", "Print the memory a write of the data file leaves in a radio of the model",
      "[--model NAME] FILE.ini");
  request.model = "HX33";
  command->add_option("--model", request.model, "The radio model (default: HX33)")
      ->type_name("NAME")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  addFile(*command, request, "The data file to write");
  runs(*command, request, [&request] {
    return rcp::app::cliImage(request.model, rcp::link::pathOf(request.file), request.streams());
  });
}

void addCheck(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand(
      "check", "Run every field's own rule over a data file and print what it warns of",
      "FILE.ini");
  addFile(*command, request, "The data file to check");
  command->footer("Exit status: 0 nothing warned, 1 something warned, 2 the file does not open");
  runs(*command, request, [&request] {
    return rcp::app::cliCheck(rcp::link::pathOf(request.file), request.streams());
  });
}

void addDiff(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand(
      "diff",
      "Compare two data files, or a data file and the radio, field by field; or the memories a "
      "write of each file leaves",
      "[--port DEVICE|COM1..COM4] [--image [--model NAME]] A.ini|radio B.ini|radio");
  auto diff = std::make_shared<rcp::app::DiffRequest>();
  command->add_option_function<std::string>("a", pathInto(diff->a), "The first data file, or radio")
      ->type_name("A")
      ->required();
  command
      ->add_option_function<std::string>("b", pathInto(diff->b), "The second data file, or radio")
      ->type_name("B")
      ->required();
  addPortOption(*command, request);
  command->add_flag("--image", diff->image,
                    "Compare the memories a write of each file leaves in a radio, byte by byte");
  command->add_option("--model", diff->model, "The radio model of --image (default: HX33)")
      ->type_name("NAME")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  command->footer(
      "A side named radio is read from the radio on --port, as read reads it; a side #12 is\n"
      "that event of the service history (see history).\n"
      "Exit status: 0 equal, 1 different, 2 a file does not open; a radio that does not answer\n"
      "or a read that fails end it as read does");
  runs(*command, request, [&request, diff] {
    diff->device = deviceOf(request.port);
    diff->history = rcp::app::defaultHistoryFile();
    return rcp::app::cliDiff(*diff, request.streams());
  });
}

void addPorts(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand(
      "ports", "List the serial devices, whether each may be opened and who holds it", "[--probe]");
  command->add_flag("--probe", request.probe,
                    "Greet each free device (9600 8N1, the start-up greeting) and show the model "
                    "that answers");
  runs(*command, request,
       [&request] { return rcp::app::cliPorts({request.probe}, request.streams()); });
}

void addWhere(rcp::apps::CommandLine& line, Request& request) {
  CLI::App* command = line.subcommand(
      "where", "Show what lives at an address of the radio's memory, or where a field lives",
      "ADDRESS|FIELD|KEY");
  command
      ->add_option("query", request.query,
                   "An address (0x0CF, 0CF or 207), a field name (TA) or a data-file key")
      ->type_name("ADDRESS|FIELD|KEY")
      ->required();
  command->footer(
      "An address gives each field (or filler) stored there: its place on the window, its\n"
      "data-file keys and how the bytes hold it. A field or key gives its addresses.\n"
      "Exit status: 0 answered, 2 neither an address of the memory nor a field or key");
  runs(*command, request,
       [&request] { return rcp::app::cliWhere(request.query, request.streams()); });
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
    "Com.ini is ${XDG_CONFIG_HOME:-~/.config}/rcp520/Com.ini (on Windows\n"
    "%APPDATA%\\rcp520\\Com.ini, or C:\\Com.ini when only that one exists), as the desktop\n"
    "tool keeps it: its section ComStatus names the port (COM1 to COM4), its section ComDevices\n"
    "the device behind each port name (without it, /dev/ttyS0 to /dev/ttyS3; on Windows COM1\n"
    "to COM4 themselves, or any COMn the section names); its section Options keeps the\n"
    "write's safety (BackupBeforeWrite, VerifyAfterWrite: 1 or 0).\n"
    "\n"
    "The state folder is ${XDG_STATE_HOME:-~/.local/state}/rcp520 (on Windows\n"
    "%LOCALAPPDATA%\\rcp520). Every successful read keeps a copy in its backups folder (the\n"
    "newest 500 are kept). Every read, write, verification, restore and fleet radio is\n"
    "recorded in the service history, history.sqlite there (see history).\n"
    "\n"
    "Exit status:\n"
    "  0      success\n"
    "  1      the radio is absent or the transfer failed (a read in which a request got\n"
    "         no answer at all has failed and saves nothing); fleet: a radio failed, or\n"
    "         the run stopped with radios left\n"
    "  2      usage, file or port errors and any other error in the input (the message\n"
    "         is printed)\n"
    "  3      write --verify: the radio gave back other bytes than were written (the\n"
    "         fields are listed)\n"
    "  4      write --verify: the write completed but the read-back did not (the radio\n"
    "         fell silent or sent what cannot be read); the radio was not verified\n"
    "  128+N  a read, a write or a fleet ended by signal N (130 after Ctrl+C): Ctrl+C,\n"
    "         SIGTERM and SIGHUP are held until the transfer ends (this code then wins\n"
    "         over a failure's), a second one ends the tool at once; during the backup\n"
    "         read before a write nothing is written";

// One example a command, shown at the end of its help.
constexpr std::pair<const char*, const char*> kExamples[] = {
    {"info", "rcp520-cli info --port /dev/ttyUSB0"},
    {"read", "rcp520-cli read --port COM1 radio.ini"},
    {"write", "rcp520-cli write --port /dev/ttyUSB0 --backup --verify radio.ini"},
    {"image", "rcp520-cli image --model HX34s radio.ini"},
    {"ports", "rcp520-cli ports --probe"},
    {"backups", "rcp520-cli backups"},
    {"history", "rcp520-cli history --number 3262001203 --since 2026-01-01"},
    {"fleet",
     "rcp520-cli fleet --port /dev/ttyUSB0 template.ini --numbers 3262001201-3262001250 "
     "--log fleet.csv --verify"},
    {"check", "rcp520-cli check radio.ini"},
    {"diff", "rcp520-cli diff radio radio.ini"},
    {"where", "rcp520-cli where 0x0CF"},
};

void addExamples(CLI::App& app) {
  for (const auto& [name, example] : kExamples) {
    CLI::App* command = app.get_subcommand(name);
    const std::string footer = command->get_footer();
    command->footer((footer.empty() ? "" : footer + "\n") + "Example: " + example);
  }
}

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
  addBackups(line, request);
  addHistory(line, request);
  addFleet(line, request);
  addCheck(line, request);
  addDiff(line, request);
  addWhere(line, request);
  addTrace(app, request);
  addExamples(app);
  app.footer(kFooter);

  std::vector<std::string> arguments = rcp::app::utf8Arguments(argc, argv);
  std::vector<char*> pointers = rcp::app::argumentPointers(arguments);
  if (const auto ended = line.parse(static_cast<int>(arguments.size()), pointers.data()))
    return *ended;
  // Whatever input reaches a check that throws ends as a message, never as an abort.
  try {
    return request.run();
  } catch (const std::exception& e) {
    rcp::app::TerminalLines(std::cerr, false).line(e.what());
    return kExitUsageFileOrPort;
  }
}
