#pragma once

#include "settings/program_state.hpp"

// The Test tab's rules bound to its controls: entering the test state when the tab is shown, the
// test channel, the test buttons, the alignment values, the calibration and the test frequencies.
namespace rcp::testmode {

void bindTestTab(settings::ProgramState& state);

}  // namespace rcp::testmode
