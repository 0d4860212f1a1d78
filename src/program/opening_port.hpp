#pragma once

#include <string>

#include "settings/program_state.hpp"

// Opening the port and greeting the radio, at start-up and whenever the port changes.
namespace rcp::app {

// The main window's creation step: the port name from Com.ini, then the port opened and the
// radio greeted and identified.
void openPortAtStartUp(settings::ProgramState& state);

// Opens the port named by PortName and greets the radio, reporting a busy port (with the port
// doctor's reason as the box's second line) or a silent radio; an answering radio is shown and
// identified with the start-up purpose.
void openPortAndGreet(settings::ProgramState& state);

// The box "通讯口被占用" for a device that did not open, with the port doctor's reason as its
// second line, and the state panel saying so.
void reportPortBusy(settings::ProgramState& state, const std::string& device);

}  // namespace rcp::app
