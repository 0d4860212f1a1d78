#pragma once

#include "settings/program_state.hpp"

namespace rcp::app {

// The main window's frame: the button column, the exit, the tab events, the pictures that reveal
// hidden things, the status bar, the ten-second status text and the Alt shortcuts.
void bindFrame(settings::ProgramState& state);

// The About box's own button.
void bindVersionForm(settings::ProgramState& state);

// Exit: "Q" to the radio whatever the state of the port, then the end of the event loop.
void OutProgClick(settings::ProgramState& state);
void Timer1Timer(settings::ProgramState& state);

// The status-bar text that alternates with the company name.
inline constexpr const char* kWebsiteText = "Website: www.veltra-comm.com";

}  // namespace rcp::app
