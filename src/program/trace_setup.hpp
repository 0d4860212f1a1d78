#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/clock.hpp"
#include "link/port.hpp"
#include "link/port_trace.hpp"

// The protocol trace of a run: asked for with "--trace FILE" or the environment variable
// RCP520_TRACE=FILE, by the window and the command line alike.
namespace rcp::app {

inline constexpr const char* kTraceOption = "--trace";
inline constexpr const char* kTraceVariable = "RCP520_TRACE";

// Takes "--trace FILE" (or "--trace=FILE") out of the arguments wherever it stands; the last one
// counts. Without it, the value of RCP520_TRACE (empty when unset: no trace). Nullopt when
// "--trace" has no file after it.
std::optional<std::string> takeTraceOption(std::vector<std::string_view>& args);

// The port and clock a program runs on, traced into `file` when one is named: every open, purge,
// send, receive, time-out and pause (see link::TraceLog).
class TracedLink {
 public:
  TracedLink(link::Port& port, link::Clock& clock, const std::string& file);
  TracedLink(const TracedLink&) = delete;
  TracedLink& operator=(const TracedLink&) = delete;

  // A file was named and cannot be written; the run goes on untraced.
  bool failed() const { return failed_; }
  // "无法写入跟踪文件“FILE”".
  std::string failureMessage() const;

  link::Port& port() { return tracedPort_ ? static_cast<link::Port&>(*tracedPort_) : port_; }
  link::Clock& clock() { return tracedClock_ ? static_cast<link::Clock&>(*tracedClock_) : clock_; }

 private:
  link::Port& port_;
  link::Clock& clock_;
  std::string file_;
  bool failed_ = false;
  std::string reason_;
  std::unique_ptr<link::TraceLog> log_;
  std::unique_ptr<link::TracedPort> tracedPort_;
  std::unique_ptr<link::TracedClock> tracedClock_;
};

}  // namespace rcp::app
