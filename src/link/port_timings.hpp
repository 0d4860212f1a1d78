#pragma once

#include <chrono>
#include <cstddef>

namespace rcp::link {

// The time-outs every Port keeps, written once for the serial port and the simulated line.
//
// A read of n bytes ends at the latest readTimeout(n) after it starts, and, once a byte has
// arrived, as soon as kByteGap passes without the next one. A write of n bytes returns once its
// bytes are handed to the line, not once they have crossed it, and fails if handing them over
// takes longer than writeTimeout(n); so the purge after a request happens while the request is
// still crossing, before any answer. Bytes handed over are never taken back: a purge drops only
// bytes that have come in. Pauses between the steps of a
// transfer are the transfer's own (link::Clock), never the port's.
struct PortTimings {
  using Millis = std::chrono::milliseconds;

  static constexpr Millis kReadConstant{20};
  static constexpr Millis kReadPerByte{20};
  static constexpr Millis kByteGap{20};
  static constexpr Millis kWriteConstant{20};
  static constexpr Millis kWritePerByte{20};
  // One byte on the 9600-baud line: start bit, 8 data bits, stop bit.
  static constexpr std::chrono::microseconds kByteTime{1042};

  static constexpr Millis readTimeout(std::size_t bytes) {
    return kReadConstant + kReadPerByte * static_cast<Millis::rep>(bytes);
  }
  static constexpr Millis writeTimeout(std::size_t bytes) {
    return kWriteConstant + kWritePerByte * static_cast<Millis::rep>(bytes);
  }
};

}  // namespace rcp::link
