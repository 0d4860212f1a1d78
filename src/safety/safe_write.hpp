#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "image/small_records.hpp"
#include "link/ini_document.hpp"
#include "safety/backups.hpp"
#include "settings/program_state.hpp"
#include "transfer/transfer_outcome.hpp"
#include "transfer/write_verification.hpp"

// Reads that keep a backup, and writes that can take one first, verify what the radio holds
// afterwards, and offer the way back when they fail half-way. The extra reads run in an offline
// program working for the window (its line, its progress dialog), so the window's fields never
// change under them; on the line each is the read transfer exactly, before or after the write
// transfer exactly.
namespace rcp::app {

inline constexpr const char* kVerifyingText = "正在校验数据，请稍候...";
inline constexpr const char* kVerifiedText = "校验正确";
inline constexpr const char* kVerifyFailedText = "校验失败";
inline constexpr const char* kVerifyUnfinishedText = "校验未完成";  // the read-back did not finish

// A backup this run took, with the menu bit bytes its read brought: a write-back carries them,
// so the bits no switch drives go back as they were.
struct KeptBackup {
  Backup backup;
  image::MenuBits menuBits{};
};

// What one transfer leaves for the next: the menu bit bytes the last read brought, whose bits
// no switch drives go back into the radio with the next write (zeros before any read), and the
// backup of the last successful read since the program started.
struct TransferMemory {
  image::MenuBits menuBits{};
  std::optional<KeptBackup> lastRead;
  // A backup being written back: the memory its read found, sent where the record would send a
  // clamped or unshowable value (see backup_read.hpp).
  std::optional<image::ReadBack> restoring = {};
};

struct WriteSafetyChoice {
  bool backupBefore = false;
  bool verifyAfter = false;
  // The device a printed restore command names with --port (the command line's own line).
  std::string restorePort = {};
};

// The data file just opened for a write, when it is a backup as its read saved it: its start-up
// texts (opening leaves them alone), the menu bits and the memory its read found go into the
// write. Any other data file changes nothing here.
void takeBackupRead(settings::ProgramState& state, TransferMemory& memory,
                    const link::IniDocument& document);

// The choice kept in Com.ini by the port dialog (both off when nothing is kept).
WriteSafetyChoice storedWriteSafety(const std::filesystem::path& comIni);

// How a failed write is told: the window asks whether to write the backup back, the command
// line prints the backup's path and a command that writes it back.
enum class RestoreOffer { Ask, PrintPath };

struct ReadReport {
  image::TransferOutcome outcome;
  std::optional<BackupOutcome> backup;  // when the read succeeded and backups are kept
};

struct WriteReport {
  image::TransferOutcome outcome;
  bool started = true;  // false: the backup before the write failed and nothing was written
  std::optional<KeptBackup> backupBefore = {};
  enum class Check { NotAsked, Passed, Mismatch, Unanswered } check = Check::NotAsked;
  std::vector<std::string> mismatches = {};  // the fields the read-back disagrees on
  bool restored = false;                     // the backup was written back after a failure
  std::vector<std::uint8_t> sent = {};       // the memory the write sent (its whole image)
  std::string numberBefore = {};             // the individual number the backup's read found
};

// The read into the window; a successful one keeps its backup in state.backups (when set).
[[nodiscard]] ReadReport readAndKeep(settings::ProgramState& state, TransferMemory& memory,
                                     std::time_t now);

// Shown the radio's record as the backup read just before the write found it; false: nothing is
// written (the report then says Done, not started).
using BeforeWrite = std::function<bool(settings::ProgramState& read)>;

// The transfers of a safe write, in order; each one the progress dialog follows.
enum class WriteStep { Backup, Write, Verify };
// Told each step as it starts.
using StepStarted = std::function<void(WriteStep)>;

// The write of the window's record with the safety asked for. Everything it has to say is shown
// through state.dialogs and the status bar as it happens. With a backup asked, `beforeWrite` is
// shown its read.
[[nodiscard]] WriteReport safeWrite(settings::ProgramState& state, TransferMemory& memory,
                                    const WriteSafetyChoice& choice, RestoreOffer offer,
                                    std::time_t now, const BeforeWrite& beforeWrite = {},
                                    const StepStarted& started = {});

}  // namespace rcp::app
