#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "link/clock.hpp"
#include "link/port.hpp"
#include "link/radio_identity.hpp"

namespace rcp::link {

// The greeting opens every exchange with the radio: it wakes the radio, puts it into programming
// mode with PROG and takes the 18-byte identity. Nothing is retried and nothing is shown here;
// the caller reports a missing radio with the texts below.

inline constexpr std::string_view kNoRadioStatus = "设备未开启";
inline constexpr std::string_view kNoRadioMessage = "设备未开启！请检查电源及通讯口！";
inline constexpr std::string_view kNoRadioCaption = "系统信息";

enum class GreetingPurpose {
  StartUp,  // the port has just been opened (and purged): pause 10 ms; 18 bytes must arrive
  Read,     // pause 20 ms, then "U" must be answered with "U"
  Write,    // pause 30 ms, then "T" must be answered with "T"
};

int greetingPauseMs(GreetingPurpose purpose);

struct GreetingResult {
  bool radioAnswered;         // the check of the purpose passed
  std::size_t identityBytes;  // how many identity bytes arrived
};

// The standard greeting: purge both buffers (not at start-up, where the port opening's purge
// serves), wake byte, pause, purge the receive buffer, "PROG" CR, read 18 bytes into `identity`
// (only the bytes that arrive are overwritten), then the purpose's own check.
[[nodiscard]] GreetingResult greet(Port& port, Clock& clock, GreetingPurpose purpose,
                                   RadioIdentity& identity);

// The short forms: no check, no identification. `identityArrived` runs right after the 18-byte
// read, where the caller shows the identity.

// Entering the test tab: purge both, 0x91 "PROG" CR in one write, read 18 bytes, "T". The caller
// sends its channel command next.
void enterTestState(Port& port, RadioIdentity& identity,
                    const std::function<void()>& identityArrived = {});

enum class AfterTransfer { Reading, Writing };

// Back into the test state after a transfer: purge both, wake byte, pause 30 ms, purge the
// receive buffer, "PROG" CR (after reading) or 0x91 "PROG" CR (after writing), read 18 bytes,
// "T", purge the receive buffer, the channel command (none when it is empty).
void returnToTestState(Port& port, Clock& clock, RadioIdentity& identity, AfterTransfer after,
                       std::span<const std::uint8_t> channelCommand);

// After the field-strength calibration was reset: purge both, wake byte, pause 30 ms, purge the
// receive buffer, 0x91 "PROG" CR, read 18 bytes, "T".
void greetAfterCalibrationReset(Port& port, Clock& clock, RadioIdentity& identity);

// Before the dump chunks of a write: "Q", pause 50 ms, purge the receive buffer, wake byte, purge
// both, pause 50 ms, purge the receive buffer, "PROG" CR, read 18 bytes, "D", purge the receive
// buffer, read one byte. Returns whether that byte came (its value is not checked).
bool greetBeforeBulkChunks(Port& port, Clock& clock, RadioIdentity& identity,
                           const std::function<void()>& identityArrived = {});

}  // namespace rcp::link
