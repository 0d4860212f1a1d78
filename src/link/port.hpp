#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace rcp::link {

// One serial line to the radio: 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control.
// A read of n bytes ends at the latest 20 + 20 x n ms after it starts, and earlier once 20 ms
// pass without a further byte; PortTimings holds these figures, and the conformance tests in
// tests/link hold every implementation to them.
class Port {
 public:
  virtual ~Port() = default;
  // Opens the device exclusively and applies the line settings and time-outs.
  virtual bool open(const std::string& device) = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  virtual void purgeBoth() = 0;
  virtual void purgeReceive() = 0;
  // The platform's success indication of the write (false when no port is open).
  virtual bool write(std::span<const std::uint8_t> bytes) = 0;
  // Reads up to buffer.size() bytes within the time-outs; returns how many arrived. The read
  // succeeded only when that is buffer.size().
  virtual std::size_t read(std::span<std::uint8_t> buffer) = 0;
  // What the last open set up on the line beyond its settings, for the trace; empty for none.
  virtual std::string openNote() const { return {}; }
};

// The stand-in until a device is opened: every operation fails quietly.
class NoPort final : public Port {
 public:
  bool open(const std::string&) override { return false; }
  void close() override {}
  bool isOpen() const override { return false; }
  void purgeBoth() override {}
  void purgeReceive() override {}
  bool write(std::span<const std::uint8_t>) override { return false; }
  std::size_t read(std::span<std::uint8_t>) override { return 0; }
};

}  // namespace rcp::link
