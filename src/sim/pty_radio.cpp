#include "sim/pty_radio.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
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
#include <thread>

#include "sim/dedicated_processors.hpp"

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
  traceText_ += std::to_string(at / 1000) + ' ' + direction;
  for (const std::uint8_t byte : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02X", byte);
    traceText_ += hex;
  }
  traceText_ += '\n';
}

void PtyRadio::writeTrace() {
  if (trace_ == nullptr) return;
  // One writer at a time, taking everything queued so far: the lines stay in order.
  const std::lock_guard writing(traceMutex_);
  std::string text;
  {
    const std::lock_guard lock(mutex_);
    text.swap(traceText_);
  }
  if (!text.empty()) *trace_ << text << std::flush;
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

Micros PtyRadio::step(Micros at) {
  far_.advance(at);
  if (!traceBurst_.empty() && at - traceBurstLast_ >= burstGap_) flushTraceBurst();
  sendDue(at);
  if (radio_ != nullptr) {
    // Saving waits until the last chunk's acknowledgement has gone out, so that a slow disk
    // never delays an answer.
    if (radio_->bulkWrites() != bulkWrites_ && outgoing_.empty()) {
      bulkWrites_ = radio_->bulkWrites();
      if (onBulkWrite_) onBulkWrite_();
    }
    radio_->boundRecords();
  }

  Micros next = kNever;
  if (const auto end = far_.burstEnd()) next = std::min(next, *end);
  if (!outgoing_.empty()) next = std::min(next, outgoing_.front().notBefore);
  if (!traceBurst_.empty()) next = std::min(next, traceBurstLast_ + burstGap_);
  return next;
}

void PtyRadio::plan(std::size_t self, Micros next) {
  watchers_[self].until = next;
  for (std::size_t other = 0; other < watchers_.size(); ++other) {
    if (other == self || watchers_[other].until <= next) continue;
    const std::uint64_t one = 1;
    if (::write(watchers_[other].wakeFd, &one, sizeof one) < 0) {
      // The counter is full, so that watcher is awake already.
    }
  }
}

void PtyRadio::finish() {
  done_ = true;
  for (std::size_t self = 0; self < watchers_.size(); ++self) plan(self, 0);
}

bool PtyRadio::watch(std::size_t self, int stopFd, Micros& next) {
  std::array<pollfd, 3> fds{
      {{master_, POLLIN, 0}, {stopFd, POLLIN, 0}, {watchers_[self].wakeFd, POLLIN, 0}}};
  int rc = 0;
  if (next == kNever) {
    rc = ::ppoll(fds.data(), fds.size(), nullptr, nullptr);
  } else {
    const Micros wait = std::max<Micros>(0, next - now());
    const timespec timeout{static_cast<time_t>(wait / 1000000),
                           static_cast<long>(wait % 1000000) * 1000};
    rc = ::ppoll(fds.data(), fds.size(), &timeout, nullptr);
  }
  const std::lock_guard lock(mutex_);
  if (done_) return false;
  const bool stopped = fds[1].revents != 0;
  const bool lineFailed = (fds[0].revents & ~POLLIN) != 0 && (fds[0].revents & POLLIN) == 0;
  if ((rc < 0 && errno != EINTR) || (rc > 0 && (stopped || lineFailed))) {
    finish();
    return false;
  }
  if (rc > 0) {
    if (fds[2].revents != 0) {
      std::uint64_t count = 0;
      if (::read(watchers_[self].wakeFd, &count, sizeof count) < 0) {
        // Another wake-up took it; nothing is lost.
      }
    }
    if ((fds[0].revents & POLLIN) != 0) receiveFromTool(now());
  }
  next = step(now());
  plan(self, next);
  return true;
}

void PtyRadio::serveOn(std::size_t self, int stopFd) {
  Micros next = kNever;
  {
    const std::lock_guard lock(mutex_);
    if (done_) return;
    next = step(now());
    plan(self, next);
  }
  // The trace is written outside the radio's lock: a slow disk, or this thread's processor
  // taken away meanwhile, never holds up the other serving thread's answers.
  while (watch(self, stopFd, next)) writeTrace();
  writeTrace();
}

void PtyRadio::serve(int stopFd) {
  bulkWrites_ = radio_ != nullptr ? radio_->bulkWrites() : 0;
  done_ = false;
  // One watcher per processor (two at most): when the processor under one is taken away for a
  // while (a virtual machine's processor is descheduled by its host without the system here
  // knowing), the other answers on time.
  std::vector<int> processors = servingProcessors(2);
  if (processors.empty()) processors.push_back(-1);
  watchers_.clear();
  for (std::size_t i = 0; i < processors.size(); ++i) {
    const int wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd < 0) break;
    watchers_.push_back({wakeFd, kNever});
  }
  if (watchers_.empty()) return;
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < watchers_.size(); ++i) {
    threads.emplace_back([this, i, stopFd, processor = processors[i]] {
      if (processor >= 0 && watchers_.size() > 1) keepThreadOn(processor);
      serveOn(i, stopFd);
    });
  }
  for (auto& thread : threads) thread.join();
  writeTrace();
  for (const Watcher& watcher : watchers_) ::close(watcher.wakeFd);
  watchers_.clear();
}

}  // namespace rcp::sim
