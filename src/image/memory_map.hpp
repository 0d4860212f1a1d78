#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "image/field_access.hpp"
#include "image/group_lists.hpp"
#include "image/memory_image.hpp"
#include "image/small_records.hpp"
#include "image/subscriber_numbers.hpp"
#include "image/test_values.hpp"
#include "image/write_image.hpp"
#include "settings/field_table.hpp"

// The radio's memory as two tables. The areas (kMemoryAreas), in address order: which codec
// fills each, and for the records the write sends and the read fetches one by one, how each goes
// on the line. The regular fields (memoryMap()): where each field lies, in which encoding, when
// the write stores it and when the read sets it. The irregular areas' codecs (numbering area,
// phone book, group lists, text and frequency records, menu bits, Test tab values) are code beside
// these tables, each in its own file.
namespace rcp::image {

// What fills an area of memory.
enum class AreaCodec {
  Bulk,           // the bulk block 0x010-0x1F7: the regular rows and the areas inside it
  Rows,           // regular rows of memoryMap()
  NumberingArea,  // subscriber_numbers.cpp, laid out by the dialling scheme
  PhoneBook,      // phone_book.cpp
  DigitList,      // range limits and fixed groups' digits (subscriber_numbers.cpp)
  GroupList,      // group_lists.cpp
  SmallRecord,    // small_records.cpp: menu bits, texts, talk-around, off-network channels
  TestValue,      // test_values.cpp
};

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

// The read's steps after the bulk answer, each one request.
enum class ReadStep {
  RadioType,  // radio type and baud rate
  Vrsq,
  Vrpp0,
  Vrpp,
  Vrpp2,
  Vrpp3,
  VrSen1,
  VrSen2,
  VrSen3,
  Vrbf,
  Vrpwr,
  Callback,      // decimal text
  PttCode,       // decimal text
  RangeLimits,   // IndivolStart, IndivolStop, GrpStart, GrpStop
  MenuBits,      // kept in the session for InRing
  SmallChoices,  // 0x000-0x005
  KeyAndPower,   // 0x00A-0x00C
  InRing,        // 0x00E, then the seventeen menu switches from MenuBits
  HiddenGroups,
  Timelimit,
  WaitingGroups,
  SystemLabels,
  TalkAround,  // talk-around numbers and off-network channel 9
  StartUpText,
  Simplex,  // off-network channels 10 to 19
  SystemAlarm,
};

// How the write sends an area as a small record (order -1: not on its own, or not at all).
struct AreaSend {
  int order = -1;          // its place in the sending order
  std::uint8_t bytes = 0;  // per line; the alarm rows take their length from the text
  RecordLead lead = RecordLead::Pause;
  RecordStage stage = RecordStage::BeforeIdentification;
  int progress = 0;  // progress steps after each line sent
  int lines = 1;     // a list sends this many 12-byte lines from the address on, led alike
  RecordWhen when = RecordWhen::Always;
  std::uint8_t lengthField = 0;  // 0: the data length; the radio expects 0x10 for some
};

// How a small read goes on the line and what it counts on the bar. A request normally follows
// a 10 ms pause, the wake byte, a 20 ms pause and a receive purge; the menu, choice, group and
// label reads go without the wake byte (and its 10 ms), the PTT-code read without the purge.
struct ReadPacing {
  bool wake = true;
  bool purge = true;
  int progressOnAnswer = 0;            // as soon as the answer is in
  std::array<int, 2> progressAfter{};  // after decoding, in turn (0: no step)
  int repeat = 1;                      // progressAfter[0] this many times
  bool onlyComplete = false;           // the steps after decoding only for a complete answer
};

// How the read fetches an area after the bulk answer (order -1: not on its own).
struct AreaRead {
  int order = -1;  // its place in the reading order
  ReadStep step = ReadStep::RadioType;
  std::uint8_t length = 0;      // the request's length field
  std::size_t answerChars = 0;  // characters the read waits for
  std::size_t neededChars = 0;  // characters decoding needs; fewer is a short answer
  ReadPacing pacing = {};
};

struct MemoryArea {
  Address address;
  AreaCodec codec;
  AreaSend send = {};
  AreaRead read = {};
};

inline constexpr std::size_t kAlarmFirstPart = 10;

namespace memory_area_detail {
using C = AreaCodec;
using L = RecordLead;
using W = RecordWhen;
using S = ReadStep;
constexpr RecordStage kBefore = RecordStage::BeforeIdentification;
constexpr RecordStage kAfter = RecordStage::AfterIdentification;
constexpr Address at(std::size_t address) {
  return static_cast<Address>(address);
}
constexpr AreaSend send(int order, std::size_t bytes, RecordLead lead, RecordStage stage,
                        int progress = 0, int lines = 1, RecordWhen when = W::Always,
                        std::uint8_t lengthField = 0) {
  return {order, static_cast<std::uint8_t>(bytes), lead, stage, progress, lines, when, lengthField};
}
constexpr AreaRead read(int order, ReadStep step, std::uint8_t length, std::size_t answerChars,
                        std::size_t neededChars, ReadPacing pacing = {}) {
  return {order, step, length, answerChars, neededChars, pacing};
}
// A one-byte value the read fetches alone, answered with two characters.
constexpr AreaRead value(int order, ReadStep step, ReadPacing pacing = {}) {
  return read(order, step, 0x01, 2, 2, pacing);
}
constexpr ReadPacing kNoWake{.wake = false};
// A record of text or frequencies: its bar steps only once it arrived whole.
constexpr ReadPacing kWholeRecord{.progressAfter = {10, 0}, .onlyComplete = true};
}  // namespace memory_area_detail

// Every area of memory in address order, with its place in the write's sending order and in the
// read's order after the bulk answer.
inline constexpr auto kMemoryAreas = [] {
  using namespace memory_area_detail;
  return std::to_array<MemoryArea>({
      {0x000, C::Rows, send(1, 6, L::Pause, kBefore),
       read(15, S::SmallChoices, 0x06, 12, 12, kNoWake)},
      // The call-back: the radio answers two characters; the read waits for sixteen.
      {0x007, C::Rows, send(4, 1, L::Pause, kBefore),
       read(11, S::Callback, 0x01, 16, 2, {.progressAfter = {3, 0}})},
      {0x00A, C::Rows, send(2, 3, L::Pause, kBefore),
       read(16, S::KeyAndPower, 0x03, 6, 6, kNoWake)},
      {0x00E, C::Rows, send(3, 1, L::Purge, kBefore), value(17, S::InRing, kNoWake)},
      {kBulkStart, C::Bulk},
      {0x053, C::NumberingArea},
      {0x0DC, C::TestValue},
      {0x170, C::PhoneBook},
      {0x1F2, C::Rows, send(20, 1, L::WakePause, kAfter)},           // search mode
      {0x1F3, C::Rows, send(13, 1, L::PauseWakePause, kBefore, 2)},  // talk-around
      {0x1F4, C::Rows, send(21, 1, L::WakePause, kAfter)},           // group call mode
      {kRadioType, C::TestValue, send(11, 1, L::WakePause, kBefore, 0, 1, W::TestPage),
       read(0, S::RadioType, 0x02, 4, 4)},
      {kBaudRate, C::TestValue, send(10, 1, L::WakePause, kBefore, 0, 1, W::TestPageBaud)},
      {0x1F9, C::Rows, send(5, 1, L::WakePause, kBefore)},
      {0x1FA, C::Rows, send(22, 1, L::WakePause, kAfter)},  // PSTN length
      {0x1FB, C::Rows, send(6, 1, L::WakePause, kBefore)},
      {0x1FC, C::Rows, send(23, 1, L::Pause, kAfter, 1)},  // ring category
      // The PTT code: answered as the call-back is.
      {0x1FD, C::Rows, send(7, 1, L::WakePause, kBefore, 0, 1, W::TranscodeVisible),
       read(12, S::PttCode, 0x01, 16, 2, {.purge = false})},
      {kTalkAround, C::SmallRecord, send(14, 16, L::WakePause, kAfter, 2),
       read(22, S::TalkAround, 0x10, 32, 32, kWholeRecord)},
      {kStartUpText, C::SmallRecord, send(15, 16, L::WakePause, kAfter, 2),
       read(23, S::StartUpText, 0x10, 32, 32, kWholeRecord)},
      {kSimplexTx, C::SmallRecord, send(16, 15, L::WakePause, kAfter, 2, 1, W::Always, 0x10),
       // 2 for each of the 20 frequencies
       read(24, S::Simplex, 0x40, 128, 128,
            {.progressAfter = {2, 0}, .repeat = 20, .onlyComplete = true})},
      {at(kSimplexTx + 15), C::SmallRecord,
       send(17, 15, L::WakePause, kAfter, 2, 1, W::Always, 0x10)},
      {kSimplexRx, C::SmallRecord, send(18, 15, L::WakePause, kAfter, 1, 1, W::Always, 0x10)},
      {at(kSimplexRx + 15), C::SmallRecord,
       send(19, 15, L::WakePause, kAfter, 1, 1, W::Always, 0x10)},
      {kRangeLimits, C::DigitList,
       send(12, kRangeLimitBytes, L::PauseWakePause, kBefore, 0, 1, W::Always, 0x10),
       read(13, S::RangeLimits, 0x10, 16, 16, {.progressOnAnswer = 3, .progressAfter = {2, 3}})},
      {0x278, C::DigitList, send(24, 8, L::Pause, kAfter)},  // group digit counts
      {0x280, C::DigitList, send(25, 10, L::WakePause, kAfter)},
      {0x28A, C::DigitList, send(26, 10, L::WakePause, kAfter)},
      {0x294, C::DigitList, send(27, 10, L::Pause, kAfter)},
      {0x29E, C::DigitList, send(28, 10, L::Pause, kAfter, 1)},
      {kHiddenGroups, C::GroupList, send(29, kListLineBytes, L::Pause, kAfter),
       read(18, S::HiddenGroups, 0x18, 48, 48, {.wake = false, .progressAfter = {2, 0}})},
      {at(kHiddenGroups + kListLineBytes), C::GroupList,
       send(30, kListLineBytes, L::Pause, kAfter)},
      {0x2C0, C::Rows, send(33, 2, L::Pause, kAfter, 1),
       read(19, S::Timelimit, 0x02, 4, 4, kNoWake)},
      {kMenuBits, C::SmallRecord, send(0, 3, L::WakePause, kBefore),
       read(14, S::MenuBits, 0x03, 6, 6, kNoWake)},
      {kSystemAlarm, C::SmallRecord, send(8, 0, L::WakeLongPause, kBefore, 0, 1, W::AlarmFirstPart),
       read(25, S::SystemAlarm, 0x28, 40, 40)},
      {at(kSystemAlarm + kAlarmFirstPart), C::SmallRecord,
       send(9, 0, L::WakeLongPause, kBefore, 0, 1, W::AlarmRest)},
      {0x2DD, C::TestValue, {}, value(1, S::Vrsq)},
      {0x2DE, C::TestValue, {}, value(2, S::Vrpp0)},
      {0x2DF, C::TestValue, {}, value(9, S::Vrbf)},
      {0x2E0, C::TestValue, {}, value(10, S::Vrpwr)},
      {0x2E1, C::TestValue, {}, value(3, S::Vrpp)},
      {0x2E2, C::TestValue, {}, value(4, S::Vrpp2)},
      {0x2E3, C::TestValue, {}, value(5, S::Vrpp3)},
      {0x2E4, C::TestValue, {}, value(6, S::VrSen1)},
      {0x2E5, C::TestValue, {}, value(7, S::VrSen2)},
      {0x2E6, C::TestValue, {}, value(8, S::VrSen3)},
      {kWaitingGroups, C::GroupList, send(31, kListLineBytes, L::Pause, kAfter, 1, 10),
       read(20, S::WaitingGroups, 0x78, 240, 240, {.wake = false, .progressAfter = {3, 0}})},
      {kSystemLabels, C::GroupList, send(32, kListLineBytes, L::Pause, kAfter, 1, 10),
       read(21, S::SystemLabels, 0x78, 240, 240, {.wake = false, .progressAfter = {3, 0}})},
  });
}();

// The table's own rules: addresses ascending; each order numbers its areas 0, 1, 2 ... once.
constexpr bool memoryAreasInOrder() {
  for (std::size_t i = 1; i < kMemoryAreas.size(); ++i)
    if (kMemoryAreas[i - 1].address >= kMemoryAreas[i].address) return false;
  for (const auto order : {+[](const MemoryArea& a) { return a.send.order; },
                           +[](const MemoryArea& a) { return a.read.order; }}) {
    int numbered = 0;
    for (const MemoryArea& a : kMemoryAreas) numbered += order(a) >= 0 ? 1 : 0;
    for (int place = 0; place < numbered; ++place) {
      int holders = 0;
      for (const MemoryArea& a : kMemoryAreas) holders += order(a) == place ? 1 : 0;
      if (holders != 1) return false;
    }
  }
  return true;
}
static_assert(memoryAreasInOrder());

// How many areas the write sends on their own, and how many the read fetches on its own.
constexpr std::size_t sentAreaCount() {
  std::size_t n = 0;
  for (const MemoryArea& a : kMemoryAreas) n += a.send.order >= 0 ? 1 : 0;
  return n;
}
constexpr std::size_t readAreaCount() {
  std::size_t n = 0;
  for (const MemoryArea& a : kMemoryAreas) n += a.read.order >= 0 ? 1 : 0;
  return n;
}

enum class Encoding {
  Byte,              // 0 to 255
  Word,              // 0 to 65535, high byte first
  LowHalf,           // written as a whole byte, read from the low four bits
  Flag,              // 0x01 on, 0x00 off; any nonzero byte reads as on
  LowFlag,           // as Flag, read from the low four bits
  InvertedFlag,      // 0x00 on, 0x01 off
  Bit,               // the row's mask in a byte shared with other rows
  SegmentFrequency,  // a word of channel steps of the segment step (ChannelStep)
  Position,          // a combo box's item position or a slider's position
};

// When the write stores the value; otherwise it leaves the byte (or bit) 0.
enum class WriteGate {
  Always,
  Cpsx,               // only under the CPSX dialling scheme
  RangeSearch,        // only while the control channel search is the given range
  EnabledAndChecked,  // a bit only while its check box is enabled
  Visible,            // only while its control is visible
};

// Which step of a read sets the field. Rows of one group are set in table order.
enum class ReadGroup {
  ByCode,  // set by the read's own code for that field (see read_image.cpp)
  Channels,
  Frequencies,
  RegCode,
  SearchRange,  // only while the bulk answer says the search is the given range
  Hunting,
  Network,
  Counters,
  Rights,
  Shrink,  // only under MPT1343 dialling
  Signalling,
  Modes,
  FleetBlocks,  // only under CPSX dialling
  FleetLimits,  // only under MPT1343 dialling
  SmallChoices,
  Timelimit,
};

// Where a row's byte travels follows from its address: inside 0x010-0x1EF in the bulk block,
// elsewhere in the small record that covers it (write_image.cpp); the dialling scheme and the
// signalling at 0x1F0-0x1F1 by their mode commands.
struct MapRow {
  Address address;
  Encoding encoding;
  std::string field;  // settings field
  ReadGroup read;
  WriteGate gate = WriteGate::Always;
  std::uint8_t mask = 0;     // Bit: the bit
  const char* on = nullptr;  // a radio choice stored as a flag or bit: the choice that sets it
  int readBound = 0;         // Position: a stored value is taken only below this bound
  const settings::FieldDef* def = nullptr;  // the field's definition
};

// Every regular field, in the order a read sets them (the written bytes do not depend on it).
const std::vector<MapRow>& memoryMap();

struct RowContext {
  int channelStep = 125;  // the step of the segment frequencies
};

// Stores every row's field into the image (a field that cannot be stored raises FieldError).
void encodeRows(FieldReader& fields, MemoryImage& image, const RowContext& context);
// Sets the fields of one read group from the image, restricted to rows inside [from, to).
void decodeRows(settings::ProgramState& state, const MemoryImage& image, ReadGroup group,
                const RowContext& context, Address from = 0, Address to = MemoryImage::kSize);

// The row of a field, or null.
const MapRow* rowOf(std::string_view field);

}  // namespace rcp::image
