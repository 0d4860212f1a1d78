#pragma once

#include "image/field_access.hpp"
#include "image/memory_image.hpp"

// The three lists of 3-byte entries: hidden groups 1-8 (0x2A8) and waiting groups 1-40 (0x310)
// as prefix and ident by the dialling scheme, and the system labels 1-40 (0x388) as a route byte
// and a system word. The write sends them as 12-byte lines of four entries.
namespace rcp::image {

inline constexpr Address kHiddenGroups = 0x2A8;
inline constexpr Address kWaitingGroups = 0x310;
inline constexpr Address kSystemLabels = 0x388;
inline constexpr std::size_t kListLineBytes = 12;

void encodeGroupLists(FieldReader& fields, MemoryImage& image);

// A group whose ident is 0, or that does not rebuild to a valid number, reads as 0.
void decodeHiddenGroups(settings::ProgramState& state, const MemoryImage& image);
void decodeWaitingGroups(settings::ProgramState& state, const MemoryImage& image);
// A route of 255 and a system number above 999 read as 0.
void decodeSystemLabels(settings::ProgramState& state, const MemoryImage& image);

}  // namespace rcp::image
