#include "app/cli_transfers.hpp"

#include <unistd.h>

#include <exception>
#include <functional>
#include <span>

#include "app/device_port.hpp"
#include "app/file_commands.hpp"
#include "app/held_signals.hpp"
#include "app/program.hpp"
#include "app/terminal_program.hpp"
#include "app/terminal_services.hpp"
#include "app/trace_setup.hpp"
#include "app/transfer_commands.hpp"
#include "app/written_image.hpp"
#include "link/clock.hpp"
#include "link/com_ini.hpp"
#include "link/greeting.hpp"
#include "link/hex_text.hpp"
#include "link/identification.hpp"
#include "link/ini_profile.hpp"
#include "link/port_doctor.hpp"
#include "link/port_opening.hpp"
#include "link/serial_port.hpp"

namespace rcp::app {

namespace {

using image::TransferOutcome;

constexpr std::size_t kListingBytesPerLine = 16;

// Whether a save into `file` will fail, as far as can be told without writing it: an existing
// file has to be a plain file that may be written, and its folder has to take the new file
// that replaces it.
bool cannotSave(const std::filesystem::path& file) {
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  if (std::filesystem::exists(status) &&
      (!std::filesystem::is_regular_file(status) || access(file.c_str(), W_OK) != 0))
    return true;
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
  return access(folder.c_str(), W_OK | X_OK) != 0;
}

// The real serial line and clock a command runs on, traced when io.trace names a file.
struct SerialLine {
  link::SerialPort serial;
  link::RealClock clock;
  TracedLink traced;
  explicit SerialLine(const CliStreams& io) : traced(serial, clock, io.trace) {}
};

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
      return kExitNoRadioOrFailed;
    case link::PortOpening::RadioAnswered:
      break;
  }
  const auto identification = link::identify(identity, link::IdentifyPurpose::StartUp);
  io.out << link::identityText(identity) << '\n' << identification.model->caption << '\n';
  return kExitDone;
}

int readRadio(const std::string& device, const CliStreams& io,
              const std::function<int(settings::ProgramState&)>& then) {
  SerialLine line(io);
  if (!traceReady(line.traced, io)) return kExitUsageFileOrPort;
  DevicePort port(device, line.traced.port());
  TerminalProgram terminal(port, line.traced.clock(), io, device);
  if (!port.isOpen()) return kExitUsageFileOrPort;
  if (terminal.radioSilent()) return kExitNoRadioOrFailed;
  TransferMemory memory;
  int code = kExitDone;
  {
    const HeldSignals signals(HeldTransfer::Read);
    code = runTransfer(
        terminal, [&](settings::ProgramState& state) { return ReadDataClick(state, memory); });
    if (signals.held()) return exitCodeOfSignal(signals.held());
  }
  if (code != kExitDone) return code;
  return then(terminal.state());
}

int cliRead(const std::string& device, const std::filesystem::path& file, const CliStreams& io) {
  const std::filesystem::path saved = link::savedFile(file);
  if (cannotSave(saved)) {
    TerminalLines(io.err, false)
        .line(link::IniError(link::IniError::Operation::Write, file).message());
    return kExitUsageFileOrPort;
  }
  return readRadio(device, io, [&saved](settings::ProgramState& state) {
    if (const auto error = settings::saveDataFile(state, saved)) {
      state.dialogs.message(dataFileMessage(*error));
      return kExitUsageFileOrPort;
    }
    return kExitDone;
  });
}

int cliWrite(const std::string& device, const std::filesystem::path& file, const CliStreams& io) {
  SerialLine line(io);
  if (!traceReady(line.traced, io)) return kExitUsageFileOrPort;
  DevicePort port(device, line.traced.port());
  TerminalProgram terminal(port, line.traced.clock(), io, device);
  if (!port.isOpen()) return kExitUsageFileOrPort;
  if (const int code = openFile(terminal, file); code != kExitDone) return code;
  if (terminal.radioSilent()) return kExitNoRadioOrFailed;
  TransferMemory memory;
  const HeldSignals signals(HeldTransfer::Write);
  const int code = runTransfer(
      terminal, [&](settings::ProgramState& state) { return WriteDataClick(state, memory); });
  return signals.held() ? exitCodeOfSignal(signals.held()) : code;
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
