#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "image/field_access.hpp"
#include "image/memory_image.hpp"
#include "image/small_records.hpp"

// Everything a write puts into the radio, encoded from the settings record before the radio is
// greeted, so that a field that cannot be stored stops the write before anything but the
// leave-test "Q" has been sent.
//
// The write transfer uses it in this order:
//   1. encodeWrite(state, menuBits): on an EncodeError, show its message and stop. (It has set
//      ZoneLength, AreaLength and SilLength above 15 to "15" on the form, as the write does.)
//   2. modes: "STANDARD1"/"STANDARD0", "MODE1"/"MODE0", "PN1"/"PN0".
//   3. records, in their order, each as a WRITE command of its address, length field and data;
//      a record the write does not send this time is absent (the PTT code while its switch is
//      hidden, the baud rate and radio type while the Test tab is not the active page).
//   4. After the model identification: reencodeAfterIdentification(state, image), which applies
//      the packed phone book of some models to the bulk image and rebuilds the records of
//      0x210-0x26D from the off-network channels the identification may have preset.
//   5. bulk: 976 digits, sent as 61 chunks of 16.
namespace rcp::image {

// One small write: "WRITE", the address, the length field and the data.
struct MemoryRecord {
  Address address = 0;
  std::uint8_t lengthField = 0;  // the data length, except where the radio expects 0x10
  std::vector<std::uint8_t> data;

  std::string hex() const;  // the data in wire form
  friend bool operator==(const MemoryRecord&, const MemoryRecord&) = default;
};

// The plain mode commands the write sends before the records.
struct WriteModes {
  bool enhancedSignalling = false;  // "STANDARD1", else "STANDARD0"
  bool cpsxDialling = false;        // "MODE1", else "MODE0"
  bool scramblerOff = true;         // "PN1", else "PN0"
};

inline constexpr Address kBulkStart = 0x010;
inline constexpr std::size_t kBulkWriteBytes = 488;  // 0x010 to 0x1F7
inline constexpr std::size_t kBulkWriteChars = 2 * kBulkWriteBytes;

struct WriteImage {
  // The radio's memory as the write leaves it, at every address the write sets (the mode
  // bytes 0x1F0, 0x1F1 and the scrambler at 0x0DC as their mode commands leave them); 0 where
  // the write sets nothing.
  MemoryImage memory;
  WriteModes modes;
  std::vector<MemoryRecord> records;  // in the order the write sends them
  // The bulk block 0x010-0x1F7 in wire form; 0x0DC-0x0DF and 0x1F0-0x1F7 are "0" here.
  std::string bulk;
  std::size_t systemAlarmBytes = 0;

  // The record sent for an address, or null when it is not sent this time.
  const MemoryRecord* record(Address address) const;
};

using WriteEncoding = std::variant<WriteImage, EncodeError>;

// `menuBits` are the three menu bit bytes the last read brought (zeros before any read); the
// bits no switch drives are written back from them.
WriteEncoding encodeWrite(settings::ProgramState& state, const MenuBits& menuBits);

void reencodeAfterIdentification(settings::ProgramState& state, WriteImage& image);

// The bulk block and the records built again from image.memory, after it was changed.
void refresh(settings::ProgramState& state, WriteImage& image);

}  // namespace rcp::image
