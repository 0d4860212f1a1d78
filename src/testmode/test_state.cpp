#include "testmode/test_state.hpp"

#include "link/commands.hpp"
#include "link/greeting.hpp"
#include "settings/radio_session.hpp"
#include "testmode/test_channel.hpp"

namespace rcp::testmode {

bool isTestTabActive(const settings::ProgramState& state) {
  const ui::Form& form = *state.main;
  return form.at(form.activePage("HomeControlPage")).caption == "测试";
}

void TestShow(settings::ProgramState& state) {
  showFirstChannel(state);
  state.showStatus(settings::StatusPanel::State, "进入测试状态");
  link::enterTestState(state.port, state.radioIdentity,
                       [&state] { settings::showIdentity(state); });
  sendChannelCommand(state);
}

void leaveTestStep(settings::ProgramState& state) {
  state.port.write(link::modeLetter(link::ModeLetter::Leave));
  if (state.values.testUnlocked) state.showStatus(settings::StatusPanel::State, "退出测试状态");
}

}  // namespace rcp::testmode
