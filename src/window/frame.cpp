#include "window/frame.hpp"

#include <cstdint>

#include "program/application_title.hpp"
#include "program/unsaved_changes.hpp"
#include "testmode/test_state.hpp"

namespace rcp::app {

namespace {

using settings::ProgramState;
using settings::StatusPanel;

void onClick(ui::Form& form, const char* control, std::function<void()> action) {
  form.on(control, ui::Event::Click, [action = std::move(action)](ui::Control&) { action(); });
}

// The password dialog opens only while the test tab is still hidden.
void openPassword(ProgramState& state) {
  if (state.main->at("Test").visible) return;
  state.dialogs.showModal(*state.password);
}

void StatusBarDblClick(ProgramState& state) {
  state.values.aboutSuppressed = true;
  if (!testmode::isTestTabActive(state)) return;
  ui::Form& form = *state.main;
  form.setCaption("CompressOpen", "压扩开");
  form.setCaption("CompressClose", "压扩关");
  form.setFont("CompressOpen", "楷体_GB2312");
  form.setFont("CompressClose", "楷体_GB2312");
}

void HelpShow(ProgramState& state) {
  testmode::leaveTestStep(state);
  if (!state.values.aboutSuppressed) state.dialogs.showModal(*state.version);
}

// Alt with a letter, Shift and Ctrl ignored; the letter alone does nothing.
void FormKeyDown(ProgramState& state, char32_t key, bool alt) {
  if (!alt) return;
  ui::Form& form = *state.main;
  // The shortcuts leave the focus where it is; what is being typed counts as entered.
  if (key != 'X') form.finishEditing();
  switch (key) {
    case 'T':
      openPassword(state);
      break;
    case 'S':
      form.fire("SaveFile", ui::Event::Click);
      break;
    case 'O':
      form.fire("OpenFile", ui::Event::Click);
      break;
    case 'C':
      form.fire("ComSet", ui::Event::Click);
      break;
    case 'R':
      form.fire("ReadData", ui::Event::Click);
      break;
    case 'W':
      form.fire("WriteData", ui::Event::Click);
      break;
    case 'X':
      OutProgClick(state);
      break;
    case 'B':
      state.dialogs.showModal(*state.fleet);
      break;
    case 'H':
      state.dialogs.showModal(*state.historyDialog);
      break;
    // The two double-clicks, on the keyboard: the picture's (旧版本) and the status bar's.
    case 'J':
      form.fire("Image2", ui::Event::DblClick);
      break;
    case 'Z':
      form.fire("StatusBar", ui::Event::DblClick);
      break;
    default:
      break;
  }
}

}  // namespace

bool mayExit(ProgramState& state) {
  if (!recordChanged(state)) return true;
  const ui::Message question{std::string(kUnsavedQuestion), kApplicationTitle,
                             ui::MessageIcon::Warning, ui::MessageButtons::YesNoCancel};
  switch (state.dialogs.message(question)) {
    case ui::MessageResult::Yes:
      // Saved as Alt+S saves: what is being typed counts as entered. A save dialog cancelled or
      // a save that failed keeps the program running.
      state.main->finishEditing();
      state.main->fire("SaveFile", ui::Event::Click);
      return !recordChanged(state);
    case ui::MessageResult::No:
      return true;
    case ui::MessageResult::Ok:
    case ui::MessageResult::Cancel:
      break;
  }
  return false;
}

void OutProgClick(ProgramState& state) {
  if (!mayExit(state)) return;
  const std::uint8_t q = 'Q';
  state.port.write({&q, 1});
  state.screen.quit();
}

void Timer1Timer(ProgramState& state) {
  auto& toggle = state.values.statusToggle;
  state.showStatus(StatusPanel::Maker, toggle ? "Veltra通讯设备有限公司" : kWebsiteText);
  toggle = !toggle;
}

void bindFrame(ProgramState& state) {
  ui::Form& form = *state.main;
  onClick(form, "OutProg", [&state] { OutProgClick(state); });
  form.on("Help", ui::Event::Shown, [&state](ui::Control&) { HelpShow(state); });
  form.on("TestOpen", ui::Event::DblClick, [&state](ui::Control&) { openPassword(state); });
  form.on("Image2", ui::Event::DblClick,
          [&state](ui::Control&) { state.main->setVisible("OldVersion", true); });
  form.on("StatusBar", ui::Event::DblClick, [&state](ui::Control&) { StatusBarDblClick(state); });
  form.on("Timer1", ui::Event::Timer, [&state](ui::Control&) { Timer1Timer(state); });
  form.onKeyDown([&state](char32_t key, bool alt) { FormKeyDown(state, key, alt); });
  // The close box ends the program as the exit does, without "Q".
  form.onCloseQuery([&state] { return mayExit(state); });
}

void bindVersionForm(ProgramState& state) {
  ui::Form& form = *state.version;
  onClick(form, "VersionOk", [&form] { form.close(); });
}

}  // namespace rcp::app
