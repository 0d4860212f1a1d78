#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "link/low_latency.hpp"
#include "link/port_timings.hpp"
#include "link/serial_port.hpp"

namespace rcp::link {

namespace {

using Clock = std::chrono::steady_clock;

bool configureLine(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return false;
  cfmakeraw(&settings);
  settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  settings.c_cflag |= CS8 | CREAD | CLOCAL;
  settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  if (cfsetispeed(&settings, B9600) != 0 || cfsetospeed(&settings, B9600) != 0) return false;
  return tcsetattr(fd, TCSANOW, &settings) == 0;
}

// Sleeps in poll until the descriptor is ready for `events` or `deadline` passes; with no
// descriptor (fd < 0) it just sleeps until then. Returns the ready events, 0 on time-out.
// A time-out is declared only after a last look once the deadline has passed: a process taken
// off the processor until after its deadline still finds the bytes that came meanwhile.
short waitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::max(deadline - Clock::now(), Clock::duration::zero());
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    const timespec timeout{static_cast<time_t>(ns / 1000000000),
                           static_cast<long>(ns % 1000000000)};
    pollfd entry{fd, events, 0};
    const int rc = ppoll(&entry, 1, &timeout, nullptr);
    if (rc > 0) return entry.revents;
    if (rc < 0 && errno != EINTR) return POLLERR;
    if (rc == 0 && ns == 0) return 0;
  }
}

// Waits out the rest of a time-out on a line that cannot deliver (hung up or failing), the way
// the read would on a silent line, without spinning.
void sleepUntil(Clock::time_point deadline) {
  waitFor(-1, 0, deadline);
}

// The open line's descriptor.
int fdOf(std::intptr_t line) {
  return static_cast<int>(line);
}

// The slave side of a pseudo-terminal (major numbers 136-143).
bool isPseudoTerminal(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return false;
  const unsigned int number = major(info.st_rdev);
  return number >= 136 && number <= 143;
}

}  // namespace

SerialPort::~SerialPort() {
  close();
}

bool SerialPort::open(const std::string& device) {
  close();
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ready = isatty(fd) && flock(fd, LOCK_EX | LOCK_NB) == 0 && ioctl(fd, TIOCEXCL) == 0 &&
                     configureLine(fd);
  if (!ready) {
    ::close(fd);
    return false;
  }
  line_ = fd;
  pseudoTerminal_ = isPseudoTerminal(fd);
  openNote_ = pseudoTerminal_ ? std::string() : askLowLatency(fd, device);
  // Nothing of ours is queued yet, so the transmit side of a real port can go too. On a
  // pseudo-terminal "unsent" output is the other side's unread input, which is not ours to drop.
  tcflush(fdOf(line_), pseudoTerminal_ ? TCIFLUSH : TCIOFLUSH);
  return true;
}

void SerialPort::close() {
  if (line_ == kNoLine) return;
  // What was handed over still leaves before the line is let go. A signal taken meanwhile (one
  // held during a transfer) does not cut it short.
  while (tcdrain(fdOf(line_)) != 0 && errno == EINTR) {
  }
  // The exclusive mark belongs to the terminal, not to this descriptor: take it back so the
  // next program can open the port even while another descriptor keeps the terminal alive.
  ioctl(fdOf(line_), TIOCNXCL);
  ::close(fdOf(line_));
  line_ = kNoLine;
}

void SerialPort::purgeBoth() {
  if (line_ == kNoLine) return;
  // The transmit side holds only requests already handed over, which a real line would deliver:
  // they are never taken back, so only what came in is dropped.
  tcflush(fdOf(line_), TCIFLUSH);
}

void SerialPort::purgeReceive() {
  if (line_ != kNoLine) tcflush(fdOf(line_), TCIFLUSH);
}

bool SerialPort::write(std::span<const std::uint8_t> bytes) {
  if (line_ == kNoLine) return false;
  const auto deadline = Clock::now() + PortTimings::writeTimeout(bytes.size());
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::write(fdOf(line_), bytes.data() + sent, bytes.size() - sent);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    const short ready = waitFor(fdOf(line_), POLLOUT, deadline);
    if (ready == 0 || (ready & (POLLERR | POLLHUP | POLLNVAL)) != 0) return false;
  }
  // No wait for the bytes to cross: the purge that follows a request must happen while the
  // request is still on the line, before the radio can answer it. Waiting here would let a tool
  // held up for a few milliseconds after the drain purge a quick radio's answer.
  return true;
}

std::size_t SerialPort::read(std::span<std::uint8_t> buffer) {
  if (line_ == kNoLine) return 0;
  const auto total = Clock::now() + PortTimings::readTimeout(buffer.size());
  std::size_t got = 0;
  Clock::time_point lastByte;
  while (got < buffer.size()) {
    const auto deadline = got == 0 ? total : std::min(total, lastByte + PortTimings::kByteGap);
    const short ready = waitFor(fdOf(line_), POLLIN, deadline);
    if (ready == 0) break;
    if ((ready & POLLIN) != 0) {
      const ssize_t n = ::read(fdOf(line_), buffer.data() + got, buffer.size() - got);
      if (n > 0) {
        got += static_cast<std::size_t>(n);
        lastByte = Clock::now();
        continue;
      }
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    }
    // Hung up or failing: nothing more can come, but the read still lasts its time-out.
    sleepUntil(deadline);
    break;
  }
  return got;
}

}  // namespace rcp::link
