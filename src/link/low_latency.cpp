#include "link/low_latency.hpp"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace rcp::link {

std::filesystem::path latencyTimerFile(const std::string& ttyName, const SystemRoots& roots) {
  return roots.sys / "class" / "tty" / ttyName / "device" / "latency_timer";
}

std::string ttyNameOf(const std::string& device, const SystemRoots& roots) {
  std::error_code ec;
  const std::filesystem::path file = roots.file(device);
  const std::filesystem::path real = std::filesystem::canonical(file, ec);
  return (ec ? file : real).filename().string();
}

std::string highLatencyText(const std::string& ttyName, int timerMs) {
  const std::string low = std::to_string(kLowLatencyTimerMs);
  return ttyName + " 的延迟计时器为 " + std::to_string(timerMs) +
         " ms：收到的字节最多要等这么久才交给程序，电台的应答可能被当作超时。打开串口时程序会设为"
         " " +
         low + " ms；若没有权限，请以 root 执行 echo " + low + " > /sys/bus/usb-serial/devices/" +
         ttyName + "/latency_timer。";
}

std::optional<std::string> latencyProblem(const std::string& device, const SystemRoots& roots) {
  const std::string name = ttyNameOf(device, roots);
  const auto timer = latencyTimer(name, roots);
  if (!timer || *timer <= kHighLatencyTimerMs) return std::nullopt;
  return highLatencyText(name, *timer);
}

std::optional<int> latencyTimer(const std::string& ttyName, const SystemRoots& roots) {
  std::ifstream in(latencyTimerFile(ttyName, roots));
  std::string text;
  if (!(in >> text)) return std::nullopt;
  int ms = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ms);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return ms;
}

}  // namespace rcp::link
