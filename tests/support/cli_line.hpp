#pragma once

#include <signal.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command.hpp"
#include "cli/held_signals_platform.hpp"
#include "link/clock.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"
#include "sim/virtual_radio.hpp"
#include "support/scoped_variable.hpp"
#include "support/temp_dir.hpp"

namespace rcp::test {

// The virtual clock, raising a signal in this process the first time the program looks at the
// time or pauses once a moment has come (the radio has handled a request, say): a person's
// Ctrl+C arriving at that point of a command.
class SignallingClock final : public link::Clock {
 public:
  struct Signal {
    int number;
    std::function<bool()> due;
  };
  explicit SignallingClock(link::VirtualClock& clock) : clock_(clock) {}
  void at(std::vector<Signal> signals) { signals_ = std::move(signals), next_ = 0; }
  std::size_t raised() const { return next_; }

  // A pause is looked at when it starts and when it ends.
  void pause(int ms) override {
    check();
    clock_.pause(ms);
    check();
  }
  std::int64_t nowMs() const override {
    check();
    return clock_.nowMs();
  }

 private:
  void check() const {
    while (next_ < signals_.size() && signals_[next_].due()) deliver(signals_[next_++].number);
  }
  static void deliver(int number) {
#ifdef _WIN32
    // Windows has no signal for Ctrl+C: its console handler hands the event on as this does.
    app::onHeldSignal(number);
#else
    ::raise(number);
#endif
  }
  link::VirtualClock& clock_;
  std::vector<Signal> signals_;
  mutable std::size_t next_ = 0;
};

// The command-line tool's commands run in process: on a simulated line, on a virtual clock that
// can raise signals, with Com.ini and the backups in a folder of their own.
struct CliRun {
  TempDir dir;
  // This user's Com.ini and backups under dir: config/rcp520/, state/rcp520/backups/.
#ifdef _WIN32
  ScopedVariable config{"APPDATA", (dir / "config").string()};
  ScopedVariable state{"LOCALAPPDATA", (dir / "state").string()};
#else
  ScopedVariable config{"XDG_CONFIG_HOME", (dir / "config").string()};
  ScopedVariable state{"XDG_STATE_HOME", (dir / "state").string()};
#endif
  link::VirtualClock virtualClock;
  SignallingClock clock{virtualClock};
  std::ostringstream out;
  std::ostringstream err;

  app::CliStreams io(link::Port& port) {
    app::CliStreams streams{out, err};
    streams.line = &port;
    streams.clock = &clock;
    return streams;
  }
  std::filesystem::path backups() const {
    return dir / "backups";
  }
  app::CliSafety safety(bool backupBefore = false, bool verifyAfter = false) const {
    return {true, backupBefore, verifyAfter, backups()};
  }
};

// The number of requests of this kind ("READ", "WRITE", "chunk", "Q") the radio has handled.
inline std::size_t handledBy(const sim::VirtualRadio& radio, std::string_view kind) {
  std::size_t n = 0;
  for (const auto& h : radio.handled()) n += h.text.starts_with(kind);
  return n;
}

// One virtual radio on the line.
struct CliLine : CliRun {
  sim::VirtualRadio radio;
  sim::SimulatedPort port{radio, virtualClock};

  explicit CliLine(std::string_view model = "HX33") : radio(*sim::identityOfModel(model)) {}
  app::CliStreams io() { return CliRun::io(port); }
  std::size_t handled(std::string_view kind) const { return handledBy(radio, kind); }
};

// A file's bytes, or nullopt when there is none.
inline std::optional<std::string> fileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace rcp::test
