#pragma once

#include "program/program.hpp"
#include "settings/program_state.hpp"

// The window's commands bound to a started program: the frame (buttons, exit, timer, shortcuts,
// About box), the file and transfer commands, the port dialog and the fleet dialog, bound once the
// program has started (the desktop tool and the test program start it so, startWithWindow); a
// program with no window (the offline program, the command line's) leaves them unbound.
namespace rcp::app {

void bind(settings::ProgramState& state);

// The program started and its window's commands bound, as the desktop tool starts it.
void startWithWindow(Program& program);

}  // namespace rcp::app
