#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/port.hpp"

namespace rcp::link::test {

// One port under test and the far end of its line, as the port conformance cases drive them.
// Times are on the line's own clock, counted from when the line was made.
class PortLine {
 public:
  using Micros = std::chrono::microseconds;
  using Bytes = std::vector<std::uint8_t>;

  virtual ~PortLine() = default;

  // The port under test; closed until a case opens it.
  virtual Port& port() = 0;
  // A device the port opens.
  virtual std::string device() const = 0;
  // A second port for the same device, or nullptr when the line has no device two ports could
  // contend for; `why` then says so.
  virtual std::unique_ptr<Port> secondPort(std::string& why) = 0;

  virtual Micros now() const = 0;
  // Lets time pass without touching the port.
  virtual void pass(Micros time) = 0;
  // The far end sends `bytes` at `at` (at once if that has passed); it is silent otherwise.
  // Sends happen in the order they are asked for.
  virtual void sendAt(Micros at, const Bytes& bytes) = 0;
  // Everything the far end has received so far, in order.
  virtual Bytes received() = 0;

  // From the far end's send until the last of `count` bytes has arrived.
  virtual Micros lineTime(std::size_t count) const = 0;
  // How long after its due time an operation may end: the clock's resolution on a simulated
  // line, the scheduler's delays (on a busy machine) on a real one.
  virtual Micros lateness() const = 0;
};

}  // namespace rcp::link::test
