#include "cli/diff.hpp"

#include <algorithm>
#include <memory>

#include "cli/check.hpp"
#include "cli/history_show.hpp"
#include "cli/output_clash.hpp"
#include "cli/read.hpp"
#include "cli/terminal_services.hpp"
#include "cli/written_image.hpp"
#include "link/hex_text.hpp"
#include "link/ini_profile.hpp"
#include "link/path_text.hpp"
#include "program/data_file_opening.hpp"
#include "program/offline_program.hpp"
#include "review/config_diff.hpp"
#include "review/diff_text.hpp"
#include "safety/backups.hpp"

namespace rcp::app {

namespace {

// One side of the comparison: a data file opened into an offline program of its own, or what a
// read of the radio brought.
struct Side {
  std::string name;  // as the summary names it
  bool radio = false;
  std::unique_ptr<OfflineProgram> offline;  // a data file's
  KeptValues values;
};

bool isRadio(const std::filesystem::path& side) {
  return side == kRadioSide;
}

// A side the history holds: "#12", or "12" where no such file is.
bool isHistoryEntry(const std::filesystem::path& side, const DiffRequest& request) {
  std::error_code ec;
  const std::string text = link::textOf(side);
  return !request.history.empty() && eventId(text) &&
         (text.starts_with('#') || !std::filesystem::exists(side, ec));
}

// The entry's configuration opened as its data file would open.
int loadEntry(const std::filesystem::path& what, const DiffRequest& request, const CliStreams& io,
              Side& side) {
  std::optional<history::Event> event;
  if (const auto database = openHistory({request.history, {}}, io))
    event = configurationOf(*database, link::textOf(what), io);
  if (!event) return kExitUsageFileOrPort;
  side.name = history::entryName(*event);
  OpenedConfiguration opened = openConfiguration(event->dataFile);
  if (opened.error) {
    TerminalLines(io.err, false).line(side.name + "：" + opened.error->message);
    return kExitUsageFileOrPort;
  }
  side.offline = std::move(opened.program);
  side.values = std::move(opened.values);
  return kExitDone;
}

int load(const std::filesystem::path& what, const DiffRequest& request, const CliStreams& io,
         Side& side) {
  if (isHistoryEntry(what, request)) return loadEntry(what, request, io, side);
  if (isRadio(what)) {
    side.name = "电台 " + request.device;
    side.radio = true;
    // The read keeps its backup as every read does.
    const CliSafety safety{true, std::nullopt, std::nullopt, defaultBackupsFolder(),
                           request.history};
    return readRadio(request.device, io, safety, [&side](settings::ProgramState& state) {
      side.values = savedValues(state);
      return kExitDone;
    });
  }
  side.name = link::textOf(what);
  side.offline = std::make_unique<OfflineProgram>();
  if (const auto error = openDataFileAndCheck(side.offline->state(), what)) {
    TerminalLines(io.err, false).line(settings::dataFileErrorDetail(*error, what));
    return kExitUsageFileOrPort;
  }
  // The open read the file already; it is read again only for the keys the open leaves alone.
  side.values = dataFileValues(side.offline->state(), link::loadIniFile(what).document);
  return kExitDone;
}

int diffRecords(const DiffRequest& request, const CliStreams& io) {
  if (isRadio(request.a) && isRadio(request.b)) {
    TerminalLines(io.err, false).line("两边都是电台：请至少给出一个数据文件。");
    return kExitUsageFileOrPort;
  }
  Side a;
  Side b;
  if (const int code = load(request.a, request, io, a); code != kExitDone) return code;
  if (const int code = load(request.b, request, io, b); code != kExitDone) return code;
  // The fields are named as the data file's program names them.
  OfflineProgram& namer = a.offline ? *a.offline : *b.offline;
  const auto differences = compareValues(a.values, b.values, namer.state());
  const ComparisonText text = comparisonText(differences, {a.name, a.radio}, {b.name, b.radio});
  TerminalLines lines(io.out, false);
  for (const std::string& line : text.lines) lines.line(line);
  return text.differing ? kExitFound : kExitDone;
}

// A side's memory: a data file's as a write leaves it, a history entry's as it was kept.
int sideImage(const std::filesystem::path& side, const DiffRequest& request, const CliStreams& io,
              RadioMemory& memory) {
  if (!isHistoryEntry(side, request)) return writtenImage(request.model, side, io, memory);
  std::optional<history::Event> event;
  if (const auto database = openHistory({request.history, {}}, io))
    event = configurationOf(*database, link::textOf(side), io);
  if (!event) return kExitUsageFileOrPort;
  if (event->image.size() != memory.size()) {
    TerminalLines(io.err, false)
        .line("历史记录 #" + std::to_string(event->id) + " 没有保存电台的内存，无法逐字节比较。");
    return kExitUsageFileOrPort;
  }
  std::copy(event->image.begin(), event->image.end(), memory.begin());
  return kExitDone;
}

int diffImages(const DiffRequest& request, const CliStreams& io) {
  if (isRadio(request.a) || isRadio(request.b)) {
    TerminalLines(io.err, false)
        .line("--image 只比较两个数据文件写入后的内存，不能用于电台：请去掉 --image 比较字段。");
    return kExitUsageFileOrPort;
  }
  RadioMemory a{};
  RadioMemory b{};
  if (const int code = sideImage(request.a, request, io, a); code != kExitDone) return code;
  if (const int code = sideImage(request.b, request, io, b); code != kExitDone) return code;
  const auto differences = compareImages(a, b);
  if (differences.empty()) return kExitDone;
  // The fields' places on the window, as a fresh program names them.
  OfflineProgram namer;
  TerminalLines lines(io.out, false);
  for (const ByteDifference& d : differences)
    lines.line(link::hexWord(d.address) + "：A " + link::hexByte(d.a) + "，B " +
               link::hexByte(d.b) + "  " +
               ownerOfByte(namer.state(), d.address, holdsCpsx(a), holdsCpsx(b)));
  lines.line("共 " + std::to_string(differences.size()) + " 个字节不同（型号 " + request.model +
             "）。");
  return kExitFound;
}

}  // namespace

int cliDiff(const DiffRequest& request, const CliStreams& io) {
  const auto file = [&request](const std::filesystem::path& side) {
    return isRadio(side) || isHistoryEntry(side, request) ? std::filesystem::path() : side;
  };
  if (const auto clash =
          outputClash({{"跟踪文件", link::pathOf(io.trace)}},
                      {{"数据文件", file(request.a)}, {"数据文件", file(request.b)}})) {
    TerminalLines(io.err, false).line(*clash);
    return kExitUsageFileOrPort;
  }
  return request.image ? diffImages(request, io) : diffRecords(request, io);
}

}  // namespace rcp::app
