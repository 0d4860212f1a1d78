#include "cli/history_access.hpp"

#include <charconv>

#include "cli/terminal_services.hpp"
#include "safety/history_import.hpp"

namespace rcp::app {

std::unique_ptr<history::HistoryDatabase> openHistory(const HistoryPlace& place,
                                                      const CliStreams& io) {
  TerminalLines lines(io.err, false);
  try {
    auto database = std::make_unique<history::HistoryDatabase>(place.file);
    if (database->movedAside())
      lines.line("历史记录文件已损坏，已移到 " + database->movedAside()->string() +
                 "，并新建了历史记录。");
    if (!place.backups.empty()) {
      const ImportCount count = importBackups(*database, place.backups);
      if (count.imported)
        lines.line("已将 " + std::to_string(count.imported) + " 个备份文件导入历史记录。");
    }
    return database;
  } catch (const std::exception& e) {
    lines.line(e.what());
    return nullptr;
  }
}

std::optional<std::int64_t> eventId(const std::string& text) {
  const std::string digits = text.starts_with('#') ? text.substr(1) : text;
  std::int64_t id = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || id <= 0)
    return std::nullopt;
  return id;
}

std::optional<history::Event> eventWithData(history::HistoryDatabase& database, std::int64_t id,
                                            const CliStreams& io) {
  try {
    if (auto event = database.event(id)) return event;
    TerminalLines(io.err, false).line("历史记录中没有编号 " + std::to_string(id) + " 的记录。");
  } catch (const std::exception& e) {
    TerminalLines(io.err, false).line(e.what());
  }
  return std::nullopt;
}

}  // namespace rcp::app
