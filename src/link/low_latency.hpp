#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "link/system_roots.hpp"

// USB serial adaptors hold received bytes back up to their latency timer (16 ms by default on
// FTDI) before passing them on, which eats most of the line's 20 ms gaps and 40 ms one-byte
// time-outs. On opening, the tool asks the driver for low latency (ASYNC_LOW_LATENCY) and sets an
// FTDI adaptor's latency_timer in sysfs to 1 ms where it may write it.
namespace rcp::link {

// A latency timer above this is named by `ports` and the port doctor.
constexpr int kHighLatencyTimerMs = 2;
constexpr int kLowLatencyTimerMs = 1;

// The adaptor's latency timer in ms (sysfs, "latency_timer" of the tty's device); nothing when
// the driver has none.
std::optional<int> latencyTimer(const std::string& ttyName, const SystemRoots& roots = {});

// "ttyUSB0" of "/dev/ttyUSB0" or of a by-id link to it.
std::string ttyNameOf(const std::string& device, const SystemRoots& roots = {});

// What a latency timer above kHighLatencyTimerMs costs and how to lower it, in Chinese.
std::string highLatencyText(const std::string& ttyName, int timerMs);

// highLatencyText for the adaptor behind `device` when its latency timer is high; nothing for a
// low timer or a device without one.
std::optional<std::string> latencyProblem(const std::string& device, const SystemRoots& roots = {});

// The sysfs file of the adaptor's latency timer.
std::filesystem::path latencyTimerFile(const std::string& ttyName, const SystemRoots& roots = {});

// Linux only (low_latency_posix.cpp): asks for low latency on the open terminal `fd` of `device`;
// what was done, for the trace: "low latency: ASYNC_LOW_LATENCY on, latency_timer 16 -> 1 ms".
std::string askLowLatency(int fd, const std::string& device, const SystemRoots& roots = {});

}  // namespace rcp::link
