#include "cli/history_show.hpp"

#include "cli/terminal_services.hpp"
#include "link/path_text.hpp"
#include "link/private_files.hpp"

namespace rcp::app {

namespace {

void fact(std::ostream& out, const char* name, const std::string& value) {
  if (!value.empty()) out << "; " << name << "：" << printableText(value) << '\n';
}

}  // namespace

std::optional<history::Event> configurationOf(history::HistoryDatabase& database,
                                              const std::string& id, const CliStreams& io) {
  const auto number = eventId(id);
  if (!number) {
    TerminalLines(io.err, false).line("“" + id + "”不是历史记录的编号。");
    return std::nullopt;
  }
  auto event = eventWithData(database, *number, io);
  if (event && event->dataFile.empty()) {
    TerminalLines(io.err, false).line("历史记录 #" + std::to_string(*number) + " 没有保存配置。");
    return std::nullopt;
  }
  return event;
}

int cliHistoryShow(const HistoryPlace& place, const std::string& id, const CliStreams& io) {
  const auto database = openHistory(place, io);
  if (!database) return kExitUsageFileOrPort;
  const auto number = eventId(id);
  if (!number) {
    TerminalLines(io.err, false).line("“" + id + "”不是历史记录的编号。");
    return kExitUsageFileOrPort;
  }
  const auto event = eventWithData(*database, *number, io);
  if (!event) return kExitUsageFileOrPort;
  std::ostream& out = io.out;
  out << "; 历史记录 #" << event->id << '\n';
  fact(out, "时间", event->time);
  fact(out, "操作", std::string(history::naming(event->operation).word));
  fact(out, "结果", std::string(history::naming(event->result).word));
  fact(out, "型号", event->model);
  fact(out, "电台身份", event->identity);
  fact(out, "之前的个人号", event->numberBefore);
  fact(out, "之后的个人号", event->numberAfter);
  fact(out, "设备", event->device);
  fact(out, "用户", event->user);
  fact(out, "程序版本", event->version);
  if (event->fleetRun) fact(out, "批量写频", "#" + std::to_string(event->fleetRun));
  fact(out, "备份文件", event->backupFile);
  std::string note = event->note;
  for (std::size_t end; !note.empty(); note.erase(0, end == std::string::npos ? end : end + 1)) {
    end = note.find('\n');
    fact(out, "说明", note.substr(0, end));
  }
  if (event->dataFile.empty()) out << "; （这条记录没有保存配置）\n";
  out << event->dataFile;
  return kExitDone;
}

int cliHistoryExport(const HistoryPlace& place, const std::string& id,
                     const std::filesystem::path& file, const CliStreams& io) {
  TerminalLines lines(io.err, false);
  if (const auto refusal = link::outputRefusal(file)) {
    lines.line("无法保存到 " + link::textOf(file) + "：" + *refusal);
    return kExitUsageFileOrPort;
  }
  const auto database = openHistory(place, io);
  if (!database) return kExitUsageFileOrPort;
  const auto event = configurationOf(*database, id, io);
  if (!event) return kExitUsageFileOrPort;
  if (const auto error = link::replaceFile(link::savedFile(file), event->dataFile)) {
    lines.line("无法保存到 " + link::textOf(file) + "：" + *error);
    return kExitUsageFileOrPort;
  }
  return kExitDone;
}

}  // namespace rcp::app
