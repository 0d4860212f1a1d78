#pragma once

#include <optional>
#include <string_view>

#include "image/field_access.hpp"
#include "image/memory_image.hpp"

// The Test tab's share of the memory: the scrambler, volumes and compander in 0x0DC-0x0DF (read
// from the bulk answer only), the radio type and baud rate at 0x1F7-0x1F8 (written only while the
// Test tab is the active page), and the ten alignment bytes 0x2DD-0x2E6 (read one by one).
namespace rcp::image {

inline constexpr Address kRadioType = 0x1F7;
inline constexpr Address kBaudRate = 0x1F8;

// The scrambler choice "语音加密关" turns the radio's scrambler off ("PN1").
bool scramblerOff(settings::ProgramState& state);
// Whether a baud-rate button is selected at all (the write then sends its byte).
bool baudRateChosen(const settings::ProgramState& state);

// The bytes the write sets for the Test tab: the scrambler's low half-byte at 0x0DC (8 for off,
// 0 for on, as its mode command leaves it) and, while the Test tab is active, the radio type
// and the baud rate.
void encodeTestValues(FieldReader& fields, MemoryImage& image);

// From the bulk answer: VR4 (modulo 8), VR3, VR2, VR1, the compander and the scrambler.
void decodeBaseband(settings::ProgramState& state, const MemoryImage& image);
// From the bulk answer: 1 selects "HX33", 2 "HX77", any other value clears both; then the baud
// rate (nonzero selects 9600 bps).
void decodeBulkRadioType(settings::ProgramState& state, const MemoryImage& image);
// From its own read: 1 to 3 select the three types, any other value clears all three; then the
// baud rate.
void decodeRadioType(settings::ProgramState& state, const MemoryImage& image);
// One alignment byte into its edit ("VRSQ" at 0x2DD ... "VR_Sen3" at 0x2E6); none for an
// address that holds no alignment value.
std::optional<std::string_view> alignmentAt(Address at);
void decodeAlignment(settings::ProgramState& state, const MemoryImage& image, Address at);

}  // namespace rcp::image
