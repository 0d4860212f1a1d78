#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "image/memory_image.hpp"
#include "image/memory_map.hpp"
#include "image/small_records.hpp"
#include "settings/program_state.hpp"

// Decoding what a read brings back into the settings record. Fields are set through the form
// the way a user sets them, so switches and radio buttons that change state run their click
// rules and spin fields clamp. No answer, whatever its length or characters, makes decoding fail:
// an answer shorter than its step needs leaves that step's fields as they were, and characters
// that are not hexadecimal digits are taken by the wire rule (code minus 55 above "9", else
// code minus 48). The one exception is the decimal answer of the call-back and PTT-code reads,
// which the read ends on with the conversion error when it is not a number.
//
// The read transfer uses it in this order:
//   1. decodeBulk(state, answer) with the 992-character bulk answer (0x010-0x1FF), right after
//      it arrives. Its steps, in order: channel spacing; channel step; the six channel numbers
//      (and the Test tab's channel and the highest channel); the segment frequencies (and the
//      base frequencies); RegCode; the search mode with its range; the hunting list and
//      off-network channel numbers; network and roaming codes; counters and timers, PSTN
//      length, ring category; the call-right and network bits; the dialling scheme (its click
//      rule resets the numbering fields) and, under MPT1343, short dialling; signalling, radio
//      type, baud rate, auto roaming, status saving; talk-around; group call mode; the phone
//      book, then the numbering area by the scheme (under CPSX the fleet level, whose change
//      rule runs); the phone book's size and numbers; the Test tab's volumes, compander and
//      scrambler.
//   2. For each entry of smallReads() in order: send its request, read answerChars characters
//      and pass what arrived to decodeSmallRead with one ReadSession for the whole read.
//   3. When the read ends, the menu bit bytes the session brought (if any) are the ones the next
//      write carries back.
namespace rcp::image {

inline constexpr std::size_t kBulkAnswerChars = 992;  // 0x010 to 0x1FF

// False, with nothing changed, when fewer than 992 characters arrived; characters after the
// 992nd are ignored.
bool decodeBulk(settings::ProgramState& state, std::string_view answer);

struct SmallRead {
  ReadStep step;
  Address address;          // the request: "READ", address, length field
  std::uint8_t length;      // the request's length field
  std::size_t answerChars;  // characters the read waits for
  std::size_t neededChars;  // characters decoding needs; fewer is a short answer
  ReadPacing pacing;        // how it goes on the line and what it counts on the bar
};

// The small reads in the order the read sends them, as the memory areas (memory_map.hpp) say.
std::span<const SmallRead> smallReads();
const SmallRead& smallRead(ReadStep step);

// What one read carries from one small answer to a later one.
struct ReadSession {
  explicit ReadSession(settings::ProgramState& s) : state(s) {}
  settings::ProgramState& state;
  std::optional<MenuBits> menuBits;  // set by a complete MenuBits answer
};

// Decodes one small answer. False when the answer was short: the step's fields keep their
// values (for InRing, the menu switches still follow a complete MenuBits answer). The Callback
// and PttCode answers are taken as decimal text from their first two characters; text that is
// not a number raises ui::ConversionError.
bool decodeSmallRead(ReadSession& session, ReadStep step, std::string_view answer);

// A whole memory image decoded as a complete read would take it from a radio holding it: the
// bulk answer, then every small read in order. Returns the menu bit bytes it brought.
MenuBits decodeMemory(settings::ProgramState& state, const MemoryImage& memory);

}  // namespace rcp::image
