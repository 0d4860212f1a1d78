#include "link/clock.hpp"

#include <chrono>
#include <thread>

namespace rcp::link {

namespace {
std::int64_t steadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

RealClock::RealClock() : startNs_(steadyNs()) {}

void RealClock::pause(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::int64_t RealClock::nowMs() const {
  return (steadyNs() - startNs_) / 1000000;
}

}  // namespace rcp::link
