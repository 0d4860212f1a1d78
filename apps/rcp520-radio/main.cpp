// rcp520-radio: a virtual radio on a pseudo-terminal, for demonstrations without hardware and
// for end-to-end tests of the programming tool.

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/command_line.hpp"
#include "link/file_stream.hpp"
#include "link/private_files.hpp"
#include "sim/dedicated_processors.hpp"
#include "sim/memory_file.hpp"
#include "sim/pty_radio.hpp"
#include "sim/radio_fleet.hpp"
#include "sim/radio_models.hpp"
#include "sim/virtual_radio.hpp"

namespace {

constexpr const char* kUsage = "[--model NAME | --identity TEXT] [OPTIONS]";

constexpr const char* kModels = "HX77 MX541 MX542 MX543 MX521 MX522 MX520 HX34s HX34 HX33";

struct Options {
  std::string model = "HX33";
  std::optional<std::string> identity;
  std::string memoryFile;
  std::string linkPath;
  std::string traceFile;
  bool silent = false;
  std::optional<int> ackChunks;
  std::optional<int> delayMs;
  std::optional<int> skippedRead;
  std::optional<int> silentAfterReads;
  std::optional<int> silentAfterWrites;
  std::optional<int> stopAt;
  std::string stopSeconds = "3";
  std::vector<std::string> corruptAddresses;
  std::optional<int> fleet;
  std::string swapSeconds = "3";
};

// A count: one to six decimal digits, nothing else.
std::optional<int> number(std::string_view text) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// A memory address: hexadecimal after "0x" (0x0CF) or decimal (207), below 1024.
std::optional<std::uint16_t> address(std::string_view text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (hex) text.remove_prefix(2);
  if (text.empty() || text.size() > 4) return std::nullopt;
  unsigned value = 0;
  for (const char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);
  }
  if (value >= rcp::sim::VirtualRadio::kMemorySize) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

// Seconds with an optional fraction ("3", "0.25"), up to a day, as microseconds.
std::optional<rcp::sim::Micros> seconds(std::string_view text) {
  const auto point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  const auto digitsOnly = [](std::string_view part) {
    return part.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (whole.empty() || whole.size() > 5 || !digitsOnly(whole) || !digitsOnly(fraction) ||
      (point != std::string_view::npos && fraction.empty()) || fraction.size() > 6)
    return std::nullopt;
  rcp::sim::Micros micros = std::stoll(std::string(whole)) * 1000000;
  rcp::sim::Micros scale = 100000;
  for (const char c : fraction) {
    micros += (c - '0') * scale;
    scale /= 10;
  }
  if (micros > rcp::sim::Micros{86400} * 1000000) return std::nullopt;
  return micros;
}

// An option taking a count into `target`.
void addCount(CLI::App& app, const std::string& name, const std::string& unit,
              std::optional<int>& target, const std::string& help) {
  app.add_option_function<std::string>(
         name, [&target](const std::string& text) { target = number(text); }, help)
      ->type_name(unit)
      ->check(CLI::Validator(
          [](std::string& text) {
            return number(text) ? std::string()
                                : "a number of 0 to 999999 is expected, not " + text;
          },
          "", "count"))
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

// A count of 1 or more ("--fleet N") and the seconds that go with it, given only with the count
// ("--swap-seconds S").
struct PositiveCount {
  const char* name;
  std::optional<int>& target;
  const char* help;
};
struct SecondsOfCount {
  const char* name;
  std::string& target;
  const char* help;
};
void addCountAndSeconds(CLI::App& app, const PositiveCount& count, const SecondsOfCount& length) {
  CLI::Option* option = app.add_option_function<std::string>(
      count.name, [&target = count.target](const std::string& text) { target = number(text); },
      count.help);
  option->type_name("N")
      ->check(CLI::Validator(
          [](std::string& text) {
            const auto n = number(text);
            return n && *n > 0 ? std::string() : "a number of 1 to 999999 is expected, not " + text;
          },
          "", "count"))
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.add_option(length.name, length.target, length.help)
      ->type_name("S")
      ->needs(option)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
      ->check(CLI::Validator(
          [](std::string& text) {
            return seconds(text)
                       ? std::string()
                       : "seconds of 0 to 86400 (such as 3 or 0.5) are expected, not " + text;
          },
          "", "seconds"));
}

void addText(CLI::App& app, const std::string& name, const std::string& unit, std::string& target,
             const std::string& help) {
  app.add_option(name, target, help)
      ->type_name(unit)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void saveMemory(const std::string& file, const rcp::sim::VirtualRadio::Memory& memory) {
  if (file.empty()) return;
  if (const auto error = rcp::sim::saveMemoryFile(file, memory))
    std::cerr << "rcp520-radio: " << *error << '\n';
}

rcp::sim::RadioFaults faultsOf(const Options& options) {
  rcp::sim::RadioFaults faults;
  faults.silent = options.silent;
  faults.ackChunks = options.ackChunks;
  faults.skippedRead = options.skippedRead;
  faults.silentAfterReads = options.silentAfterReads;
  faults.silentAfterWrites = options.silentAfterWrites;
  if (options.stopAt)
    faults.pause = rcp::sim::RadioPause{*options.stopAt, *seconds(options.stopSeconds)};
  for (const auto& text : options.corruptAddresses)
    faults.corruptAddresses.push_back(*address(text));
  return faults;
}

rcp::sim::RadioTiming timingOf(const Options& options) {
  rcp::sim::RadioTiming timing;
  if (options.delayMs)
    timing.processingDelay = std::max<rcp::sim::Micros>(timing.burstGap, *options.delayMs * 1000);
  return timing;
}

// Opens the pseudo-terminal (and its link and trace), names its device on the first line of
// output and serves it until a stop signal; the exit code.
int serveLine(rcp::sim::PtyRadio& pty, const Options& options) {
  // SIGINT and SIGTERM end the service through a descriptor the loop polls.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
  const int stopFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
  if (stopFd < 0) {
    std::perror("rcp520-radio: signalfd");
    return 1;
  }

  if (const auto error = pty.open()) {
    std::cerr << "rcp520-radio: " << *error << '\n';
    return 1;
  }
  if (!options.linkPath.empty()) {
    if (const auto error = pty.linkAs(options.linkPath)) {
      std::cerr << "rcp520-radio: " << *error << '\n';
      return 1;
    }
  }
  std::unique_ptr<rcp::link::OutputFile> traceFile;
  std::unique_ptr<rcp::link::FileStream> trace;
  if (!options.traceFile.empty()) {
    traceFile = std::make_unique<rcp::link::OutputFile>(options.traceFile,
                                                        rcp::link::OutputFile::Start::Empty);
    if (!traceFile->ok()) {
      std::cerr << "rcp520-radio: 无法写入跟踪文件“" << options.traceFile << "”："
                << traceFile->reason() << '\n';
      return 1;
    }
    trace = std::make_unique<rcp::link::FileStream>(*traceFile);
    pty.traceTo(trace.get());
  }

  std::cout << pty.slavePath() << std::endl;
  // A real radio answers from dedicated hardware: where permitted, the virtual one is not kept
  // waiting behind the machine's time-shared work (the threads serving it inherit this).
  rcp::sim::raiseToRealTime();
  pty.serve(stopFd);
  close(stopFd);
  return 0;
}

int serveRadio(const Options& options, const rcp::link::RadioIdentity& identity) {
  // A device or a FIFO is never read as a memory nor replaced by one.
  if (!options.memoryFile.empty()) {
    if (const auto refusal = rcp::link::outputRefusal(options.memoryFile)) {
      std::cerr << "rcp520-radio: 无法使用存储文件“" << options.memoryFile << "”：" << *refusal
                << '\n';
      return 1;
    }
  }
  rcp::sim::VirtualRadio radio(identity, timingOf(options));
  radio.faults() = faultsOf(options);
  if (!options.memoryFile.empty()) rcp::sim::loadMemoryFile(options.memoryFile, radio.memory());
  rcp::sim::PtyRadio pty(radio);
  pty.onBulkWrite([&] { saveMemory(options.memoryFile, radio.memory()); });
  const int code = serveLine(pty, options);
  saveMemory(options.memoryFile, radio.memory());
  return code;
}

int serveFleet(const Options& options, const rcp::link::RadioIdentity& identity) {
  rcp::sim::RadioFleet::Setup setup;
  setup.identity = identity;
  setup.count = *options.fleet;
  setup.timing = timingOf(options);
  setup.faults = faultsOf(options);
  setup.swap = *seconds(options.swapSeconds);
  setup.directory = options.memoryFile;
  if (!setup.directory.empty()) {
    const auto error = rcp::link::makePrivateFolder(setup.directory);
    if (error) {
      std::cerr << "rcp520-radio: cannot make the memory directory " << *error << '\n';
      return 1;
    }
  }
  rcp::sim::RadioFleet fleet(setup, [](const std::string& line, bool failure) {
    if (failure) {
      std::cerr << "rcp520-radio: " << line << '\n';
    } else {
      std::cout << line << std::endl;
    }
  });
  rcp::sim::PtyRadio pty(fleet, setup.timing.burstGap);
  const int code = serveLine(pty, options);
  fleet.save();
  return code;
}

int serve(const Options& options) {
  const auto identity = options.identity ? rcp::sim::identityFromText(*options.identity)
                                         : rcp::sim::identityOfModel(options.model);
  if (!identity) {
    std::cerr << "rcp520-radio: unknown model " << options.model << '\n'
              << "models: " << kModels << '\n'
              << "Try 'rcp520-radio --help' for more information.\n";
    return rcp::apps::kExitUsage;
  }
  return options.fleet ? serveFleet(options, *identity) : serveRadio(options, *identity);
}

}  // namespace

int main(int argc, char** argv) {
  rcp::apps::CommandLine line(
      "rcp520-radio",
      "A virtual RCP520 radio on a pseudo-terminal, for trying the programming tool without "
      "hardware and for tests of it. It prints the pseudo-terminal's device on its first line and "
      "answers on it until SIGINT or SIGTERM.");
  CLI::App& app = line.app();
  line.usage(app, kUsage);
  app.footer(
      std::string("Models: ") + kModels + " (default HX33)\n\n" +
      "Exit status:\n"
      "  0      ended by SIGINT or SIGTERM\n"
      "  1      the pseudo-terminal, link, trace file or memory directory could not be made\n"
      "  2      usage errors, an unknown model and any other error in the input");
  Options options;
  addText(app, "--model", "NAME", options.model, "The model whose identity the radio answers with");
  app.add_option_function<std::string>(
         "--identity", [&options](const std::string& text) { options.identity = text; },
         "The identity to answer with instead of a model's")
      ->type_name("TEXT")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  addText(app, "--memory", "FILE|DIR", options.memoryFile,
          "The radio's memory: loaded when the file exists, saved after each write and at the "
          "end. With --fleet a directory (made when missing): radio k's memory in radio-k.bin, "
          "saved after each write and when it is unplugged");
  addText(app, "--link", "PATH", options.linkPath,
          "Make a symbolic link to the pseudo-terminal at PATH");
  addText(app, "--trace", "FILE", options.traceFile, "Every byte received and sent, into FILE");
  app.add_flag("--silent", options.silent, "Never answer");
  addCount(app, "--no-ack-after", "K", options.ackChunks,
           "Acknowledge only the first K bulk chunks of a write");
  addCount(app, "--delay", "MS", options.delayMs, "Answer every request MS milliseconds late");
  addCount(app, "--skip-read", "N", options.skippedRead, "Leave the N-th READ request unanswered");
  addCount(app, "--silent-after-reads", "N", options.silentAfterReads,
           "Fall silent for good after N READ commands");
  addCount(app, "--silent-after-writes", "N", options.silentAfterWrites,
           "Fall silent for good after N WRITE commands");
  addCountAndSeconds(app,
                     {"--stop-at", options.stopAt,
                      "Stop at the N-th request (from 1: every command, mode letter and bulk "
                      "chunk) for --stop-seconds, as if stopped and resumed: nothing is taken "
                      "nor answered meanwhile, and what arrived is then taken and answered"},
                     {"--stop-seconds", options.stopSeconds,
                      "With --stop-at, how long the radio stays stopped (default 3)"});
  app.add_option("--corrupt", options.corruptAddresses,
                 "Store the byte a write puts at ADDRESS (0x0CF or 207) inverted; may be given "
                 "more than once")
      ->type_name("ADDRESS")
      ->allow_extra_args(false)
      ->check(CLI::Validator(
          [](std::string& text) {
            return address(text)
                       ? std::string()
                       : "an address of 0 to 1023 (0x000 to 0x3FF) is expected, not " + text;
          },
          "", "address"));
  addCountAndSeconds(
      app,
      {"--fleet", options.fleet,
       "Be N radios connected one after another: each is unplugged once it has been written and "
       "the line has been quiet for a second, and the next is connected with a blank memory after "
       "the swap time; after the last the line stays silent"},
      {"--swap-seconds", options.swapSeconds,
       "With --fleet, how long the line is silent between two radios (default 3)"});

  if (const auto ended = line.parse(argc, argv)) return *ended;
  try {
    return serve(options);
  } catch (const std::exception& e) {
    std::cerr << "rcp520-radio: " << e.what() << '\n';
    return 2;
  }
}
