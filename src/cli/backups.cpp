#include "cli/backups.hpp"

#include "cli/terminal_services.hpp"
#include "link/path_text.hpp"
#include "safety/backups.hpp"

namespace rcp::app {

int cliBackups(const std::filesystem::path& folder, const CliStreams& io) {
  if (const auto problem = folderProblem(folder, false)) {
    TerminalLines(io.err, false).line(*problem);
    return kExitUsageFileOrPort;
  }
  for (const Backup& backup : listBackups(folder))
    io.out << backup.time << "  " << printableText(backup.model) << "  "
           << printableText(backup.number) << "  " << printableText(link::textOf(backup.file))
           << '\n';
  return kExitDone;
}

}  // namespace rcp::app
