#pragma once

#include <string_view>

#include "settings/program_state.hpp"

namespace rcp::app {

// The main window's frame: the button column, the exit, the tab events, the pictures that reveal
// hidden things, the status bar, the ten-second status text and the Alt shortcuts.
void bindFrame(settings::ProgramState& state);

// The About box's own button.
void bindVersionForm(settings::ProgramState& state);

// Whether the program may end: at once when the record is kept; otherwise after asking
// kUnsavedQuestion (Yes: saved through the save command, and only a save that succeeded ends it;
// No: ends; Cancel: stays).
bool mayExit(settings::ProgramState& state);

// Exit: once the program may end, "Q" to the radio whatever the state of the port, then the end
// of the event loop.
void OutProgClick(settings::ProgramState& state);
void Timer1Timer(settings::ProgramState& state);

inline constexpr std::string_view kUnsavedQuestion = "配置已修改，是否保存？";

// The status-bar text that alternates with the company name.
inline constexpr const char* kWebsiteText = "Website: www.veltra-comm.com";

}  // namespace rcp::app
