#include <windows.h>

#include <cstring>

#include "cli/held_signals_platform.hpp"

namespace rcp::app {

namespace {

// Windows calls this on a thread of its own. Ctrl+C is taken and the program goes on. After
// closing the console (logging off, shutting down) Windows ends the process once this returns,
// or after its time-out: the handler does not return, so the transfer runs on until it ends and
// the program exits by itself, or Windows ends it.
BOOL WINAPI onConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      onHeldSignal(kInterruptSignal);
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      onHeldSignal(kHangUpSignal);
      Sleep(INFINITE);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void holdSignals() {
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void releaseSignals() {
  SetConsoleCtrlHandler(onConsoleEvent, FALSE);
}

void sayOnStderr(const char* text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written,
            nullptr);
}

}  // namespace rcp::app
