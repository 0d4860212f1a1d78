#pragma once

#include <array>
#include <string>

#include "image/field_access.hpp"
#include "image/memory_image.hpp"

// The phone book, 0x170-0x1DF: ten digit counts from 0x170, the constant 0x03 at 0x18E, the
// book's size at 0x18F and eight bytes of digits per entry from 0x190.
namespace rcp::image {

inline constexpr int kPhoneEntries = 10;

enum class PhoneBookForm {
  ByteDigits,    // CPSX dialling: one digit per byte, at most 8 (a longer number is cut)
  NibbleDigits,  // MPT1343 dialling: two digits per byte, at most 16
  Packed,        // radios with the packed phone book: nibble digits under either scheme, and
                 // the size byte always 10
};

// The form the write uses before the radio is identified.
PhoneBookForm schemeForm(const settings::ProgramState& state);

void encodePhoneBook(FieldReader& fields, MemoryImage& image, PhoneBookForm form);

using PhoneNumbers = std::array<std::string, kPhoneEntries>;

// Reading, first part: the ten numbers by the scheme's form; under CPSX a radio with the packed
// phone book sets the book's size to 10 and takes the numbers once more as nibble digits.
PhoneNumbers readPhoneNumbers(settings::ProgramState& state, const MemoryImage& image);
// Reading, second part: the book's size from 0x18F (its change rule runs), then the numbers.
void showPhoneBook(settings::ProgramState& state, const MemoryImage& image,
                   const PhoneNumbers& numbers);

}  // namespace rcp::image
