#include "sim/pty_radio.hpp"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>

namespace rcp::sim {

namespace {

std::string failure(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

bool makeRaw(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return false;
  cfmakeraw(&settings);
  cfsetispeed(&settings, B9600);
  cfsetospeed(&settings, B9600);
  return tcsetattr(fd, TCSANOW, &settings) == 0;
}

std::int64_t steadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

PtyRadio::PtyRadio(VirtualRadio& radio)
    : radioEnd_(std::make_unique<RadioLineEnd>(radio)),
      radio_(&radio),
      far_(*radioEnd_),
      burstGap_(radio.timing().burstGap),
      startNs_(steadyNs()) {}

PtyRadio::PtyRadio(LineEnd& far, Micros burstGap)
    : far_(far), burstGap_(burstGap), startNs_(steadyNs()) {}

PtyRadio::~PtyRadio() {
  if (!link_.empty()) {
    std::error_code ec;
    if (std::filesystem::is_symlink(link_, ec)) std::filesystem::remove(link_, ec);
  }
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
}

Micros PtyRadio::now() const {
  return (steadyNs() - startNs_) / 1000;
}

std::optional<std::string> PtyRadio::open() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0) return failure("posix_openpt");
  if (grantpt(master_) != 0 || unlockpt(master_) != 0) return failure("unlockpt");
  const char* name = ptsname(master_);
  if (name == nullptr) return failure("ptsname");
  slavePath_ = name;
  // Holding the slave open keeps the master from seeing a hang-up whenever the tool closes it.
  slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slave_ < 0) return failure("open slave");
  if (!makeRaw(slave_)) return failure("raw mode");
  return std::nullopt;
}

std::optional<std::string> PtyRadio::linkAs(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_symlink(path, ec)) std::filesystem::remove(path, ec);
  std::filesystem::create_symlink(slavePath_, path, ec);
  if (ec) return "link " + path + ": " + ec.message();
  link_ = path;
  return std::nullopt;
}

void PtyRadio::traceLine(Micros at, char direction, const std::vector<std::uint8_t>& bytes) {
  if (trace_ == nullptr || bytes.empty()) return;
  *trace_ << at / 1000 << ' ' << direction;
  for (const std::uint8_t byte : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02X", byte);
    *trace_ << hex;
  }
  *trace_ << '\n' << std::flush;
}

void PtyRadio::flushTraceBurst() {
  traceLine(traceBurstStart_, '<', traceBurst_);
  traceBurst_.clear();
}

void PtyRadio::receiveFromTool(Micros at) {
  std::array<std::uint8_t, 4096> buffer{};
  for (;;) {
    const ssize_t n = ::read(master_, buffer.data(), buffer.size());
    if (n <= 0) return;
    const auto bytes = std::span(buffer).first(static_cast<std::size_t>(n));
    if (!traceBurst_.empty() && at - traceBurstLast_ >= burstGap_) flushTraceBurst();
    if (traceBurst_.empty()) traceBurstStart_ = at;
    traceBurst_.insert(traceBurst_.end(), bytes.begin(), bytes.end());
    traceBurstLast_ = at;
    far_.receive(bytes, at);
  }
}

void PtyRadio::sendDue(Micros at) {
  for (auto& answer : far_.takeAnswers()) outgoing_.push_back(std::move(answer));
  while (!outgoing_.empty() && outgoing_.front().notBefore <= at) {
    const auto& bytes = outgoing_.front().bytes;
    // What does not fit into the line's buffer is lost, as on a line nobody reads.
    if (::write(master_, bytes.data(), bytes.size()) < 0 && errno == EINTR) continue;
    traceLine(at, '>', bytes);
    outgoing_.pop_front();
  }
}

void PtyRadio::serve(int stopFd) {
  int bulkWrites = radio_ != nullptr ? radio_->bulkWrites() : 0;
  for (;;) {
    Micros at = now();
    far_.advance(at);
    if (!traceBurst_.empty() && at - traceBurstLast_ >= burstGap_) flushTraceBurst();
    sendDue(at);
    if (radio_ != nullptr) {
      // Saving waits until the last chunk's acknowledgement has gone out, so that a slow disk
      // never delays an answer.
      if (radio_->bulkWrites() != bulkWrites && outgoing_.empty()) {
        bulkWrites = radio_->bulkWrites();
        if (onBulkWrite_) onBulkWrite_();
      }
      radio_->boundRecords();
    }

    Micros next = std::numeric_limits<Micros>::max();
    if (const auto end = far_.burstEnd()) next = std::min(next, *end);
    if (!outgoing_.empty()) next = std::min(next, outgoing_.front().notBefore);
    if (!traceBurst_.empty()) next = std::min(next, traceBurstLast_ + burstGap_);

    std::array<pollfd, 2> fds{{{master_, POLLIN, 0}, {stopFd, POLLIN, 0}}};
    int rc = 0;
    if (next == std::numeric_limits<Micros>::max()) {
      rc = ::ppoll(fds.data(), fds.size(), nullptr, nullptr);
    } else {
      const Micros wait = std::max<Micros>(0, next - now());
      const timespec timeout{static_cast<time_t>(wait / 1000000),
                             static_cast<long>(wait % 1000000) * 1000};
      rc = ::ppoll(fds.data(), fds.size(), &timeout, nullptr);
    }
    if (rc < 0 && errno != EINTR) return;
    if (rc <= 0) continue;
    if (fds[1].revents != 0) return;
    if ((fds[0].revents & POLLIN) != 0) {
      receiveFromTool(now());
    } else if (fds[0].revents != 0) {
      return;  // the line failed
    }
  }
}

}  // namespace rcp::sim
