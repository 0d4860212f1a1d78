#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "program/printable_text.hpp"
#include "ui/dialogs.hpp"
#include "ui/screen.hpp"

// The program's dialogs and screen on a terminal, for the command-line tool: a message box or a
// modal window (the range warning) becomes a line of text (a message's detail a second line),
// and the progress dialog becomes a progress line redrawn in place while it is open, drawn only
// when the stream is a terminal.
// Nothing waits for an answer: a message is taken as confirmed (its first button), a modal window
// as closed at once, a file dialog as cancelled.
namespace rcp::app {

class TerminalLines {
 public:
  TerminalLines(std::ostream& out, bool drawProgress) : out_(out), drawProgress_(drawProgress) {}

  // A line of its own (a message's line breaks kept), printable; an open progress line is ended
  // first.
  void line(const std::string& text);
  // The progress line: the activity, a bar and the percentage, redrawn when it changes.
  void progress(const std::string& activity, int percent);
  void endProgress();

 private:
  std::ostream& out_;
  bool drawProgress_;
  bool progressOpen_ = false;
  std::string shown_;
};

class TerminalDialogs final : public ui::Dialogs {
 public:
  explicit TerminalDialogs(TerminalLines& lines) : lines_(lines) {}
  ui::MessageResult message(const ui::Message& message) override;
  // The window's caption and its labels, as the user would read them, on one line.
  void showModal(ui::Form& form) override;
  std::optional<std::string> openFile(const ui::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> saveFile(const ui::FileDialogRequest&) override {
    return std::nullopt;
  }

 private:
  TerminalLines& lines_;
};

class TerminalScreen final : public ui::Screen {
 public:
  explicit TerminalScreen(TerminalLines& lines) : lines_(lines) {}
  // The progress dialog's closing ends its line.
  void formCreated(ui::Form& form) override;
  // Painting the open progress dialog draws its line; other windows have no view here.
  void repaint(const ui::Form& form) override;
  void setBusy(bool) override {}
  void setApplicationTitle(const std::string&) override {}
  void quit() override {}

 private:
  TerminalLines& lines_;
};

}  // namespace rcp::app
