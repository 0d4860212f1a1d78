#pragma once

#include <QStringList>
#include <string>
#include <vector>

namespace rcp::gui {

// The program's own arguments, those Qt left once it took its options (-platform, -style, ...).
struct DesktopArguments {
  std::string traceFile;  // empty: no trace
  // One line each, in Chinese, about what nobody takes: an unknown option, "--trace" without
  // a file. The program warns and starts all the same.
  std::vector<std::string> warnings;
};
DesktopArguments desktopArguments(const QStringList& arguments);

// What the desktop program sets on the Qt application before its windows: Qt's Chinese texts,
// the application font, the window icon and the desktop entry. A QApplication must exist.
void prepareApplication();

// The desktop program: the Qt application, the platform services and the program, then the
// event loop. Returns the process exit code.
int runDesktop(int argc, char** argv);

}  // namespace rcp::gui
