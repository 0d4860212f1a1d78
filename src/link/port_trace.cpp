#include "link/port_trace.hpp"

#include <cinttypes>
#include <cstdio>
#include <ctime>

#include "link/hex_text.hpp"

namespace rcp::link {

namespace {

constexpr int kTimeWidth = 8;

std::string startedAt() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0) return {};
  return text;
}

}  // namespace

std::string traceBytes(std::span<const std::uint8_t> bytes) {
  std::string hex;
  std::string text;
  for (const std::uint8_t byte : bytes) {
    if (!hex.empty()) hex += ' ';
    hex += hexByte(byte);
    text += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
  }
  return hex + "  |" + text + "|";
}

TraceLog::TraceLog(const std::filesystem::path& file, const Clock& clock)
    : file_(std::make_unique<OutputFile>(file, OutputFile::Start::Empty)),
      stream_(std::make_unique<FileStream>(*file_)),
      out_(*stream_),
      clock_(clock),
      originMs_(clock.nowMs()) {
  if (ok()) header();
}

TraceLog::TraceLog(std::ostream& out, const Clock& clock)
    : out_(out), clock_(clock), originMs_(clock.nowMs()) {
  header();
}

void TraceLog::header() {
  out_ << "# rcp520 protocol trace, started " << startedAt() << '\n'
       << "# ms since the port opened; > sent, < received: the bytes as hex and |as text|\n"
       << std::flush;
}

void TraceLog::line(std::int64_t atMs, std::string_view text) {
  char time[24];
  std::snprintf(time, sizeof time, "%*" PRId64 " ", kTimeWidth, atMs - originMs_);
  out_ << time << text << '\n' << std::flush;
}

void TraceLog::opened(const std::string& device, bool success) {
  const std::int64_t now = clock_.nowMs();
  if (success) originMs_ = now;
  line(now, "open " + device + (success ? "" : " failed"));
}

void TraceLog::noted(std::string_view text) {
  line(clock_.nowMs(), text);
}

void TraceLog::closed() {
  line(clock_.nowMs(), "close");
}

void TraceLog::purged(std::string_view which) {
  line(clock_.nowMs(), "purge " + std::string(which));
}

void TraceLog::sent(std::span<const std::uint8_t> bytes, bool success, std::int64_t startMs) {
  line(startMs, "> " + traceBytes(bytes) + (success ? "" : "  write failed"));
}

void TraceLog::received(std::span<const std::uint8_t> bytes, std::size_t wanted,
                        std::int64_t startMs) {
  const std::string counts = std::to_string(bytes.size()) + " of " + std::to_string(wanted) +
                             " bytes in " + std::to_string(clock_.nowMs() - startMs) + " ms";
  if (bytes.empty()) {
    line(startMs, "< time-out: " + counts);
  } else {
    line(startMs,
         "< " + traceBytes(bytes) + "  " + (bytes.size() < wanted ? "time-out: " : "") + counts);
  }
}

void TraceLog::paused(int ms) {
  line(clock_.nowMs(), "pause " + std::to_string(ms) + " ms");
}

bool TracedPort::open(const std::string& device) {
  const bool success = port_.open(device);
  log_.opened(device, success);
  if (success && !port_.openNote().empty()) log_.noted(port_.openNote());
  return success;
}

void TracedPort::close() {
  const bool wasOpen = port_.isOpen();
  port_.close();
  if (wasOpen) log_.closed();
}

void TracedPort::purgeBoth() {
  port_.purgeBoth();
  log_.purged("both");
}

void TracedPort::purgeReceive() {
  port_.purgeReceive();
  log_.purged("receive");
}

bool TracedPort::write(std::span<const std::uint8_t> bytes) {
  const std::int64_t start = log_.nowMs();
  const bool success = port_.write(bytes);
  log_.sent(bytes, success, start);
  return success;
}

std::size_t TracedPort::read(std::span<std::uint8_t> buffer) {
  const std::int64_t start = log_.nowMs();
  const std::size_t got = port_.read(buffer);
  log_.received(buffer.first(got), buffer.size(), start);
  return got;
}

void TracedClock::pause(int ms) {
  log_.paused(ms);
  clock_.pause(ms);
}

}  // namespace rcp::link
