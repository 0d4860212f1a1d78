#pragma once

// Where the platform meets HeldSignals (held_signals_posix.cpp, held_signals_win32.cpp): the
// platform delivers Ctrl+C and the ends of the terminal to onHeldSignal as signal numbers (POSIX:
// SIGINT, SIGTERM, SIGHUP; Windows: Ctrl+C and Ctrl+Break as SIGINT, closing the console, logging
// off and shutting down as SIGHUP).
namespace rcp::app {

// Ctrl+C on Windows, SIGINT on POSIX; the console closed on Windows, SIGHUP on POSIX.
constexpr int kInterruptSignal = 2;
constexpr int kHangUpSignal = 1;

// Starts and stops delivering the signals to onHeldSignal (previous handlers restored).
void holdSignals();
void releaseSignals();

// The first signal is held and said on stderr; a second one ends the program at once.
void onHeldSignal(int signal);

// Writes the text to stderr from within a signal handler (no allocation, no lock).
void sayOnStderr(const char* text);

}  // namespace rcp::app
