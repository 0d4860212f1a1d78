// rcp520: the desktop tool. Qt's own options (-platform, -style, ...) go to Qt; --help and
// --version are answered before any window or display is needed.

#include <cstdio>
#include <cstring>
#include <iostream>

#include "gui/desktop.hpp"
#include "version.hpp"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// On Windows the window program has no console of its own: --help and --version write to the
// console of the command prompt that started it, when there is one.
void useParentConsole() {
#ifdef _WIN32
  if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    if (std::freopen("CONOUT$", "w", stdout)) std::cout.clear();
  }
#endif
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "--help") == 0 ||
        std::strcmp(argv[i], "-h") == 0)
      useParentConsole();
    if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "rcp520 " << rcp::kVersion << '\n';
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::cout << "usage: rcp520 [--trace FILE] [QT-OPTIONS]\n"
                   "The RCP520 programming tool for MPT 1327 trunked radios, on the desktop.\n"
                   "--trace FILE (or RCP520_TRACE=FILE) writes a protocol trace of the serial\n"
                   "line into FILE, one line per event, for a problem report.\n"
                   "Qt's standard options are accepted, such as -platform NAME and -style NAME.\n"
                   "See also rcp520-cli(1) and rcp520-radio(1).\n";
      return 0;
    }
  }
  return rcp::gui::runDesktop(argc, argv);
}
