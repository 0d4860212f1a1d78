#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "image/group_lists.hpp"
#include "image/memory_image.hpp"
#include "image/small_records.hpp"
#include "image/subscriber_numbers.hpp"
#include "image/test_values.hpp"

// The small records of a write, in the order it sends them: what each holds, when it goes out,
// what goes before it on the line and how far it moves the progress bar. The image builder makes
// the records from this table and the transfer walks it.
namespace rcp::image {

// What goes before a small record on the line; the radio has always been given these five.
enum class RecordLead {
  WakePause,       // wake byte, 30 ms, receive purge
  Pause,           // 30 ms, receive purge
  Purge,           // receive purge only
  WakeLongPause,   // wake byte, 50 ms, receive purge
  PauseWakePause,  // 30 ms, then wake byte, 30 ms, receive purge
};

// When a record goes out.
enum class RecordWhen {
  Always,
  TranscodeVisible,  // the PTT code, while its switch is shown
  TestPage,          // the radio type, while the Test tab is the active page
  TestPageBaud,      // the baud rate, while the Test tab is active and a rate is chosen
  AlarmFirstPart,    // the system alarm number, or its first ten bytes when it is longer
  AlarmRest,         // the rest of a system alarm number longer than ten bytes
};

// The model is identified, and the records that depend on it are rebuilt, between the stages.
enum class RecordStage { BeforeIdentification, AfterIdentification };

struct WriteRecordDef {
  Address address;
  std::uint8_t bytes;  // per line; the alarm rows take their length from the text
  RecordLead lead;
  RecordStage stage;
  int progress = 0;  // progress steps after each line sent
  int lines = 1;     // a list sends this many 12-byte lines from the address on, led alike
  RecordWhen when = RecordWhen::Always;
  std::uint8_t lengthField = 0;  // 0: the data length; the radio expects 0x10 for some
};

inline constexpr std::size_t kAlarmFirstPart = 10;

namespace write_records_detail {
using L = RecordLead;
using W = RecordWhen;
constexpr RecordStage kBefore = RecordStage::BeforeIdentification;
constexpr RecordStage kAfter = RecordStage::AfterIdentification;
constexpr Address at(std::size_t address) {
  return static_cast<Address>(address);
}
}  // namespace write_records_detail

inline constexpr auto kWriteRecords = [] {
  using namespace write_records_detail;
  return std::array<WriteRecordDef, 34>{{
      {kMenuBits, 3, L::WakePause, kBefore},
      {0x000, 6, L::Pause, kBefore},
      {0x00A, 3, L::Pause, kBefore},
      {0x00E, 1, L::Purge, kBefore},
      {0x007, 1, L::Pause, kBefore},  // call-back
      {0x1F9, 1, L::WakePause, kBefore},
      {0x1FB, 1, L::WakePause, kBefore},
      {0x1FD, 1, L::WakePause, kBefore, 0, 1, W::TranscodeVisible},  // PTT code
      {kSystemAlarm, 0, L::WakeLongPause, kBefore, 0, 1, W::AlarmFirstPart},
      {at(kSystemAlarm + kAlarmFirstPart), 0, L::WakeLongPause, kBefore, 0, 1, W::AlarmRest},
      {kBaudRate, 1, L::WakePause, kBefore, 0, 1, W::TestPageBaud},
      {kRadioType, 1, L::WakePause, kBefore, 0, 1, W::TestPage},
      {kRangeLimits, kRangeLimitBytes, L::PauseWakePause, kBefore, 0, 1, W::Always, 0x10},
      {0x1F3, 1, L::PauseWakePause, kBefore, 2},  // talk-around
      {kTalkAround, 16, L::WakePause, kAfter, 2},
      {kStartUpText, 16, L::WakePause, kAfter, 2},
      {kSimplexTx, 15, L::WakePause, kAfter, 2, 1, W::Always, 0x10},
      {at(kSimplexTx + 15), 15, L::WakePause, kAfter, 2, 1, W::Always, 0x10},
      {kSimplexRx, 15, L::WakePause, kAfter, 1, 1, W::Always, 0x10},
      {at(kSimplexRx + 15), 15, L::WakePause, kAfter, 1, 1, W::Always, 0x10},
      {0x1F2, 1, L::WakePause, kAfter},  // search mode
      {0x1F4, 1, L::WakePause, kAfter},  // group call mode
      {0x1FA, 1, L::WakePause, kAfter},  // PSTN length
      {0x1FC, 1, L::Pause, kAfter, 1},   // ring category
      {0x278, 8, L::Pause, kAfter},      // group digit counts
      {0x280, 10, L::WakePause, kAfter},
      {0x28A, 10, L::WakePause, kAfter},
      {0x294, 10, L::Pause, kAfter},
      {0x29E, 10, L::Pause, kAfter, 1},
      {kHiddenGroups, kListLineBytes, L::Pause, kAfter},
      {at(kHiddenGroups + kListLineBytes), kListLineBytes, L::Pause, kAfter},
      {kWaitingGroups, kListLineBytes, L::Pause, kAfter, 1, 10},
      {kSystemLabels, kListLineBytes, L::Pause, kAfter, 1, 10},
      {0x2C0, 2, L::Pause, kAfter, 1},  // time limit
  }};
}();

// The address of a row's line (0 for a single record).
constexpr Address lineAddress(const WriteRecordDef& row, int line) {
  return static_cast<Address>(row.address + kListLineBytes * static_cast<std::size_t>(line));
}

}  // namespace rcp::image
