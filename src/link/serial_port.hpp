#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "link/port.hpp"

namespace rcp::link {

// A serial device on a POSIX terminal interface (a real port or a pseudo-terminal).
//
// Opening is exclusive: the terminal is marked exclusive and locked with flock, so a port that
// another program holds does not open. The line is raw 9600 baud 8N1 without flow control.
// Waiting sleeps in poll, within the time-outs of PortTimings. A write returns once its bytes
// are handed to the driver, so the purge after a request happens while it is still crossing;
// purges never take back bytes handed over (purging both drops only what came in), and closing
// waits for them to leave.
class SerialPort final : public Port {
 public:
  SerialPort() = default;
  ~SerialPort() override;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  bool open(const std::string& device) override;
  void close() override;
  bool isOpen() const override { return fd_ >= 0; }
  void purgeBoth() override;
  void purgeReceive() override;
  bool write(std::span<const std::uint8_t> bytes) override;
  std::size_t read(std::span<std::uint8_t> buffer) override;
  // What the open asked of the driver for low latency (see low_latency.hpp).
  std::string openNote() const override { return openNote_; }

 private:
  int fd_ = -1;
  std::string openNote_;
  bool pseudoTerminal_ = false;
};

}  // namespace rcp::link
