#include "cli/fleet.hpp"

#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "cli/console.hpp"
#include "cli/held_signals.hpp"
#include "cli/output_clash.hpp"
#include "cli/serial_line.hpp"
#include "cli/terminal_program.hpp"
#include "cli/terminal_services.hpp"
#include "fleet/fleet_run.hpp"
#include "link/com_ini.hpp"
#include "link/identification.hpp"
#include "link/path_text.hpp"
#include "link/port_opening.hpp"

namespace rcp::app {

namespace {

// The fleet's progress as lines on the terminal. A radio whose verification did not pass is
// asked about on the terminal when the tool's input is one; otherwise the run stops there.
class FleetLines final : public FleetEvents {
 public:
  FleetLines(TerminalLines& lines, const std::vector<FleetMember>& members, const HeldSignals& held)
      : lines_(lines), members_(members), held_(held) {}
  void waiting(std::size_t member) override {
    lines_.line("等待电台应答（个人号 " + members_[member].number + "）...");
  }
  void finished(std::size_t, const FleetLogRow& row) override {
    lines_.line(row.number + "：" + resultText(row.result) + "（" + row.model + "，" +
                row.identity + "）");
  }
  void connectNext() override { lines_.line("请取下这台电台，连接下一台。"); }
  void wrongModel(const std::string& answered, const std::string& wanted) override {
    lines_.line(wrongModelText(answered, wanted));
  }
  void alreadyWritten(const std::string& number) override {
    lines_.line(alreadyWrittenText(number));
  }
  UnverifiedChoice unverified(std::size_t, const FleetLogRow& row) override {
    const ui::Message question = unverifiedQuestion(row);
    lines_.line(question.text);
    if (!stdinIsTerminal()) {
      lines_.line("没有终端可以询问，批量写频停止。");
      return UnverifiedChoice::Stop;
    }
    while (!held_.held()) {
      lines_.line("w 重新写这台电台，k 保留它继续下一台，s 停止 [w/k/s]：");
      std::string answer;
      if (!std::getline(std::cin, answer)) break;
      if (answer == "w") return UnverifiedChoice::WriteAgain;
      if (answer == "k") return UnverifiedChoice::KeepAndGoOn;
      if (answer == "s") break;
    }
    return UnverifiedChoice::Stop;
  }
  bool stopRequested() override { return held_.held() != 0; }

 private:
  TerminalLines& lines_;
  const std::vector<FleetMember>& members_;
  const HeldSignals& held_;
};

// Checking a large plan takes a while: a line before, and the count as it goes on a terminal.
std::vector<FleetProblem> checkedFleet(TerminalLines& lines, const link::IniDocument& templ,
                                       const std::vector<FleetMember>& members) {
  constexpr std::size_t kQuietUpTo = 100;
  if (members.size() <= kQuietUpTo) return checkFleet(templ, members);
  lines.line("正在检查 " + std::to_string(members.size()) + " 台电台的数据...");
  const auto problems = checkFleet(templ, members, [&](std::size_t done) {
    lines.progress("检查数据", static_cast<int>(done * 100 / members.size()));
  });
  lines.endProgress();
  return problems;
}

}  // namespace

int cliFleet(const std::string& device, const FleetRequest& request, const CliStreams& io,
             const CliSafety& safety) {
  TerminalLines lines(io.err, io.errIsTerminal);
  if (outputsClash({{kTraceFile, link::pathOf(io.trace)}, {"日志", request.log}},
                   {{"模板", request.templ}, {"号码表", request.table}}, io))
    return kExitUsageFileOrPort;
  std::string model;
  if (!request.model.empty()) {
    const auto known = knownModel(request.model);
    if (!known) {
      lines.line(unknownModelText(request.model));
      return kExitUsageFileOrPort;
    }
    model = *known;
  }
  FleetPlanError planError;
  const auto templ = templateDocument(request.templ, planError);
  if (!templ) {
    lines.line(planError.message);
    return kExitUsageFileOrPort;
  }
  const auto members = request.numbers.empty() ? membersInTable(request.table, planError)
                                               : numbersInRange(request.numbers, planError);
  if (!members) {
    lines.line(planError.message);
    return kExitUsageFileOrPort;
  }
  if (const auto problems = checkedFleet(lines, *templ, *members); !problems.empty()) {
    for (const FleetProblem& problem : problems) lines.line(problem.text);
    lines.line(kMembersFaultyText);
    return kExitNoRadioOrFailed;
  }
  if (!request.log.empty()) {
    // The log is the run's record of the radios written: without it a rerun writes them again.
    if (const auto refusal = logRefusal(request.log)) {
      lines.line(*refusal);
      return kExitUsageFileOrPort;
    }
    const FleetLogReading reading = readFleetLog(request.log);
    if (!reading.skippedLines.empty())
      lines.line(skippedRowsText(request.log, reading.skippedLines));
    std::set<std::string> held;
    for (const FleetMember& member : *members)
      if (reading.heldUnverified.contains(member.number)) held.insert(member.number);
    if (!held.empty()) lines.line(heldUnverifiedText(held));
  }
  const std::vector<FleetMember> left = membersLeft(*members, request.log);
  if (left.empty()) {
    lines.line(kAllLoggedText);
    return kExitDone;
  }
  SerialLine line(io);
  if (!traceReady(line.traced, io)) return kExitUsageFileOrPort;
  if (!line.traced.port().open(device)) {
    lines.line(std::string(link::kPortBusyMessage));
    lines.line(whyNotOpen(device));
    return kExitUsageFileOrPort;
  }
  const WriteSafetyChoice stored = storedWriteSafety(link::comIniPath());
  FleetSettings settings{{safety.backupBefore.value_or(stored.backupBefore),
                          safety.verifyAfter.value_or(stored.verifyAfter), device},
                         request.skipFailed,
                         request.log,
                         device,
                         link::comIniPath(),
                         safety.backups,
                         safety.history,
                         model,
                         request.numbers.empty() ? request.table.string() : request.numbers};
  settings.options = fleetOptionsText(settings);
  TerminalDialogs dialogs(lines);
  TerminalScreen screen(lines);
  const HeldSignals held(HeldTransfer::Fleet);
  FleetLines events(lines, left, held);
  const FleetSummary summary = runFleet({line.traced.port(), line.traced.clock(), dialogs, screen},
                                        *templ, left, settings, events);
  lines.line("批量写频" + std::string(summary.stopped ? "已中断" : "结束") + "：写好 " +
             std::to_string(summary.written) + " 台，失败 " + std::to_string(summary.failed) +
             " 次，剩余 " + std::to_string(summary.left) + " 台。");
  if (held.held()) return exitCodeOfSignal(held.held());
  return summary.left == 0 && summary.failed == 0 ? kExitDone : kExitNoRadioOrFailed;
}

}  // namespace rcp::app
