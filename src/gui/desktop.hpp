#pragma once

namespace rcp::gui {

// What the desktop program sets on the Qt application before its windows: Qt's Chinese texts,
// the application font, the window icon and the desktop entry. A QApplication must exist.
void prepareApplication();

// The desktop program: the Qt application, the platform services and the program, then the
// event loop. Returns the process exit code.
int runDesktop(int argc, char** argv);

}  // namespace rcp::gui
