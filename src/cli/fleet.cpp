#include "app/cli_transfers.hpp"

#include <unistd.h>

#include <ctime>
#include <exception>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <span>

#include "app/device_port.hpp"
#include "app/file_commands.hpp"
#include "app/fleet_run.hpp"
#include "app/held_signals.hpp"
#include "app/offline_program.hpp"
#include "app/output_clash.hpp"
#include "app/program.hpp"
#include "app/terminal_program.hpp"
#include "app/terminal_services.hpp"
#include "app/trace_setup.hpp"
#include "app/transfer_commands.hpp"
#include "app/write_round_trip.hpp"
#include "app/written_image.hpp"
#include "image/write_transfer.hpp"
#include "link/clock.hpp"
#include "link/com_ini.hpp"
#include "link/greeting.hpp"
#include "link/hex_text.hpp"
#include "link/identification.hpp"
#include "link/ini_profile.hpp"
#include "link/low_latency.hpp"
#include "link/port_doctor.hpp"
#include "link/port_opening.hpp"
#include "link/serial_port.hpp"

namespace rcp::app {

namespace {

using image::TransferOutcome;

constexpr std::size_t kListingBytesPerLine = 16;

// The real serial line and clock a command runs on (or those io names instead), traced when
// io.trace names a file.
struct SerialLine {
  link::SerialPort serial;
  link::RealClock clock;
  TracedLink traced;
  explicit SerialLine(const CliStreams& io)
      : traced(io.line ? *io.line : serial, io.clock ? *io.clock : clock, io.trace) {}
};

// An output that is an input, or two outputs that are one file, end the command before anything
// is opened for writing.
bool outputsClash(const std::vector<NamedFile>& outputs, const std::vector<NamedFile>& inputs,
                  const CliStreams& io) {
  const auto clash = outputClash(outputs, inputs);
  if (clash) TerminalLines(io.err, false).line(*clash);
  return clash.has_value();
}

constexpr const char* kTraceFile = "跟踪文件";
constexpr const char* kDataFile = "数据文件";

}  // namespace

int cliInfo(const std::string& device, const CliStreams& io) {
  SerialLine line(io);
  if (!traceReady(line.traced, io)) return kExitUsageFileOrPort;
  TerminalLines lines(io.err, false);
  link::RadioIdentity identity{};
  switch (link::openPort(line.traced.port(), line.traced.clock(), device, identity)) {
    case link::PortOpening::PortBusy:
      lines.line(std::string(link::kPortBusyMessage));
      lines.line(whyNotOpen(device));
      return kExitUsageFileOrPort;
    case link::PortOpening::NoRadio:
      lines.line(std::string(link::kNoRadioMessage));
      if (const auto latency = link::latencyProblem(device)) lines.line(*latency);
      return kExitNoRadioOrFailed;
    case link::PortOpening::RadioAnswered:
      break;
  }
  const auto identification = link::identify(identity, link::IdentifyPurpose::StartUp);
  io.out << link::identityText(identity) << '\n' << identification.model->caption << '\n';
  return kExitDone;
}

int readRadio(const std::string& device, const CliStreams& io, const CliSafety& safety,
              const std::function<int(settings::ProgramState&)>& then) {
  SerialLine line(io);
  if (!traceReady(line.traced, io)) return kExitUsageFileOrPort;
  DevicePort port(device, line.traced.port());
  TerminalProgram terminal(port, line.traced.clock(), io, device,
                           safety.keepBackup ? safety.backups : std::filesystem::path());
  if (!port.isOpen()) return kExitUsageFileOrPort;
  if (terminal.radioSilent()) return kExitNoRadioOrFailed;
  TransferMemory memory;
  std::optional<BackupOutcome> backup;
  int code = kExitDone;
  {
    const HeldSignals signals(HeldTransfer::Read);
    code = runTransfer(terminal, [&](settings::ProgramState& state) {
      ReadReport report = ReadDataClick(state, memory);
      backup = std::move(report.backup);
      return report.outcome;
    });
    if (signals.held()) return exitCodeOfSignal(signals.held());
  }
  if (code != kExitDone) return code;
  if (backup && !backup->backup) terminal.lines.line(backupStatusText(*backup));
  return then(terminal.state());
}

int cliRead(const std::string& device, const std::filesystem::path& file, const CliStreams& io,
            const CliSafety& safety) {
  if (outputsClash({{kTraceFile, io.trace}, {kDataFile, file}}, {}, io))
    return kExitUsageFileOrPort;
  const std::filesystem::path saved = link::savedFile(file);
  // Found before the radio is read, not after.
  if (const auto refusal = link::saveRefusal(file)) {
    TerminalLines(io.err, false).line(refusal->message());
    return kExitUsageFileOrPort;
  }
  return readRadio(device, io, safety, [&saved](settings::ProgramState& state) {
    if (const auto error = settings::saveDataFile(state, saved)) {
      state.dialogs.message(dataFileMessage(*error));
      return kExitUsageFileOrPort;
    }
    return kExitDone;
  });
}

int cliWrite(const std::string& device, const std::filesystem::path& file, const CliStreams& io,
             const CliSafety& safety) {
  if (outputsClash({{kTraceFile, io.trace}}, {{kDataFile, file}}, io)) return kExitUsageFileOrPort;
  SerialLine line(io);
  if (!traceReady(line.traced, io)) return kExitUsageFileOrPort;
  DevicePort port(device, line.traced.port());
  TerminalProgram terminal(port, line.traced.clock(), io, device, safety.backups);
  if (!port.isOpen()) return kExitUsageFileOrPort;
  if (const int code = openFile(terminal, file); code != kExitDone) return code;
  if (refuseUnfaithfulWrite(terminal.state())) return kExitUsageFileOrPort;
  if (terminal.radioSilent()) return kExitNoRadioOrFailed;
  const WriteSafetyChoice stored = storedWriteSafety(terminal.state().comIni);
  const WriteSafetyChoice choice{safety.backupBefore.value_or(stored.backupBefore),
                                 safety.verifyAfter.value_or(stored.verifyAfter), device};
  TransferMemory memory;
  // A backup written back leaves the radio as its read found it.
  takeBackupRead(terminal.state(), memory, link::loadIniFile(file).document);
  WriteReport::Check check = WriteReport::Check::NotAsked;
  HeldSignals signals(choice.backupBefore ? HeldTransfer::BackupBeforeWrite : HeldTransfer::Write);
  // A signal during the backup read stops before anything is written.
  BeforeWrite notStopped;
  if (choice.backupBefore)
    notStopped = [&signals](settings::ProgramState&) {
      if (signals.held()) return false;
      signals.becomes(HeldTransfer::Write);
      return true;
    };
  // Once the radio has acknowledged every byte, a signal no longer leaves it half written. The
  // form outlives this write: its observer lets go of the signals when the write ends.
  const auto watching = std::make_shared<HeldSignals*>(&signals);
  terminal.state().writeData->addObserver([watching](const ui::Control* control, ui::Property) {
    if (*watching && control && control->name == "WriteLabel" &&
        control->caption == image::kWriteDoneText)
      (*watching)->becomes(HeldTransfer::WriteLanded);
  });
  const int code = runTransfer(terminal, [&](settings::ProgramState& state) {
    const WriteReport report =
        safeWrite(state, memory, choice, RestoreOffer::PrintPath, std::time(nullptr), notStopped);
    if (!report.started && report.outcome == TransferOutcome::Done)
      terminal.lines.line("写录没有开始，电台中的数据没有改动。");
    check = report.check;
    // The window's status bar says it; a terminal has none.
    if (report.check == WriteReport::Check::Passed) terminal.lines.line(kVerifiedText);
    return report.outcome;
  });
  *watching = nullptr;
  if (signals.held()) return exitCodeOfSignal(signals.held());
  if (code == kExitDone && check == WriteReport::Check::Mismatch) return kExitVerifyMismatch;
  if (code == kExitDone && check == WriteReport::Check::Unanswered) return kExitVerifyUnfinished;
  return code;
}

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
    lines_.line(row.number + "：" + row.result + "（" + row.model + "，" + row.identity + "）");
  }
  void connectNext() override { lines_.line("请取下这台电台，连接下一台。"); }
  void alreadyWritten(const std::string& number) override {
    lines_.line(alreadyWrittenText(number));
  }
  UnverifiedChoice unverified(std::size_t, const FleetLogRow& row) override {
    const ui::Message question = unverifiedQuestion(row);
    lines_.line(question.text);
    if (isatty(STDIN_FILENO) != 1) {
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
  if (outputsClash({{kTraceFile, io.trace}, {"日志", request.log}},
                   {{"模板", request.templ}, {"号码表", request.table}}, io))
    return kExitUsageFileOrPort;
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
                         safety.backups};
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

int cliBackups(const std::filesystem::path& folder, const CliStreams& io) {
  if (const auto problem = folderProblem(folder, false)) {
    TerminalLines(io.err, false).line(*problem);
    return kExitUsageFileOrPort;
  }
  for (const Backup& backup : listBackups(folder))
    io.out << backup.time << "  " << printableText(backup.model) << "  "
           << printableText(backup.number) << "  " << printableText(backup.file.string()) << '\n';
  return kExitDone;
}

int cliImage(std::string_view model, const std::filesystem::path& file, const CliStreams& io) {
  RadioMemory memory{};
  if (const int code = writtenImage(model, file, io, memory); code != kExitDone) return code;
  io.out << memoryListing(memory);
  return kExitDone;
}

std::string memoryListing(const std::array<std::uint8_t, 1024>& memory) {
  std::string listing;
  for (std::size_t at = 0; at < memory.size(); at += kListingBytesPerLine) {
    listing += link::hexWord(static_cast<std::uint16_t>(at)) + ": " +
               link::hexDigits(std::span(memory).subspan(at, kListingBytesPerLine)) + '\n';
  }
  return listing;
}

}  // namespace rcp::app
