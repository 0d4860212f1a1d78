#include "cli/where.hpp"

#include "cli/terminal_services.hpp"
#include "image/where.hpp"
#include "program/offline_program.hpp"

namespace rcp::app {

int cliWhere(const std::string& query, const CliStreams& io) {
  // The windows of a program name the fields by where they show them.
  OfflineProgram namer;
  const auto lines = image::whereLines(namer.state(), query);
  if (!lines) {
    TerminalLines(io.err, false)
        .line("rcp520-cli: “" + query + "”不是电台存储中的地址（0x000–" +
              image::addressText(image::MemoryImage::kSize - 1) +
              "，如 0x0CF、0CF 或 207），也不是字段名或数据文件键");
    return kExitUsageFileOrPort;
  }
  TerminalLines out(io.out, false);
  for (const std::string& line : *lines) out.line(line);
  return kExitDone;
}

}  // namespace rcp::app
