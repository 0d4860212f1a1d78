#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "sim/virtual_radio.hpp"

namespace rcp::sim {

// What sits at the far end of a simulated line: it takes the tool's bytes at their arrival
// times and queues what it sends back. A virtual radio is the usual one; tests of the line itself
// put a scripted peer there.
class LineEnd {
 public:
  virtual ~LineEnd() = default;
  // Bytes that arrived at `at`; arrival times never go back.
  virtual void receive(std::span<const std::uint8_t> bytes, Micros at) = 0;
  // Time passes up to `now`.
  virtual void advance(Micros now) = 0;
  // When the far end acts next on its own if nothing more arrives (a burst it is taking ends).
  virtual std::optional<Micros> burstEnd() const = 0;
  // What it has sent since the last call, oldest first.
  virtual std::vector<VirtualRadio::Answer> takeAnswers() = 0;
};

// A virtual radio as the far end of the line.
class RadioLineEnd final : public LineEnd {
 public:
  explicit RadioLineEnd(VirtualRadio& radio) : radio_(radio) {}
  void receive(std::span<const std::uint8_t> bytes, Micros at) override {
    radio_.receive(bytes, at);
  }
  void advance(Micros now) override { radio_.advance(now); }
  std::optional<Micros> burstEnd() const override { return radio_.burstEnd(); }
  std::vector<VirtualRadio::Answer> takeAnswers() override { return radio_.takeAnswers(); }

 private:
  VirtualRadio& radio_;
};

}  // namespace rcp::sim
