#include "testmode/password.hpp"

namespace rcp::testmode {

namespace {

using settings::ProgramState;

constexpr const char* kField = "PassWords";

void warnUser(ProgramState& state, const char* text) {
  state.dialogs.message({text, "警告", ui::MessageIcon::Warning});
}

// The typed text goes, and the field keeps the focus.
void clearField(ui::Form& dialog) {
  dialog.setText(kField, "");
  dialog.setFocus(kField);
}

}  // namespace

bool isAcceptedPassword(std::string_view text) {
  return text == "qorvel" || text == "QORVEL";
}

void Ok_ButtonClick(ProgramState& state) {
  ui::Form& dialog = *state.password;
  if (isAcceptedPassword(dialog.text(kField))) {
    ui::Form& main = *state.main;
    main.setVisible("Test", true);
    dialog.setText(kField, "");
    dialog.close();
    main.setActivePage("Test");  // enters the test state
    state.showStatus(settings::StatusPanel::State, "进入测试状态");
    state.values.testUnlocked = true;
    return;
  }
  int& attempts = state.values.passwordAttempts;
  ++attempts;
  clearField(dialog);
  if (attempts < kPasswordAttempts) {
    warnUser(state, "密码错误！");
    return;
  }
  warnUser(state, "您是非法用户，请退出！");
  dialog.close();
  attempts = 0;
}

void Cancel_ButtonClick(ProgramState& state) {
  ui::Form& dialog = *state.password;
  clearField(dialog);
  dialog.close();
  state.values.passwordAttempts = 0;
}

void bindPasswordDialog(ProgramState& state) {
  ui::Form& dialog = *state.password;
  dialog.on("Ok_Button", ui::Event::Click, [&state](ui::Control&) { Ok_ButtonClick(state); });
  dialog.on("Cancel_Button", ui::Event::Click,
            [&state](ui::Control&) { Cancel_ButtonClick(state); });
}

}  // namespace rcp::testmode
