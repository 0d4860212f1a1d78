#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "history/history_database.hpp"

// The backups kept before there was a history become its read events: each backup file once,
// however often the import runs (a file's source is its time stamp and a digest of its bytes, so
// a copy of a backup under another name is the same read). Files not named as backups, links,
// folders and files that do not open as data files are left alone.
namespace rcp::app {

// The source an event of the backup file `file` holding `bytes` carries.
std::string backupSource(const std::filesystem::path& file, const std::string& bytes);

struct ImportCount {
  std::size_t imported = 0;
  std::size_t known = 0;    // already in the history
  std::size_t skipped = 0;  // named as backups but not data files
};

// Throws history::HistoryError when the history cannot be written.
ImportCount importBackups(history::HistoryDatabase& database, const std::filesystem::path& folder);

}  // namespace rcp::app
