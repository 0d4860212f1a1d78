#pragma once

#include <algorithm>
#include <chrono>
#include <optional>
#include <span>
#include <utility>

#include "link/clock.hpp"
#include "link/port_line.hpp"
#include "link/port_timings.hpp"
#include "sim/line_end.hpp"
#include "sim/simulated_port.hpp"

namespace rcp::link::test {

// A SimulatedPort on the virtual clock with a scripted far end in place of a radio.
class SimulatedLine final : public PortLine {
 public:
  Port& port() override { return port_; }
  std::string device() const override { return "/dev/ttyS0"; }
  std::unique_ptr<Port> secondPort(std::string& why) override {
    why =
        "a simulated line has no device two ports could contend for; a port held elsewhere is "
        "modelled by setOpenable(false)";
    return nullptr;
  }

  Micros now() const override { return std::chrono::milliseconds(clock_.nowMs()); }
  void pass(Micros time) override {
    clock_.pause(static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(time).count()));
  }
  void sendAt(Micros at, const Bytes& bytes) override {
    far_.sends.push_back({bytes, std::max(at, now()).count()});
  }
  Bytes received() override { return far_.received; }

  Micros lineTime(std::size_t count) const override {
    return PortTimings::kByteTime * static_cast<Micros::rep>(count);
  }
  // The virtual clock counts whole milliseconds; a read's end is rounded up to the next one.
  Micros lateness() const override { return std::chrono::milliseconds(1); }

 private:
  struct ScriptedEnd final : sim::LineEnd {
    void receive(std::span<const std::uint8_t> bytes, sim::Micros) override {
      received.insert(received.end(), bytes.begin(), bytes.end());
    }
    void advance(sim::Micros) override {}
    std::optional<sim::Micros> burstEnd() const override { return std::nullopt; }
    std::vector<sim::VirtualRadio::Answer> takeAnswers() override {
      return std::exchange(sends, {});
    }
    Bytes received;
    std::vector<sim::VirtualRadio::Answer> sends;
  };

  VirtualClock clock_;
  ScriptedEnd far_;
  sim::SimulatedPort port_{far_, clock_};
};

}  // namespace rcp::link::test
