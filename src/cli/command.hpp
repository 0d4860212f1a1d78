#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "link/clock.hpp"
#include "link/port.hpp"

// What every command of the command-line tool gets and gives back: its streams (messages
// and warnings go to `err`; the progress line too, when `err` is a terminal), what its
// transfers keep and check, and its exit code.
namespace rcp::app {

inline constexpr int kExitDone = 0;
inline constexpr int kExitNoRadioOrFailed = 1;
inline constexpr int kExitUsageFileOrPort = 2;
inline constexpr int kExitVerifyMismatch = 3;
inline constexpr int kExitVerifyUnfinished = 4;  // written, but the read-back did not complete

struct CliStreams {
  std::ostream& out;
  std::ostream& err;
  bool errIsTerminal = false;
  std::string trace = {};  // the protocol trace's file (see trace_setup.hpp), empty for none
  // The line and clock the commands talk on instead of the device's serial port and the real
  // clock (both or neither): a simulated line on a virtual clock runs a command in process.
  link::Port* line = nullptr;
  link::Clock* clock = nullptr;
};

// What the transfers keep and check besides the transfer itself (see safe_write.hpp). An unset
// write choice takes the window's setting from Com.ini.
struct CliSafety {
  bool keepBackup = true;  // a successful read keeps its backup
  std::optional<bool> backupBefore;
  std::optional<bool> verifyAfter;
  std::filesystem::path backups;       // the backups folder
  std::filesystem::path history = {};  // the service history's database; empty: none
};

// Every command that opens a line traces it into io.trace when that names a file; a trace file
// that cannot be written ends the command before anything else (exit 2).

}  // namespace rcp::app
