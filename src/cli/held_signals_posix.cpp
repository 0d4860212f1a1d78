#include <signal.h>
#include <unistd.h>

#include <array>
#include <cstring>

#include "cli/held_signals_platform.hpp"

namespace rcp::app {

namespace {

constexpr std::array<int, 3> kHeld = {SIGINT, SIGTERM, SIGHUP};
static_assert(SIGINT == kInterruptSignal && SIGHUP == kHangUpSignal);

std::array<struct sigaction, kHeld.size()> previous{};

}  // namespace

void holdSignals() {
  struct sigaction action {};
  action.sa_handler = onHeldSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < kHeld.size(); ++i) sigaction(kHeld[i], &action, &previous[i]);
}

void releaseSignals() {
  for (std::size_t i = 0; i < kHeld.size(); ++i) sigaction(kHeld[i], &previous[i], nullptr);
}

void sayOnStderr(const char* text) {
  (void)!::write(STDERR_FILENO, text, std::strlen(text));
}

}  // namespace rcp::app
