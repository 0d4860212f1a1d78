#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "link/port_line.hpp"
#include "link/serial_port.hpp"

namespace rcp::link::test {

// A SerialPort on the slave side of a pseudo-terminal whose master side the test holds; a
// thread plays the far end's timed sends.
class PtyLine final : public PortLine {
 public:
  PtyLine() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
      ADD_FAILURE() << "no pseudo-terminal";
      return;
    }
    device_ = ptsname(master_);
  }
  ~PtyLine() override {
    if (sender_.joinable()) sender_.join();
    port_.close();
    if (master_ >= 0) ::close(master_);
  }
  PtyLine(const PtyLine&) = delete;
  PtyLine& operator=(const PtyLine&) = delete;

  Port& port() override { return port_; }
  std::string device() const override { return device_; }
  std::unique_ptr<Port> secondPort(std::string&) override { return std::make_unique<SerialPort>(); }

  Micros now() const override {
    return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - origin_);
  }
  void pass(Micros time) override { std::this_thread::sleep_for(time); }

  void sendAt(Micros at, const Bytes& bytes) override {
    if (!sender_.joinable() && at <= now()) {
      writeAll(bytes);
      return;
    }
    // Each send waits for the one before, so late wake-ups cannot reorder them.
    sender_ = std::thread([this, at, bytes, previous = std::move(sender_)]() mutable {
      if (previous.joinable()) previous.join();
      std::this_thread::sleep_until(origin_ + at);
      writeAll(bytes);
    });
  }

  // Collects until the line has been quiet for 50 ms.
  Bytes received() override {
    pollfd entry{master_, POLLIN, 0};
    while (poll(&entry, 1, 50) > 0) {
      std::uint8_t buffer[256];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      received_.insert(received_.end(), buffer, buffer + n);
    }
    return received_;
  }

  Micros lineTime(std::size_t) const override { return Micros(0); }
  Micros lateness() const override { return std::chrono::milliseconds(150); }

 private:
  void writeAll(const Bytes& bytes) {
    if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      ADD_FAILURE() << "the far end could not send " << bytes.size() << " bytes";
    }
  }

  const std::chrono::steady_clock::time_point origin_ = std::chrono::steady_clock::now();
  int master_ = -1;
  std::string device_;
  SerialPort port_;
  std::thread sender_;
  Bytes received_;
};

}  // namespace rcp::link::test
