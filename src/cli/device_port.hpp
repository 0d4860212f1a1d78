#pragma once

#include <string>

#include "link/port.hpp"
#include "link/serial_port.hpp"

namespace rcp::app {

// The serial device named on a command line, whatever port name the program asks to open: the
// program starts as it always does (it opens "its" port at start-up), but on this device: through
// a serial port of its own, or through the given line (a traced serial port, say).
class DevicePort final : public link::Port {
 public:
  explicit DevicePort(std::string device) : device_(std::move(device)), line_(serial_) {}
  DevicePort(std::string device, link::Port& line) : device_(std::move(device)), line_(line) {}
  DevicePort(const DevicePort&) = delete;
  DevicePort& operator=(const DevicePort&) = delete;

  bool open(const std::string&) override { return line_.open(device_); }
  void close() override { line_.close(); }
  bool isOpen() const override { return line_.isOpen(); }
  void purgeBoth() override { line_.purgeBoth(); }
  void purgeReceive() override { line_.purgeReceive(); }
  bool write(std::span<const std::uint8_t> bytes) override { return line_.write(bytes); }
  std::size_t read(std::span<std::uint8_t> buffer) override { return line_.read(buffer); }

 private:
  std::string device_;
  link::SerialPort serial_;
  link::Port& line_;
};

}  // namespace rcp::app
