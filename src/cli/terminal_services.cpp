#include "cli/terminal_services.hpp"

#include <algorithm>

#include "ui/window_text.hpp"

namespace rcp::app {

namespace {

constexpr const char* kProgressBar = "WriteProgressBar";
constexpr const char* kActivity = "WriteLabel";
constexpr int kBarWidth = 30;

bool isProgressDialog(const ui::Form& form) {
  return form.contains(kProgressBar);
}

}  // namespace

void TerminalLines::line(const std::string& text) {
  endProgress();
  // A message's own line breaks stay line breaks; any other control byte is shown escaped.
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    out_ << printableText(std::string_view(text).substr(start, end - start)) << '\n';
    start = end + 1;
  }
  out_ << printableText(std::string_view(text).substr(start)) << '\n' << std::flush;
}

void TerminalLines::progress(const std::string& activity, int percent) {
  if (!drawProgress_) return;
  percent = std::clamp(percent, 0, 100);
  const int filled = percent * kBarWidth / 100;
  std::string text = printableText(activity) + " [" +
                     std::string(static_cast<std::size_t>(filled), '#') +
                     std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "] " +
                     std::to_string(percent) + "%";
  if (progressOpen_ && text == shown_) return;
  // Back to the start of the line and clear it, then the new state.
  out_ << "\r\x1b[K" << text << std::flush;
  shown_ = std::move(text);
  progressOpen_ = true;
}

void TerminalLines::endProgress() {
  if (!progressOpen_) return;
  out_ << '\n' << std::flush;
  progressOpen_ = false;
  shown_.clear();
}

ui::MessageResult TerminalDialogs::message(const ui::Message& message) {
  lines_.line(message.text);
  if (!message.detail.empty()) lines_.line(message.detail);
  return ui::defaultResult(message.buttons);
}

void TerminalDialogs::showModal(ui::Form& form) {
  form.show();
  const std::string said = ui::windowText(form);
  lines_.line(form.caption() + ":" + (said.empty() ? "" : " " + said));
  form.close();
}

void TerminalScreen::formCreated(ui::Form& form) {
  if (!isProgressDialog(form)) return;
  form.addObserver([this](const ui::Control* control, ui::Property what) {
    if (!control && what == ui::Property::FormClosed) lines_.endProgress();
  });
}

void TerminalScreen::repaint(const ui::Form& form) {
  if (!isProgressDialog(form) || !form.isShowing()) return;
  lines_.progress(form.at(kActivity).caption, form.value(kProgressBar));
}

}  // namespace rcp::app
