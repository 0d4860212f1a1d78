#pragma once

#include "cli/command.hpp"
#include "link/clock.hpp"
#include "link/serial_port.hpp"
#include "program/trace_setup.hpp"

namespace rcp::app {

// The real serial line and clock a command runs on (or those io names instead), traced when
// io.trace names a file.
struct SerialLine {
  link::SerialPort serial;
  link::RealClock clock;
  TracedLink traced;
  explicit SerialLine(const CliStreams& io)
      : traced(io.line ? *io.line : serial, io.clock ? *io.clock : clock, io.trace) {}
};

}  // namespace rcp::app
