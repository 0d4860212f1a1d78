#include "cli/terminal_program.hpp"

#include <exception>

#include "link/com_ini.hpp"
#include "link/greeting.hpp"
#include "ports/port_doctor.hpp"
#include "program/data_file_opening.hpp"

namespace rcp::app {

namespace {

int exitCodeOf(image::TransferOutcome outcome) {
  return outcome == image::TransferOutcome::Done ? kExitDone : kExitNoRadioOrFailed;
}

}  // namespace

std::string whyNotOpen(const std::string& device) {
  return link::problemText(link::diagnosePort(device));
}

TerminalProgram::TerminalProgram(link::Port& port, link::Clock& clock, const CliStreams& io,
                                 const std::string& device, std::filesystem::path backups,
                                 std::filesystem::path history)
    : lines(io.err, io.errIsTerminal),
      program(Services{port,
                       clock,
                       dialogs,
                       screen,
                       link::comIniPath(),
                       {},
                       device,
                       std::move(backups),
                       false,
                       std::move(history)}) {
  program.start();
}

bool TerminalProgram::radioSilent() {
  return state().main->at("StatusBar").panels.at(2).text == link::kNoRadioStatus;
}

int runTransfer(TerminalProgram& terminal,
                const std::function<image::TransferOutcome(settings::ProgramState&)>& transfer) {
  try {
    return exitCodeOf(transfer(terminal.state()));
  } catch (const std::exception& e) {
    terminal.dialogs.message(errorBox(e.what()));
    return kExitNoRadioOrFailed;
  }
}

int openFile(TerminalProgram& terminal, const std::filesystem::path& file) {
  if (const auto error = openDataFileAndCheck(terminal.state(), file)) {
    // A terminal has no window to look at: the message also names the file and the key.
    ui::Message message = dataFileMessage(*error);
    message.text = settings::dataFileErrorDetail(*error, file);
    terminal.dialogs.message(message);
    return kExitUsageFileOrPort;
  }
  return kExitDone;
}

bool traceReady(const TracedLink& traced, const CliStreams& io) {
  if (!traced.failed()) return true;
  TerminalLines(io.err, false).line(traced.failureMessage());
  return false;
}

}  // namespace rcp::app
