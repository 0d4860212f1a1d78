#pragma once

#include <string>

#include "history/history_event.hpp"

namespace rcp::history {

// A sample event for the history's tests. A configuration that differs from event to event, as real
// ones do (the number, a value).
inline Event sampleEvent(int n, Operation operation = Operation::Read,
                         Result result = Result::Done) {
  Event e;
  e.unixTime = 1796810400 + n * 60;
  e.time = localTimeText(e.unixTime);
  e.user = "tech";
  e.device = "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0";
  e.identity = "RCP33H HX33  V2.10";
  e.model = n % 2 ? "HX34s" : "HX33";
  e.numberBefore = "32620012" + std::to_string(10 + n % 50);
  e.numberAfter = "32620013" + std::to_string(10 + n % 50);
  e.operation = operation;
  e.result = result;
  e.version = "3.9";
  e.dataFile = "[File0]\r\nVersion=New\r\nIndivol=" + e.numberAfter +
               "\r\nTA=" + std::to_string(n % 200) + "\r\n";
  for (int key = 0; key < 300; ++key) e.dataFile += "Key" + std::to_string(key) + "=0\r\n";
  e.image.assign(1024, 0);
  for (std::size_t i = 0; i < e.image.size(); i += 7) e.image[i] = static_cast<std::uint8_t>(n + i);
  return e;
}

}  // namespace rcp::history
