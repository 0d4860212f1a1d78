#include "link/port_opening.hpp"

#include "link/greeting.hpp"

namespace rcp::link {

PortOpening openPort(Port& port, Clock& clock, const std::string& device, RadioIdentity& identity) {
  // Opening applies the line settings and the time-outs; the buffers are purged before and after
  // the time-outs are set, as the radio's programming line has always been prepared.
  if (!port.open(device)) return PortOpening::PortBusy;
  port.purgeBoth();
  port.purgeBoth();
  const GreetingResult greeting = greet(port, clock, GreetingPurpose::StartUp, identity);
  return greeting.radioAnswered ? PortOpening::RadioAnswered : PortOpening::NoRadio;
}

}  // namespace rcp::link
