#pragma once

#include "settings/program_state.hpp"

namespace rcp::app {

// The main window's creation step: the port name from Com.ini, then the port opened and the
// radio greeted and identified.
void openPortAtStartUp(settings::ProgramState& state);

// Opens the port named by PortName and greets the radio, reporting a busy port or a silent radio;
// an answering radio is shown and identified with the start-up purpose.
void openPortAndGreet(settings::ProgramState& state);

// The port dialog: shows the port in use, and on confirmation stores the choice, reopens the port
// and greets the radio again.
void bindComSetForm(settings::ProgramState& state);

}  // namespace rcp::app
