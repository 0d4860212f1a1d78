#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "link/clock.hpp"
#include "link/port.hpp"
#include "program/program.hpp"
#include "ui/dialogs.hpp"
#include "ui/screen.hpp"

// A whole program with no radio attached and nothing on screen: the same windows, rules and
// data files as the tool, started without opening a port. It decodes what a read brought without
// touching the user's window (a backup taken before a write, a read-back) and runs the rules over
// a file that is only being checked. What it would have shown is kept in order.
namespace rcp::app {

// Every message box and modal window, kept instead of shown: a message counts as confirmed (its
// first button, Ok or Yes), a modal window is closed at once, a file dialog is cancelled.
class RecordingDialogs final : public ui::Dialogs {
 public:
  struct Shown {
    std::string form;  // the modal window's name; empty for a message box
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

class OfflineProgram {
 public:
  // With no line at all. `comIni` only for what the windows read from it at start.
  explicit OfflineProgram(std::filesystem::path comIni = link::comIniPath());
  // Working for the window: its transfers use the window's line and clock and show their
  // progress on the window's progress dialog; everything else stays out of sight.
  explicit OfflineProgram(settings::ProgramState& window);

  settings::ProgramState& state() { return program_.state(); }
  const std::vector<RecordingDialogs::Shown>& shown() const { return dialogs_.shown; }
  RecordingDialogs& dialogs() { return dialogs_; }

 private:
  OfflineProgram(link::Clock* clock, std::filesystem::path comIni);

  // The line the program works on once started: nothing before (its start-up would send the
  // leave-test letter), then the window's.
  class LineAfterStart final : public link::Port {
   public:
    link::Port* target = nullptr;
    bool open(const std::string& device) override { return target && target->open(device); }
    void close() override {
      if (target) target->close();
    }
    bool isOpen() const override { return target && target->isOpen(); }
    void purgeBoth() override {
      if (target) target->purgeBoth();
    }
    void purgeReceive() override {
      if (target) target->purgeReceive();
    }
    bool write(std::span<const std::uint8_t> bytes) override {
      return target && target->write(bytes);
    }
    std::size_t read(std::span<std::uint8_t> buffer) override {
      return target ? target->read(buffer) : 0;
    }
  };

  RecordingDialogs dialogs_;
  HiddenScreen screen_;
  LineAfterStart line_;
  link::VirtualClock ownClock_;
  Program program_;
};

}  // namespace rcp::app
