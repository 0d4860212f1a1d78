#pragma once

#include <string>
#include <string_view>

#include "link/clock.hpp"
#include "link/port.hpp"
#include "link/radio_identity.hpp"

namespace rcp::link {

inline constexpr std::string_view kPortBusyMessage = "通讯口被占用";
inline constexpr std::string_view kPortBusyCaption = "打开串口错误";
inline constexpr std::string_view kPortBusyStatus = "状态：通讯口被占用";

enum class PortOpening {
  PortBusy,       // the device is missing or held by another program; no greeting was sent
  NoRadio,        // the port is open but fewer than 18 identity bytes came
  RadioAnswered,  // the port is open and the identity is complete
};

// Opens the port (line settings, a purge, the time-outs), purges both buffers and greets the
// radio with the start-up purpose. The caller shows the outcome and, when a radio answered,
// identifies it.
[[nodiscard]] PortOpening openPort(Port& port, Clock& clock, const std::string& device,
                                   RadioIdentity& identity);

}  // namespace rcp::link
