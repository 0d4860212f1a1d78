#pragma once

#include <functional>
#include <utility>

#include "link/port.hpp"

namespace rcp::gui {

// The desktop program's serial port. At start-up the radio takes tens of milliseconds to answer
// the greeting; the work given here (building the main window) is done then, after the request
// is written and before its answer is read: the answer waits in the line's buffer, and the read
// finds it there. Everything else goes straight to the port.
class StartUpPort final : public link::Port {
 public:
  StartUpPort(link::Port& port, std::function<void()> meanwhile)
      : port_(port), meanwhile_(std::move(meanwhile)) {}

  bool open(const std::string& device) override { return port_.open(device); }
  void close() override { port_.close(); }
  bool isOpen() const override { return port_.isOpen(); }
  void purgeBoth() override { port_.purgeBoth(); }
  void purgeReceive() override { port_.purgeReceive(); }
  bool write(std::span<const std::uint8_t> bytes) override { return port_.write(bytes); }
  std::size_t read(std::span<std::uint8_t> buffer) override {
    if (meanwhile_) std::exchange(meanwhile_, nullptr)();
    return port_.read(buffer);
  }

 private:
  link::Port& port_;
  std::function<void()> meanwhile_;
};

}  // namespace rcp::gui
