#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/clock.hpp"
#include "link/port.hpp"
#include "ui/dialogs.hpp"
#include "ui/screen.hpp"

namespace rcp::test {

// Records every message box and modal showing; answers from a script.
class FakeDialogs : public ui::Dialogs {
 public:
  std::vector<ui::Message> messages;
  std::vector<std::string> shownForms;
  // Runs while a form is shown modally (click its buttons here); the form is closed afterwards.
  std::function<void(ui::Form&)> onModal;
  std::function<ui::MessageResult(const ui::Message&)> answer;
  std::deque<std::optional<std::string>> fileAnswers;

  ui::MessageResult message(const ui::Message& m) override {
    messages.push_back(m);
    return answer ? answer(m) : ui::defaultResult(m.buttons);
  }
  void showModal(ui::Form& form) override {
    shownForms.push_back(form.name());
    form.show();
    if (onModal) onModal(form);
    form.close();
  }
  std::optional<std::string> openFile(const ui::FileDialogRequest&) override { return nextFile(); }
  std::optional<std::string> saveFile(const ui::FileDialogRequest&) override { return nextFile(); }

  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
  }

 private:
  std::optional<std::string> nextFile() {
    if (fileAnswers.empty()) return std::nullopt;
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
  }
};

class FakeScreen : public ui::Screen {
 public:
  std::vector<std::string> created;
  int repaints = 0;
  bool busy = false;
  std::string title;
  int quits = 0;

  void formCreated(ui::Form& form) override { created.push_back(form.name()); }
  void repaint(const ui::Form&) override { ++repaints; }
  void setBusy(bool b) override { busy = b; }
  void setApplicationTitle(const std::string& t) override { title = t; }
  void quit() override { ++quits; }
};

// A port that records what is written; reads get nothing.
class RecordingPort : public link::Port {
 public:
  bool opens = true;
  bool isOpen_ = false;
  std::string written;  // bytes as a string, for easy comparison

  bool open(const std::string&) override { return isOpen_ = opens; }
  void close() override { isOpen_ = false; }
  bool isOpen() const override { return isOpen_; }
  void purgeBoth() override {}
  void purgeReceive() override {}
  bool write(std::span<const std::uint8_t> bytes) override {
    written.append(bytes.begin(), bytes.end());
    return isOpen_;
  }
  std::size_t read(std::span<std::uint8_t>) override { return 0; }
};

}  // namespace rcp::test
