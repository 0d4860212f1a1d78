// rcp520-radio: a virtual radio on a pseudo-terminal, for demonstrations without hardware and
// for end-to-end tests of the programming tool.

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "common/command_line.hpp"
#include "sim/pty_radio.hpp"
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

void addText(CLI::App& app, const std::string& name, const std::string& unit, std::string& target,
             const std::string& help) {
  app.add_option(name, target, help)
      ->type_name(unit)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void loadMemory(const std::string& file, rcp::sim::VirtualRadio::Memory& memory) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return;
  in.read(reinterpret_cast<char*>(memory.data()), static_cast<std::streamsize>(memory.size()));
}

void saveMemory(const std::string& file, const rcp::sim::VirtualRadio::Memory& memory) {
  if (file.empty()) return;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(memory.data()),
            static_cast<std::streamsize>(memory.size()));
  if (!out) std::cerr << "rcp520-radio: cannot write " << file << '\n';
}

}  // namespace

namespace {

int serveRadio(const Options& options) {
  const auto identity = options.identity ? rcp::sim::identityFromText(*options.identity)
                                         : rcp::sim::identityOfModel(options.model);
  if (!identity) {
    std::cerr << "rcp520-radio: unknown model " << options.model << '\n'
              << "models: " << kModels << '\n'
              << "Try 'rcp520-radio --help' for more information.\n";
    return rcp::apps::kExitUsage;
  }

  rcp::sim::VirtualRadio radio(*identity);
  radio.faults().silent = options.silent;
  radio.faults().ackChunks = options.ackChunks;
  radio.faults().skippedRead = options.skippedRead;
  radio.faults().silentAfterReads = options.silentAfterReads;
  radio.faults().silentAfterWrites = options.silentAfterWrites;
  if (options.delayMs) {
    rcp::sim::RadioTiming timing = radio.timing();
    timing.processingDelay = std::max<rcp::sim::Micros>(timing.burstGap, *options.delayMs * 1000);
    radio.setTiming(timing);
  }
  if (!options.memoryFile.empty()) loadMemory(options.memoryFile, radio.memory());

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

  rcp::sim::PtyRadio pty(radio);
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
  std::ofstream trace;
  if (!options.traceFile.empty()) {
    trace.open(options.traceFile, std::ios::trunc);
    if (!trace) {
      std::cerr << "rcp520-radio: cannot write " << options.traceFile << '\n';
      return 1;
    }
    pty.traceTo(&trace);
  }
  pty.onBulkWrite([&] { saveMemory(options.memoryFile, radio.memory()); });

  std::cout << pty.slavePath() << std::endl;
  pty.serve(stopFd);
  saveMemory(options.memoryFile, radio.memory());
  close(stopFd);
  return 0;
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
  app.footer(std::string("Models: ") + kModels + " (default HX33)\n\n" +
             "Exit status:\n"
             "  0      ended by SIGINT or SIGTERM\n"
             "  1      the pseudo-terminal, the link or the trace file could not be made\n"
             "  2      usage errors, an unknown model and any other error in the input");
  Options options;
  addText(app, "--model", "NAME", options.model, "The model whose identity the radio answers with");
  app.add_option_function<std::string>(
         "--identity", [&options](const std::string& text) { options.identity = text; },
         "The identity to answer with instead of a model's")
      ->type_name("TEXT")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  addText(app, "--memory", "FILE", options.memoryFile,
          "The radio's memory: loaded when the file exists, saved after each write and at the end");
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

  if (const auto ended = line.parse(argc, argv)) return *ended;
  try {
    return serveRadio(options);
  } catch (const std::exception& e) {
    std::cerr << "rcp520-radio: " << e.what() << '\n';
    return 2;
  }
}
