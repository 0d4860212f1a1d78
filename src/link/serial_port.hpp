#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "link/port.hpp"

namespace rcp::link {

// A serial device: a real port or, on Linux, a pseudo-terminal. One implementation a platform
// (serial_port_posix.cpp, serial_port_win32.cpp), both held to the same contract:
//
// Opening is exclusive: a port that another program holds does not open (POSIX: the terminal is
// marked exclusive and locked with flock; Windows: a COM port opens exclusively by nature). The
// line is raw 9600 baud 8N1 without flow control. A read waits within the time-outs of
// PortTimings. A write returns once its bytes are handed to the driver, so the purge after a
// request happens while it is still crossing; purges never take back bytes handed over (purging
// both drops only what came in; the transmit side is emptied only when the port opens), and
// closing waits for them to leave.
class SerialPort final : public Port {
 public:
  SerialPort() = default;
  ~SerialPort() override;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  bool open(const std::string& device) override;
  void close() override;
  bool isOpen() const override { return line_ != kNoLine; }
  void purgeBoth() override;
  void purgeReceive() override;
  bool write(std::span<const std::uint8_t> bytes) override;
  std::size_t read(std::span<std::uint8_t> buffer) override;
  // What the open asked of the driver for low latency (see low_latency.hpp).
  std::string openNote() const override { return openNote_; }

 private:
  // The platform's handle of the open line: a descriptor, or a Windows HANDLE as an integer.
  static constexpr std::intptr_t kNoLine = -1;
  std::intptr_t line_ = kNoLine;
  std::string openNote_;
  bool pseudoTerminal_ = false;
};

}  // namespace rcp::link
