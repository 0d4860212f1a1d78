#include <linux/serial.h>
#include <sys/ioctl.h>

#include <fstream>

#include "link/low_latency.hpp"

namespace rcp::link {

std::string askLowLatency(int fd, const std::string& device, const SystemRoots& roots) {
  std::string note = "low latency:";
  serial_struct serial{};
  const bool flagged = ioctl(fd, TIOCGSERIAL, &serial) == 0 &&
                       (serial.flags |= ASYNC_LOW_LATENCY, ioctl(fd, TIOCSSERIAL, &serial) == 0);
  note += flagged ? " ASYNC_LOW_LATENCY on" : " ASYNC_LOW_LATENCY not supported";
  const std::string name = ttyNameOf(device, roots);
  const auto before = latencyTimer(name, roots);
  if (!before) return note;
  note += ", latency_timer " + std::to_string(*before);
  if (*before > kLowLatencyTimerMs) {
    std::ofstream(latencyTimerFile(name, roots)) << kLowLatencyTimerMs << '\n';
    const auto after = latencyTimer(name, roots);
    note += " -> " + (after ? std::to_string(*after) : std::string("?"));
  }
  return note + " ms";
}

}  // namespace rcp::link
