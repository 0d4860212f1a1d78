#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "link/clock.hpp"
#include "link/port.hpp"
#include "settings/program_state.hpp"

// The command-line tool's transfers: the whole program runs as in the window, with the terminal
// for its dialogs and screen, so a read or a write from the command line is the same transfer the
// buttons start. Messages and warnings go to `err`; the progress line too, when `err` is a
// terminal.
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
  std::filesystem::path backups;  // the backups folder
};

// "info": the radio on `device` greeted, its identity and model printed. A device that does not
// open is reported with the port doctor's reason on a second line.
int cliInfo(const std::string& device, const CliStreams& io);

// Every command that opens a line traces it into io.trace when that names a file; a trace file
// that cannot be written ends the command before anything else (exit 2).

// "read": the read transfer from the radio on `device`, then the record saved into `file` as
// "存储文件" saves it (through a symbolic link, the file it points at). A file that cannot be
// saved is reported before the radio is touched; a read that failed saves nothing.
//
// During a read or a write, Ctrl+C, SIGTERM and SIGHUP are held until the transfer ends (see
// HeldSignals); the command then ends with 128 + the signal, a read saving nothing.
//
// A backup that cannot be kept is reported on `err` ("备份失败：..."); it never fails the read.
int cliRead(const std::string& device, const std::filesystem::path& file, const CliStreams& io,
            const CliSafety& safety);

// The read transfer from the radio on `device`, as "read" runs it (signals held the same way);
// once it is done, `then` gets the program holding what it read, and its result is the
// command's.
int readRadio(const std::string& device, const CliStreams& io, const CliSafety& safety,
              const std::function<int(settings::ProgramState&)>& then);

// "write": `file` opened as "打开文件" opens it (its rule warnings printed), then the write
// transfer into the radio on `device`, with the backup before and the verification after it as
// `safety` asks. A verification that finds the radio holding other bytes exits 3, the fields
// listed on `err`; a write that fails half-way prints the backup to restore from, exit 1.
int cliWrite(const std::string& device, const std::filesystem::path& file, const CliStreams& io,
             const CliSafety& safety);

struct FleetRequest {
  std::filesystem::path templ;
  std::string numbers;          // "FIRST-LAST", or empty when a table is given
  std::filesystem::path table;  // the table of radios, or empty
  std::filesystem::path log;    // empty: no log (and no rerun that skips what was written)
  bool skipFailed = false;
};

// "fleet": the template and each radio's own values checked first (a warning stops the run
// before anything is sent, exit 1), then radio after radio on `device` as runFleet does, a
// line for each on `err`, and a summary. Exit 0 when every radio left was written, 1 when one
// failed or the run was stopped, 2 for a file, table or port that cannot be used.
int cliFleet(const std::string& device, const FleetRequest& request, const CliStreams& io,
             const CliSafety& safety);

// "backups": the backups in the folder, newest first, one a line: time, model, individual
// number and file, separated by two spaces.
int cliBackups(const std::filesystem::path& folder, const CliStreams& io);

// "image": the write transfer of `file` into a blank virtual radio of the model (on a virtual
// clock, in process), then the radio's memory printed as memoryListing shows it.
int cliImage(std::string_view model, const std::filesystem::path& file, const CliStreams& io);

// 64 lines of 16 bytes: the address as four upper-case hexadecimal digits, ": ", the bytes as 32
// upper-case hexadecimal digits.
std::string memoryListing(const std::array<std::uint8_t, 1024>& memory);

}  // namespace rcp::app
