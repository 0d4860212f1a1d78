#include "testmode/test_tab.hpp"

#include "testmode/alignment.hpp"
#include "testmode/calibration.hpp"
#include "testmode/test_channel.hpp"
#include "testmode/test_commands.hpp"
#include "testmode/test_frequencies.hpp"
#include "testmode/test_state.hpp"

namespace rcp::testmode {

void bindTestTab(settings::ProgramState& state) {
  state.main->on("Test", ui::Event::Shown, [&state](ui::Control&) { TestShow(state); });
  bindTestChannelRules(state);
  bindTestCommands(state);
  bindAlignment(state);
  bindCalibration(state);
  bindTestFrequencies(state);
}

}  // namespace rcp::testmode
