#pragma once

namespace rcp::gui {

// The desktop program: the Qt application, the platform services and the program, then the
// event loop. Returns the process exit code.
int runDesktop(int argc, char** argv);

}  // namespace rcp::gui
