#include "link/low_latency.hpp"

#include <linux/serial.h>
#include <sys/ioctl.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace rcp::link {

namespace {

std::filesystem::path timerFile(const std::string& ttyName, const SystemRoots& roots) {
  return roots.sys / "class" / "tty" / ttyName / "device" / "latency_timer";
}

// "ttyUSB0" of "/dev/ttyUSB0" or of a by-id link to it.
std::string ttyNameOf(const std::string& device, const SystemRoots& roots) {
  std::error_code ec;
  const std::filesystem::path file = roots.file(device);
  const std::filesystem::path real = std::filesystem::canonical(file, ec);
  return (ec ? file : real).filename().string();
}

}  // namespace

std::optional<int> latencyTimer(const std::string& ttyName, const SystemRoots& roots) {
  std::ifstream in(timerFile(ttyName, roots));
  std::string text;
  if (!(in >> text)) return std::nullopt;
  int ms = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ms);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return ms;
}

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
    std::ofstream(timerFile(name, roots)) << kLowLatencyTimerMs << '\n';
    const auto after = latencyTimer(name, roots);
    note += " -> " + (after ? std::to_string(*after) : std::string("?"));
  }
  return note + " ms";
}

}  // namespace rcp::link
