#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "image/memory_image.hpp"
#include "image/memory_map.hpp"

// The small records of a write, in the order it sends them: what each holds, when it goes out,
// what goes before it on the line and how far it moves the progress bar, as the memory areas
// (memory_map.hpp) say. The image builder makes the records from this list and the transfer
// walks it.
namespace rcp::image {

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

// The memory areas the write sends on their own, put in sending order.
inline constexpr auto kWriteRecords = [] {
  std::array<WriteRecordDef, sentAreaCount()> out{};
  for (const MemoryArea& a : kMemoryAreas) {
    if (a.send.order < 0) continue;
    const AreaSend& s = a.send;
    out[static_cast<std::size_t>(s.order)] = {a.address,  s.bytes, s.lead, s.stage,
                                              s.progress, s.lines, s.when, s.lengthField};
  }
  return out;
}();

// The address of a row's line (0 for a single record).
constexpr Address lineAddress(const WriteRecordDef& row, int line) {
  return static_cast<Address>(row.address + kListLineBytes * static_cast<std::size_t>(line));
}

}  // namespace rcp::image
