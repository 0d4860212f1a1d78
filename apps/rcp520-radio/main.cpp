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
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/pty_radio.hpp"
#include "sim/radio_models.hpp"
#include "sim/virtual_radio.hpp"

namespace {

constexpr std::string_view kUsage =
    "usage: rcp520-radio [--model NAME | --identity TEXT] [--memory FILE] [--link PATH]\n"
    "                    [--trace FILE] [--silent] [--no-ack-after K] [--delay MS]\n"
    "                    [--skip-read N] [--silent-after-reads N] [--silent-after-writes N]\n"
    "models: HX77 MX541 MX542 MX543 MX521 MX522 MX520 HX34s HX34 HX33 (default HX33)\n";

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

std::optional<int> number(std::string_view text) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<Options> parse(int argc, char** argv) {
  Options options;
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--silent") {
      options.silent = true;
    } else if (!hasValue) {
      return std::nullopt;
    } else if (arg == "--model") {
      options.model = args[++i];
    } else if (arg == "--identity") {
      options.identity = std::string(args[++i]);
    } else if (arg == "--memory") {
      options.memoryFile = args[++i];
    } else if (arg == "--link") {
      options.linkPath = args[++i];
    } else if (arg == "--trace") {
      options.traceFile = args[++i];
    } else if (arg == "--no-ack-after") {
      options.ackChunks = number(args[++i]);
      if (!options.ackChunks) return std::nullopt;
    } else if (arg == "--delay") {
      options.delayMs = number(args[++i]);
      if (!options.delayMs) return std::nullopt;
    } else if (arg == "--skip-read") {
      options.skippedRead = number(args[++i]);
      if (!options.skippedRead) return std::nullopt;
    } else if (arg == "--silent-after-reads") {
      options.silentAfterReads = number(args[++i]);
      if (!options.silentAfterReads) return std::nullopt;
    } else if (arg == "--silent-after-writes") {
      options.silentAfterWrites = number(args[++i]);
      if (!options.silentAfterWrites) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  return options;
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

int serveRadio(int argc, char** argv) {
  const auto options = parse(argc, argv);
  if (!options) {
    std::cerr << kUsage;
    return 2;
  }
  const auto identity = options->identity ? rcp::sim::identityFromText(*options->identity)
                                          : rcp::sim::identityOfModel(options->model);
  if (!identity) {
    std::cerr << "rcp520-radio: unknown model " << options->model << '\n' << kUsage;
    return 2;
  }

  rcp::sim::VirtualRadio radio(*identity);
  radio.faults().silent = options->silent;
  radio.faults().ackChunks = options->ackChunks;
  radio.faults().skippedRead = options->skippedRead;
  radio.faults().silentAfterReads = options->silentAfterReads;
  radio.faults().silentAfterWrites = options->silentAfterWrites;
  if (options->delayMs) {
    rcp::sim::RadioTiming timing = radio.timing();
    timing.processingDelay = std::max<rcp::sim::Micros>(timing.burstGap, *options->delayMs * 1000);
    radio.setTiming(timing);
  }
  if (!options->memoryFile.empty()) loadMemory(options->memoryFile, radio.memory());

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
  if (!options->linkPath.empty()) {
    if (const auto error = pty.linkAs(options->linkPath)) {
      std::cerr << "rcp520-radio: " << *error << '\n';
      return 1;
    }
  }
  std::ofstream trace;
  if (!options->traceFile.empty()) {
    trace.open(options->traceFile, std::ios::trunc);
    if (!trace) {
      std::cerr << "rcp520-radio: cannot write " << options->traceFile << '\n';
      return 1;
    }
    pty.traceTo(&trace);
  }
  pty.onBulkWrite([&] { saveMemory(options->memoryFile, radio.memory()); });

  std::cout << pty.slavePath() << std::endl;
  pty.serve(stopFd);
  saveMemory(options->memoryFile, radio.memory());
  close(stopFd);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return serveRadio(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "rcp520-radio: " << e.what() << '\n';
    return 2;
  }
}
