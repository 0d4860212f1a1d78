// The virtual radio's byte parser on any bytes at any (rising) times: receive, advance and
// takeAnswers in any order, with its misbehaviours switched on or off.
//
// Input: a model byte, a fault byte and a fault parameter byte, then operations:
//   0 d1 d2        time passes by d1 + 256 d2 ten-microsecond units; the radio advances to it
//   1 n bytes...   n bytes arrive at the same time
//   2 n bytes...   n bytes arrive one after the other at 9600 baud
//   3              the answers are taken
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"
#include "sim/virtual_radio.hpp"

using namespace rcp;

namespace {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data, size) {}
  bool empty() const { return data_.empty(); }
  std::uint8_t byte() {
    if (data_.empty()) return 0;
    const std::uint8_t b = data_[0];
    data_ = data_.subspan(1);
    return b;
  }
  std::span<const std::uint8_t> bytes(std::size_t n) {
    const auto taken = data_.first(std::min(n, data_.size()));
    data_ = data_.subspan(taken.size());
    return taken;
  }

 private:
  std::span<const std::uint8_t> data_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  const auto models = sim::modelIdentities();
  const auto model = models[in.byte() % models.size()].model;
  sim::VirtualRadio radio(*sim::identityOfModel(model));

  const std::uint8_t faults = in.byte();
  const std::uint8_t parameter = in.byte();
  radio.faults().silent = faults & 0x01;
  radio.faults().garbageDigits = faults & 0x02;
  if (faults & 0x04) radio.faults().answerDigits = parameter;
  if (faults & 0x08) radio.faults().ackChunks = parameter % 70;
  if (faults & 0x10) radio.faults().identityBytes = parameter % 20;
  if (faults & 0x20) radio.faults().wrongLetter = parameter;

  sim::Micros now = 0;
  while (!in.empty()) {
    switch (in.byte() % 4) {
      case 0: {
        const int low = in.byte();
        now += 10 * (low + 256 * in.byte());
        radio.advance(now);
        break;
      }
      case 1:
        radio.receive(in.bytes(in.byte()), now);
        break;
      case 2:
        for (const std::uint8_t b : in.bytes(in.byte())) {
          now += sim::SimulatedPort::kByteTime;
          radio.receive(std::span(&b, 1), now);
        }
        break;
      case 3:
        (void)radio.takeAnswers();
        break;
    }
  }
  radio.advance(now + 1'000'000);
  (void)radio.takeAnswers();
  return 0;
}
