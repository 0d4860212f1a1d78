#include "cli/write.hpp"

#include <ctime>
#include <memory>

#include "cli/device_port.hpp"
#include "cli/held_signals.hpp"
#include "cli/output_clash.hpp"
#include "cli/serial_line.hpp"
#include "cli/terminal_program.hpp"
#include "link/ini_profile.hpp"
#include "link/path_text.hpp"
#include "safety/safe_write.hpp"
#include "safety/write_round_trip.hpp"
#include "transfer/write_transfer.hpp"

namespace rcp::app {

namespace {

using image::TransferOutcome;

}  // namespace

int cliWrite(const std::string& device, const std::filesystem::path& file, const CliStreams& io,
             const CliSafety& safety) {
  if (outputsClash({{kTraceFile, link::pathOf(io.trace)}}, {{kDataFile, file}}, io))
    return kExitUsageFileOrPort;
  SerialLine line(io);
  if (!traceReady(line.traced, io)) return kExitUsageFileOrPort;
  DevicePort port(device, line.traced.port());
  TerminalProgram terminal(port, line.traced.clock(), io, device, safety.backups, safety.history);
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

}  // namespace rcp::app
