#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/program.hpp"
#include "link/clock.hpp"
#include "link/port.hpp"
#include "ui/dialogs.hpp"
#include "ui/screen.hpp"

// A whole program with no radio attached and nothing on screen: the same windows, rules and
// data files as the tool, started without opening a port. It decodes what a read brought without
// touching the user's window (a backup taken before a write, a read-back) and runs the rules over
// a file that is only being checked. What it would have shown is kept in order.
namespace rcp::app {

// Every message box and modal window, kept instead of shown: a message counts as confirmed, a
// modal window is closed at once, a file dialog is cancelled.
class RecordingDialogs final : public ui::Dialogs {
 public:
  struct Shown {
    std::string form;     // the modal window's name; empty for a message box
    // The message box; for a modal window, its caption and what its labels said when it was
    // shown (the range warning is one window whose labels the next warning overwrites).
    ui::Message message;
  };
  std::vector<Shown> shown;

  ui::MessageResult message(const ui::Message& message) override;
  void showModal(ui::Form& form) override;
  std::optional<std::string> openFile(const ui::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> saveFile(const ui::FileDialogRequest&) override {
    return std::nullopt;
  }
};

class HiddenScreen final : public ui::Screen {
 public:
  void formCreated(ui::Form&) override {}
  void repaint(const ui::Form&) override {}
  void setBusy(bool) override {}
  void setApplicationTitle(const std::string&) override {}
  void quit() override {}
};

struct OfflineProgram {
  RecordingDialogs dialogs;
  HiddenScreen screen;
  link::NoPort port;
  link::VirtualClock clock;
  Program program;

  // `comIni` only for what the windows read from it at start; nothing is written there.
  explicit OfflineProgram(std::filesystem::path comIni = link::comIniPath());
  settings::ProgramState& state() { return program.state(); }
};

}  // namespace rcp::app
