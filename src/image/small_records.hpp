#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "image/field_access.hpp"
#include "image/memory_image.hpp"

// The records above the bulk block that are not numbers or lists: the menu bit bytes (0x2C2),
// the talk-around numbers with off-network channel 9 (0x210), the start-up text and password
// (0x220), off-network channels 10 to 19 (0x230-0x26D) and the system alarm number (0x2C9).
namespace rcp::image {

inline constexpr Address kMenuBits = 0x2C2;
inline constexpr Address kTalkAround = 0x210;
inline constexpr Address kStartUpText = 0x220;
inline constexpr Address kSimplexTx = 0x230;
inline constexpr Address kSimplexRx = 0x250;
inline constexpr Address kSystemAlarm = 0x2C9;
inline constexpr std::size_t kSystemAlarmBytes = 20;

// The three menu bit bytes 0x2C2-0x2C4. Seventeen bits follow the menu switches; 0x2C3 bits
// 0x01-0x08 and 0x2C4 bits 0x01-0x02 belong to no switch and are written back as the last read
// brought them; 0x2C3 bit 0x40 is always written 0.
using MenuBits = std::array<std::uint8_t, 3>;

void encodeMenuBits(FieldReader& fields, MemoryImage& image, const MenuBits& lastRead);
MenuBits menuBitsIn(const MemoryImage& image);
// Sets the seventeen menu switches from the bit bytes (each change runs its click rule).
void applyMenuSwitches(settings::ProgramState& state, const MenuBits& bits);

void encodeTalkAround(FieldReader& fields, MemoryImage& image);
void decodeTalkAround(settings::ProgramState& state, const MemoryImage& image);

// Each text is its code-page bytes, cut to 8 bytes without splitting a character and padded
// with spaces; reading keeps the spaces.
void encodeStartUpText(FieldReader& fields, MemoryImage& image);
void decodeStartUpText(settings::ProgramState& state, const MemoryImage& image);

void encodeSimplex(FieldReader& fields, MemoryImage& image);
void decodeSimplex(settings::ProgramState& state, const MemoryImage& image);

// The text's code-page bytes (at most 20, a character is never split), then one 0x00 byte when
// shorter than 20; a 20-byte text has no terminator, so 0x2DD is never touched. Returns the
// number of text bytes.
std::size_t encodeSystemAlarm(FieldReader& fields, MemoryImage& image);
// The text ends at the first 0x00 byte or after 20 bytes.
void decodeSystemAlarm(settings::ProgramState& state, const MemoryImage& image);

}  // namespace rcp::image
