#include "cli/check.hpp"

#include "cli/terminal_services.hpp"
#include "review/config_check.hpp"

namespace rcp::app {

int cliCheck(const std::filesystem::path& file, const CliStreams& io) {
  const DataFileCheck check = checkDataFile(file);
  if (check.openError) {
    TerminalLines(io.err, false).line(settings::dataFileErrorDetail(*check.openError, file));
    return kExitUsageFileOrPort;
  }
  TerminalLines lines(io.out, false);
  for (const CheckWarning& n : check.notes) lines.line("注：" + n.path + "：" + n.text);
  if (check.warnings.empty()) return kExitDone;
  for (const CheckWarning& w : check.warnings)
    lines.line(w.path + " “" + w.value + "”：[" + w.caption + "] " + w.text);
  lines.line("共 " + std::to_string(check.warnings.size()) +
             " 条警告：这些字段写入电台前应在窗口中改正（打开该文件，逐一改正后存储）。");
  return kExitFound;
}

}  // namespace rcp::app
