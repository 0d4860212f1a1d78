#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/field_access.hpp"
#include "image/memory_image.hpp"
#include "settings/field_table.hpp"

// The regular fields of the radio's memory as one table: where each field lies, in which
// encoding, when the write stores it and when the read sets it. The irregular areas (numbering
// area, phone book, group lists, text and frequency records, menu bits, Test tab values) are code
// beside this table, each in its own file.
namespace rcp::image {

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
