#pragma once

#include "settings/program_state.hpp"

// The radio's test state as the Test tab drives it: entered each time the tab is shown, left each
// time another tab is shown. The program keeps no record of the radio's state; the status texts
// are the only sign of it.
namespace rcp::testmode {

// Whether the Test tab is the main window's active page (the transfers then leave the test state
// first and return to it at their end).
bool isTestTabActive(const settings::ProgramState& state);

// Entering the test state, run whenever the Test tab is shown: the test channel back at the first
// channel, the status text, the short greeting with the identity shown, "T", the channel command.
void TestShow(settings::ProgramState& state);

// Leaving the test state, run whenever one of the other tabs is shown (the first tab included
// when the main window first appears): "Q" to the radio, and the status text once the test tab
// has been unlocked.
void leaveTestStep(settings::ProgramState& state);

}  // namespace rcp::testmode
