#pragma once

#include "settings/program_state.hpp"

// The window's commands bound to a started program: the frame (buttons, exit, timer, shortcuts,
// About box), the file and transfer commands, the port dialog and the fleet dialog. The desktop
// tool and the test program call it once the program has started; a program with no window (the
// offline program, the command line's) leaves them unbound.
namespace rcp::app {

void bind(settings::ProgramState& state);

}  // namespace rcp::app
