#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace rcp::e2e {

// The programs started here keep their state (the read backups) in this folder of the test run,
// never in the user's own: it is their XDG_STATE_HOME.
const std::filesystem::path& testStateHome();

struct Finished {
  int exitCode;  // -1 when it did not exit normally
  std::string out;
  std::string err;
  bool killed = false;  // it ran past kRunLimit and was killed
};

// No program run by a test runs longer than this: one that would is killed, its exit code -1.
inline constexpr std::chrono::seconds kRunLimit{120};

// Runs a program to its end, at most kRunLimit, and collects what it wrote; `started` gets its
// process id first.
Finished run(const std::string& program, const std::vector<std::string>& args,
             const std::function<void(pid_t)>& started = {});

// What a radio run with --trace FILE received, from its trace (lines "<ms> < 52 45 ...").
std::string receivedByRadio(const std::filesystem::path& trace);

// Waits (at most `limit`) until `done` holds; whether it did. A test waiting on another process
// never waits forever: when the moment does not come, the test goes on and its checks fail.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::seconds limit = std::chrono::seconds(30));

// Waits (at most `limit`) until the radio's trace shows `text` received: a signal meant for the
// middle of a transfer is sent then, not at a guessed moment a slow start may not have reached.
void waitUntilRadioReceives(const std::filesystem::path& trace, const std::string& text,
                            std::chrono::seconds limit = std::chrono::seconds(30));

// rcp520-radio in the background; its first line of output is the device to open.
class RadioProcess {
 public:
  explicit RadioProcess(const std::vector<std::string>& args);
  ~RadioProcess();
  RadioProcess(const RadioProcess&) = delete;
  RadioProcess& operator=(const RadioProcess&) = delete;

  const std::string& device() const { return device_; }
  // Ends it with SIGTERM; returns its exit code.
  int stop();
  // Kills it at once: its side of the line goes away.
  void kill();

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string device_;
};

}  // namespace rcp::e2e
