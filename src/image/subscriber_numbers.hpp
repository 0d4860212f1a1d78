#pragma once

#include <cstdint>

#include "image/field_access.hpp"
#include "image/memory_image.hpp"

// The radio's own number, dynamic group and fixed groups (the numbering area 0x053-0x08E, laid
// out by the dialling scheme), the individual and group ranges (0x270) and the digit records of
// the fixed groups (0x278-0x2A7, written under both schemes and never read back).
namespace rcp::image {

inline constexpr Address kRangeLimits = 0x270;
inline constexpr std::size_t kRangeLimitBytes = 8;

void encodeNumberingArea(FieldReader& fields, MemoryImage& image);
void encodeRangeLimits(FieldReader& fields, MemoryImage& image);
void encodeGroupDigits(FieldReader& fields, MemoryImage& image);

// The numbering part of a read, after the dialling scheme has been set: under CPSX the fleet
// blocks and level bounds, the own number with its fleet level in "分队级别" (whose change rule
// then runs), the dynamic and fixed groups; under MPT1343 the digit strings and the fleet limits.
void decodeNumberingArea(settings::ProgramState& state, const MemoryImage& image);
// The four range limits at 0x270; a limit that is 0 or lies outside its range shows empty.
void decodeRangeLimits(settings::ProgramState& state, const MemoryImage& image);

// The group fleet code the reading side works with: `GroupFleet` as a number, 0 when it is none.
std::int64_t groupFleetCode(settings::ProgramState& state);

}  // namespace rcp::image
