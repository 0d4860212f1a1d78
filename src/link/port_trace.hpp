#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "link/clock.hpp"
#include "link/file_stream.hpp"
#include "link/port.hpp"

// The protocol trace for support: everything that goes over the line, one line per event.
//
//   # rcp520 protocol trace, started 2025-06-01 10:15:02
//   # ms since the port opened; > sent, < received: the bytes as hex and |as text|
//        0 open /dev/ttyUSB0
//        0 purge both
//        0 > 91  |.|
//        0 pause 10 ms
//       10 purge receive
//       10 > 50 52 4F 47 0D  |PROG.|
//       10 < 52 43 50 ...  |RCP77D HX77  V2.10|  18 of 18 bytes in 31 ms
//      421 < time-out: 0 of 1 bytes in 40 ms
//
// Every line is stamped when its event started. A read says how many of the bytes it asked for
// came and how long it took; one that got fewer says "time-out". Text shows printable ASCII as it
// is and every other byte as '.'. Every line is flushed as it is written, so a crash keeps the
// trace.
namespace rcp::link {

class TraceLog {
 public:
  // Writes to `file` (a regular file, emptied, or a new private one); ok() tells whether it
  // could be opened and reason() why not. Times come from `clock`.
  TraceLog(const std::filesystem::path& file, const Clock& clock);
  // Writes to a stream the caller keeps.
  TraceLog(std::ostream& out, const Clock& clock);
  TraceLog(const TraceLog&) = delete;
  TraceLog& operator=(const TraceLog&) = delete;

  bool ok() const { return out_.good(); }
  std::string reason() const { return file_ ? file_->reason() : std::string(); }

  // An open of the device; a successful one starts the time anew.
  void opened(const std::string& device, bool success);
  // What the open set up ("low latency: ...").
  void noted(std::string_view text);
  void closed();
  void purged(std::string_view which);
  void sent(std::span<const std::uint8_t> bytes, bool success, std::int64_t startMs);
  void received(std::span<const std::uint8_t> bytes, std::size_t wanted, std::int64_t startMs);
  void paused(int ms);
  // Milliseconds on the clock (not since the open): what sent() and received() take as their
  // start.
  std::int64_t nowMs() const { return clock_.nowMs(); }

 private:
  void header();
  void line(std::int64_t atMs, std::string_view text);

  std::unique_ptr<OutputFile> file_;
  std::unique_ptr<FileStream> stream_;
  std::ostream& out_;
  const Clock& clock_;
  std::int64_t originMs_ = 0;
};

// A port that records every operation into a trace and passes it on unchanged.
class TracedPort final : public Port {
 public:
  TracedPort(Port& port, TraceLog& log) : port_(port), log_(log) {}
  std::string openNote() const override { return port_.openNote(); }

  bool open(const std::string& device) override;
  void close() override;
  bool isOpen() const override { return port_.isOpen(); }
  void purgeBoth() override;
  void purgeReceive() override;
  bool write(std::span<const std::uint8_t> bytes) override;
  std::size_t read(std::span<std::uint8_t> buffer) override;

 private:
  Port& port_;
  TraceLog& log_;
};

// A clock whose pauses are recorded into the trace.
class TracedClock final : public Clock {
 public:
  TracedClock(Clock& clock, TraceLog& log) : clock_(clock), log_(log) {}
  void pause(int ms) override;
  std::int64_t nowMs() const override { return clock_.nowMs(); }

 private:
  Clock& clock_;
  TraceLog& log_;
};

// "50 52 4F 47 0D  |PROG.|": bytes as hex and as text.
std::string traceBytes(std::span<const std::uint8_t> bytes);

}  // namespace rcp::link
