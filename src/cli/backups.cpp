#include "cli/backups.hpp"

#include "cli/terminal_services.hpp"
#include "link/path_text.hpp"
#include "safety/backups.hpp"

namespace rcp::app {

namespace {

void line(const CliStreams& io, const std::string& time, const std::string& model,
          const std::string& number, const std::string& file) {
  io.out << time << "  " << printableText(model) << "  " << printableText(number) << "  "
         << printableText(file) << '\n';
}

// The folder as it is, when there is no history to list from.
int folderListing(const std::filesystem::path& folder, const CliStreams& io) {
  if (const auto problem = folderProblem(folder, false)) {
    TerminalLines(io.err, false).line(*problem);
    return kExitUsageFileOrPort;
  }
  for (const Backup& backup : listBackups(folder))
    line(io, backup.time, backup.model, backup.number, link::textOf(backup.file));
  return kExitDone;
}

}  // namespace

int cliBackups(const HistoryPlace& place, const CliStreams& io) {
  if (const auto problem = folderProblem(place.backups, false)) {
    TerminalLines(io.err, false).line(*problem);
    return kExitUsageFileOrPort;
  }
  const auto database = openHistory(place, io);
  if (!database) return folderListing(place.backups, io);
  try {
    history::Filter filter;
    filter.operation = history::Operation::Read;
    for (const history::Event& event : database->list(filter)) {
      if (event.backupFile.empty()) continue;
      std::error_code ec;
      const bool there = std::filesystem::exists(link::pathOf(event.backupFile), ec);
      line(io, event.time, event.model, event.numberAfter,
           there ? event.backupFile
                 : event.backupFile + "（文件已删除，历史记录 #" + std::to_string(event.id) +
                       " 保存着它）");
    }
  } catch (const std::exception& e) {
    TerminalLines(io.err, false).line(e.what());
    return folderListing(place.backups, io);
  }
  return kExitDone;
}

}  // namespace rcp::app
