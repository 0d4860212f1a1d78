// A full write, a full read, and a write with the backup before it and the verification after it
// against rcp520-radio over a pseudo-terminal, each measured against its protocol floor (for the
// safe write the floors of its read, write and read together) and for the processor time it uses.
//
//   transfers [RADIO]   RADIO defaults to the rcp520-radio beside this program
//
// The floor is what the sequences must wait out whatever the tool does: every pause they make,
// and for each read the radio's reaction when it asks for an answer not yet on its way (the
// radio runs with a reaction time of 5 ms) plus the 20 ms inter-byte time-out where fewer
// characters come than the read asks for. The pseudo-terminal does not pace bytes at 9600 baud,
// so no line time is added. The figures: wall time over the floor, and processor time (user +
// system, getrusage) over wall time. Limits: 3 % over the floor, 5 % of one core.
//
// Measure the Release build.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/device_port.hpp"
#include "cli/terminal_services.hpp"
#include "link/clock.hpp"
#include "program/program.hpp"
#include "window/bind.hpp"
#include "window/transfer_commands.hpp"

extern char** environ;

namespace {

constexpr int kReactionMs = 5;
constexpr int kByteGapMs = 20;
constexpr double kFloorLimitPercent = 3.0;
constexpr double kCpuLimitPercent = 5.0;

double nowMs() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

double cpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The real clock, counting the pauses the program makes.
class CountingClock final : public rcp::link::Clock {
 public:
  void pause(int ms) override {
    pausedMs += ms;
    sinceWriteMs += ms;
    clock_.pause(ms);
  }
  std::int64_t nowMs() const override { return clock_.nowMs(); }

  std::int64_t pausedMs = 0;
  std::int64_t sinceWriteMs = 0;  // pauses since the last write

 private:
  rcp::link::RealClock clock_;
};

// The device, with the floor of each read: the radio's reaction when a request went out since the
// last read without a pause long enough for the answer, and the inter-byte time-out of a read
// that gets fewer characters than it asks for.
class FlooredPort final : public rcp::link::Port {
 public:
  FlooredPort(std::string device, CountingClock& clock) : port_(std::move(device)), clock_(clock) {}
  bool open(const std::string& name) override { return port_.open(name); }
  void close() override { port_.close(); }
  bool isOpen() const override { return port_.isOpen(); }
  void purgeBoth() override { port_.purgeBoth(); }
  void purgeReceive() override { port_.purgeReceive(); }
  bool write(std::span<const std::uint8_t> bytes) override {
    requested_ = true;
    clock_.sinceWriteMs = 0;
    return port_.write(bytes);
  }
  std::size_t read(std::span<std::uint8_t> buffer) override {
    const std::size_t got = port_.read(buffer);
    if (requested_ && clock_.sinceWriteMs < kReactionMs) readFloorMs += kReactionMs;
    if (got < buffer.size()) readFloorMs += got ? kByteGapMs : kByteGapMs * (1 + buffer.size());
    requested_ = false;
    return got;
  }

  std::int64_t readFloorMs = 0;

 private:
  rcp::app::DevicePort port_;
  CountingClock& clock_;
  bool requested_ = false;
};

struct Radio {
  pid_t pid = -1;
  std::string device;
};

Radio startRadio(const std::string& program) {
  int out[2];
  if (pipe(out) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::vector<std::string> args = {program, "--delay", std::to_string(kReactionMs)};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  Radio radio;
  if (posix_spawn(&radio.pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
    radio.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  char c = 0;
  while (radio.pid > 0 && read(out[0], &c, 1) == 1 && c != '\n') radio.device += c;
  close(out[0]);
  return radio;
}

struct Figures {
  double wallMs;
  double floorMs;
  double cpuMs;
  double overFloor() const { return 100.0 * (wallMs - floorMs) / floorMs; }
  double cpuShare() const { return 100.0 * cpuMs / wallMs; }
};

Figures measure(CountingClock& clock, FlooredPort& port, const std::function<void()>& transfer) {
  clock.pausedMs = 0;
  port.readFloorMs = 0;
  const double cpu = cpuMs();
  const double start = nowMs();
  transfer();
  return {nowMs() - start, static_cast<double>(clock.pausedMs + port.readFloorMs), cpuMs() - cpu};
}

}  // namespace

int main(int argc, char** argv) {
  const std::string radioProgram =
      argc > 1 ? argv[1]
               : (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "rcp520-radio")
                     .string();
  const Radio radio = startRadio(radioProgram);
  if (radio.pid <= 0 || radio.device.empty()) {
    std::fprintf(stderr, "cannot start %s\n", radioProgram.c_str());
    return 2;
  }

  CountingClock clock;
  FlooredPort port(radio.device, clock);
  std::ostringstream messages;
  rcp::app::TerminalLines lines(messages, false);
  rcp::app::TerminalDialogs dialogs(lines);
  rcp::app::TerminalScreen screen(lines);
  rcp::app::Program program(
      rcp::app::Services{port,
                         clock,
                         dialogs,
                         screen,
                         std::filesystem::temp_directory_path() / "rcp520-bench-no-Com.ini",
                         {},
                         {},
                         std::filesystem::temp_directory_path() /
                             ("rcp520-bench-backups-" + std::to_string(getpid()))});
  rcp::app::startWithWindow(program);
  clock.pause(200);  // a user's pause before the first click

  rcp::app::TransferMemory memory;
  auto& state = program.state();
  rcp::image::TransferOutcome written{};
  rcp::image::TransferOutcome read{};
  const Figures write = measure(clock, port, [&] {
    written =
        rcp::app::WriteDataClick(state, memory, {}, rcp::app::RestoreOffer::PrintPath).outcome;
  });
  clock.pause(200);
  const Figures reading =
      measure(clock, port, [&] { read = rcp::app::ReadDataClick(state, memory).outcome; });
  // The safe write: a backup read, the write and a verifying read, each with its own floor.
  clock.pause(200);
  rcp::app::WriteReport safe{};
  const Figures guarded = measure(clock, port, [&] {
    safe = rcp::app::WriteDataClick(state, memory, {true, true}, rcp::app::RestoreOffer::PrintPath);
  });
  std::filesystem::remove_all(state.backups);

  kill(radio.pid, SIGTERM);
  waitpid(radio.pid, nullptr, 0);

  bool ok = written == rcp::image::TransferOutcome::Done &&
            read == rcp::image::TransferOutcome::Done &&
            safe.outcome == rcp::image::TransferOutcome::Done &&
            safe.check == rcp::app::WriteReport::Check::Passed && messages.str().empty();
  if (!ok) std::fprintf(stderr, "a transfer failed: %s\n", messages.str().c_str());
  for (const auto& [name, f] : {std::pair{"write", write}, std::pair{"read", reading},
                                std::pair{"write with backup and verification", guarded}}) {
    std::printf(
        "%s: wall %7.1f ms, floor %7.1f ms, %+5.2f %% over the floor, cpu %6.1f ms, "
        "%5.2f %% of one core\n",
        name, f.wallMs, f.floorMs, f.overFloor(), f.cpuMs, f.cpuShare());
    ok = ok && f.overFloor() <= kFloorLimitPercent && f.cpuShare() < kCpuLimitPercent;
  }
  return ok ? 0 : 1;
}
