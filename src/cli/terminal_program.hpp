#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "cli/command.hpp"
#include "cli/terminal_services.hpp"
#include "link/clock.hpp"
#include "link/port.hpp"
#include "program/program.hpp"
#include "program/trace_setup.hpp"
#include "transfer/transfer_outcome.hpp"

// The whole program on a terminal, as the command-line tool's commands run it: its dialogs and
// screen are lines on `err`, and a file or a transfer goes through the same code as the window's
// buttons.
namespace rcp::app {

// The time a user takes between starting the program and starting a transfer: the radio's
// answers to the start-up greeting are in by then.
inline constexpr int kUserPauseMs = 1000;

// The program started as the desktop tool starts: the port opened and the radio greeted and
// identified. A port that does not open is explained for `device`, the one the command line
// names.
struct TerminalProgram {
  TerminalLines lines;
  TerminalDialogs dialogs{lines};
  TerminalScreen screen{lines};
  Program program;

  // `backups`: where a successful read keeps its backup (empty: nowhere); `history`: where each
  // transfer records its event (empty: nowhere).
  TerminalProgram(link::Port& port, link::Clock& clock, const CliStreams& io,
                  const std::string& device = {}, std::filesystem::path backups = {},
                  std::filesystem::path history = {});
  settings::ProgramState& state() { return program.state(); }
  // The start-up greeting found no radio (and said so).
  bool radioSilent();
};

// A transfer as its button runs it; an error escaping it (a field that cannot be stored, an
// answer that is no number) is shown as the window shows it and fails the command.
int runTransfer(TerminalProgram& terminal,
                const std::function<image::TransferOutcome(settings::ProgramState&)>& transfer);

// The file opened as "打开文件" opens it; a failure names the file and the key on its line.
int openFile(TerminalProgram& terminal, const std::filesystem::path& file);

// Reports a trace file that cannot be written; true when the command can go on.
bool traceReady(const TracedLink& traced, const CliStreams& io);

// Why the device named on the command line did not open.
std::string whyNotOpen(const std::string& device);

}  // namespace rcp::app
