#pragma once

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "settings/program_state.hpp"

// The radio's configurations kept on the way: every successful read saves the record it brought
// as an ordinary data file in the backups folder, so that whatever a radio held before it was
// written can be written back. Files are named YYYYMMDD-HHMMSS-<model>-<individual number>.ini
// (local time); the folder keeps the newest kKeptBackups.
namespace rcp::app {

inline constexpr std::size_t kKeptBackups = 500;

// "backups" in this user's state folder: ${XDG_STATE_HOME:-$HOME/.local/state}/rcp520/backups,
// on Windows %LOCALAPPDATA%\rcp520\backups (link::stateFolderOn).
std::filesystem::path defaultBackupsFolder();

struct Backup {
  std::filesystem::path file;
  std::string time;    // "2026-12-09 14:03:27"
  std::string model;   // "HX34s"
  std::string number;  // the individual number as the record held it
};

// The file name for a backup taken at `when`; characters a file name should not hold (path
// separators, spaces, controls, anything but letters, digits, '_', '+' and '.') become '_'.
std::string backupFileName(const std::tm& when, const std::string& model,
                           const std::string& number);

struct BackupOutcome {
  std::optional<Backup> backup;  // the backup written
  std::string error;             // why none was, in words for the status bar or stderr
};

// Saves the record `state` holds as a backup of the radio it came from (its model from the
// identity the radio sent), at local time `when`, then removes the oldest backups beyond
// kKeptBackups. A file of the same name already there gets "-2", "-3", ... appended. The folder is
// created when missing.
BackupOutcome keepBackup(settings::ProgramState& state, const std::filesystem::path& folder,
                         std::time_t when);

// Why the folder cannot keep backups (a file in its place, no permission; `create`: it is to be
// written, and is created when missing) or be listed; nothing when it can.
std::optional<std::string> folderProblem(const std::filesystem::path& folder, bool create);

// The backups in the folder, newest first; files that are not named as backups are left out.
std::vector<Backup> listBackups(const std::filesystem::path& folder);

// The status text for a backup kept or not: "已备份：<file name>" or "备份失败：<why>".
std::string backupStatusText(const BackupOutcome& outcome);

}  // namespace rcp::app
