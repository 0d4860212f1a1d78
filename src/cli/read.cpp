#include "cli/read.hpp"

#include "cli/device_port.hpp"
#include "cli/held_signals.hpp"
#include "cli/output_clash.hpp"
#include "cli/serial_line.hpp"
#include "cli/terminal_program.hpp"
#include "link/path_text.hpp"
#include "link/private_files.hpp"
#include "program/data_file_opening.hpp"
#include "safety/safe_write.hpp"
#include "settings/data_file.hpp"
#include "window/transfer_commands.hpp"

namespace rcp::app {

int readRadio(const std::string& device, const CliStreams& io, const CliSafety& safety,
              const std::function<int(settings::ProgramState&)>& then) {
  SerialLine line(io);
  if (!traceReady(line.traced, io)) return kExitUsageFileOrPort;
  DevicePort port(device, line.traced.port());
  TerminalProgram terminal(port, line.traced.clock(), io, device,
                           safety.keepBackup ? safety.backups : std::filesystem::path(),
                           safety.history);
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
  if (outputsClash({{kTraceFile, link::pathOf(io.trace)}, {kDataFile, file}}, {}, io))
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

}  // namespace rcp::app
