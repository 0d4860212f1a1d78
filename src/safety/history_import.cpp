#include "safety/history_import.hpp"

#include <cstdint>
#include <fstream>
#include <iterator>

#include "link/ini_profile.hpp"
#include "link/path_text.hpp"
#include "safety/backup_read.hpp"
#include "safety/backups.hpp"
#include "safety/history_record.hpp"
#include "settings/data_file_keys.hpp"

namespace rcp::app {

namespace {

std::string digest(const std::string& bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  std::string text;
  for (int shift = 60; shift >= 0; shift -= 4) text += "0123456789abcdef"[(hash >> shift) & 0xF];
  return text;
}

}  // namespace

std::string backupSource(const std::filesystem::path& file, const std::string& bytes) {
  // The name's time stamp, "20261209-140327".
  return "backup:" + link::textOf(file.filename()).substr(0, 15) + ":" + digest(bytes) + ":" +
         std::to_string(bytes.size());
}

ImportCount importBackups(history::HistoryDatabase& database, const std::filesystem::path& folder) {
  ImportCount count;
  // Oldest first, so that the ids follow the time.
  std::vector<Backup> backups = listBackups(folder);
  for (auto it = backups.rbegin(); it != backups.rend(); ++it) {
    const Backup& backup = *it;
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(backup.file, ec)) ||
        link::checkFile(backup.file) != link::FileCheck::Usable) {
      ++count.skipped;
      continue;
    }
    std::ifstream in(backup.file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const std::string source = backupSource(backup.file, bytes);
    if (database.hasSource(source)) {
      ++count.known;
      continue;
    }
    const link::IniDocument document(bytes);
    if (!document.section(settings::kDataFileSection)) {
      ++count.skipped;
      continue;
    }
    history::Event event;
    event.unixTime = history::parseLocalTime(backup.time, false).value_or(0);
    event.time = backup.time;
    event.model = backup.model;
    event.numberBefore = event.numberAfter = backup.number;
    event.operation = history::Operation::Read;
    event.result = history::Result::Done;
    event.note = "导入自备份文件";
    event.backupFile = link::textOf(backup.file);
    event.dataFile = bytes;
    if (const auto read = backupRead(document)) event.image = imageBytes(read->memory.memory);
    event.source = source;
    database.record(event);
    ++count.imported;
  }
  return count;
}

}  // namespace rcp::app
