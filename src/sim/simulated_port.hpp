#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "link/clock.hpp"
#include "link/port.hpp"
#include "link/port_timings.hpp"
#include "sim/line_end.hpp"
#include "sim/virtual_radio.hpp"

namespace rcp::sim {

// A Port wired to a VirtualRadio (or another LineEnd) through a modelled 9600-baud line, on a
// virtual clock, so a whole transfer runs in milliseconds of real time.
//
// Time model: a write returns at once without moving the clock, and its bytes go on the line one
// after the other, 1.042 ms each, behind whatever is still being sent; the radio sees each byte at
// its arrival time. Written bytes are never taken back (a real write returns only once its bytes
// have left), so a purge drops only received bytes that have arrived by then. The radio's answers
// come back the same way, from the time it sends them. A read moves the clock: it ends when all
// bytes have arrived, or at the time-outs of PortTimings.
//
// Every operation is recorded with the clock time at which it was made, so tests can assert the
// exact bytes and the pauses between them.
class SimulatedPort final : public link::Port {
 public:
  static constexpr Micros kByteTime = link::PortTimings::kByteTime.count();

  struct Event {
    enum class Kind { Open, Close, PurgeBoth, PurgeReceive, Write, Read };
    Kind kind = Kind::Open;
    std::int64_t atMs = 0;            // clock time when the operation started
    std::vector<std::uint8_t> bytes;  // written, or received by the read
    std::size_t asked = 0;            // a read: how many bytes it asked for
    std::int64_t endMs = 0;           // a read: clock time when it returned
    std::string device;               // an open
    bool ok = true;                   // open, write: the result
  };

  SimulatedPort(VirtualRadio& radio, link::VirtualClock& clock);
  SimulatedPort(LineEnd& far, link::VirtualClock& clock);
  SimulatedPort(const SimulatedPort&) = delete;
  SimulatedPort& operator=(const SimulatedPort&) = delete;

  // A port held by another program does not open.
  void setOpenable(bool openable) { openable_ = openable; }

  bool open(const std::string& device) override;
  void close() override;
  bool isOpen() const override { return open_; }
  void purgeBoth() override;
  void purgeReceive() override;
  bool write(std::span<const std::uint8_t> bytes) override;
  std::size_t read(std::span<std::uint8_t> buffer) override;

  // Lets the radio act on everything sent so far, as if the line then stayed quiet; the clock
  // does not move. For inspecting the radio after the tool's last operation.
  void settle();

  const std::vector<Event>& events() const { return events_; }
  void clearEvents() { events_.clear(); }
  // Every byte written while open, in order.
  std::vector<std::uint8_t> sent() const;
  // The events one per line: "10 > PROG<CR>", "10 read 18 -> 18 at 41", "30 purge receive", …
  // Printable ASCII shows as itself, other bytes as <CR> or <91> (hexadecimal).
  std::string transcript() const;

 private:
  struct Arrival {
    std::uint8_t byte;
    Micros at;
  };

  Micros now() const;
  // Lets the radio act up to `time` and puts its answers on the line.
  void runRadioUntil(Micros time);
  void collectAnswers();
  void dropArrivedBy(Micros time);

  std::unique_ptr<LineEnd> radioEnd_;  // when wired to a virtual radio
  LineEnd& far_;
  link::VirtualClock& clock_;
  bool openable_ = true;
  bool open_ = false;
  Micros toRadioFreeAt_ = 0;
  Micros toToolFreeAt_ = 0;
  std::deque<Arrival> incoming_;
  std::vector<Event> events_;
};

}  // namespace rcp::sim
