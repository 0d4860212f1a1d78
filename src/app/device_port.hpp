#pragma once

#include <string>

#include "link/port.hpp"
#include "link/serial_port.hpp"

namespace rcp::app {

// The serial device named on a command line, whatever port name the program asks to open: the
// program starts as it always does (it opens "its" port at start-up), but on this device.
class DevicePort final : public link::Port {
 public:
  explicit DevicePort(std::string device) : device_(std::move(device)) {}
  bool open(const std::string&) override { return serial_.open(device_); }
  void close() override { serial_.close(); }
  bool isOpen() const override { return serial_.isOpen(); }
  void purgeBoth() override { serial_.purgeBoth(); }
  void purgeReceive() override { serial_.purgeReceive(); }
  bool write(std::span<const std::uint8_t> bytes) override { return serial_.write(bytes); }
  std::size_t read(std::span<std::uint8_t> buffer) override { return serial_.read(buffer); }

 private:
  std::string device_;
  link::SerialPort serial_;
};

}  // namespace rcp::app
