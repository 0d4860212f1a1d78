#pragma once

#include "settings/program_state.hpp"

namespace rcp::testmode {

// Leaving the test state, run whenever one of the other tabs is shown (the first tab included
// when the main window first appears): "Q" to the radio, and the status text once the test tab
// has been unlocked.
void leaveTestStep(settings::ProgramState& state);

}  // namespace rcp::testmode
