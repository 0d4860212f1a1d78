#include "image/phone_book.hpp"

#include <algorithm>

#include "image/field_locations.hpp"

namespace rcp::image {

namespace {

constexpr Address kCounts = 0x170;
constexpr Address kMarker = 0x18E;
constexpr std::uint8_t kMarkerValue = 0x03;
constexpr Address kSize = 0x18F;
constexpr std::uint8_t kPackedSize = 10;
constexpr Address kDigits = 0x190;
constexpr std::size_t kEntryBytes = 8;
constexpr const char* kSizeField = "MaxPhoneNumber";

std::string numberField(int k) {
  return "PhoneNumber" + std::to_string(k);
}

Address countAt(int k) {
  return static_cast<Address>(kCounts + k);
}
Address digitsAt(int k) {
  return static_cast<Address>(kDigits + kEntryBytes * static_cast<std::size_t>(k));
}

std::size_t capacity(PhoneBookForm form) {
  return form == PhoneBookForm::ByteDigits ? kEntryBytes : 2 * kEntryBytes;
}

PhoneNumbers numbersIn(const MemoryImage& image, PhoneBookForm form) {
  PhoneNumbers numbers;
  for (int k = 0; k < kPhoneEntries; ++k) {
    const std::size_t count = image.byte(countAt(k));
    numbers[static_cast<std::size_t>(k)] =
        form == PhoneBookForm::ByteDigits ? image.byteDigits(digitsAt(k), kEntryBytes, count)
                                          : image.nibbleDigits(digitsAt(k), kEntryBytes, count);
  }
  return numbers;
}

}  // namespace

PhoneBookForm schemeForm(const settings::ProgramState& state) {
  return state.values.diallingScheme == settings::DiallingScheme::Cpsx
             ? PhoneBookForm::ByteDigits
             : PhoneBookForm::NibbleDigits;
}

void encodePhoneBook(FieldReader& fields, MemoryImage& image, PhoneBookForm form) {
  for (int k = 0; k < kPhoneEntries; ++k) {
    std::string digits = fields.digitString(numberField(k));
    digits.resize(std::min(digits.size(), capacity(form)));
    image.setByte(countAt(k), static_cast<std::uint8_t>(digits.size()));
    if (form == PhoneBookForm::ByteDigits)
      image.setByteDigits(digitsAt(k), kEntryBytes, digits);
    else
      image.setNibbleDigits(digitsAt(k), kEntryBytes, digits);
  }
  image.setByte(kMarker, kMarkerValue);
  const std::int64_t size = form == PhoneBookForm::Packed
                                ? kPackedSize
                                : fields.fit(kSizeField, fields.number(kSizeField), 1);
  image.setByte(kSize, static_cast<std::uint8_t>(size));
}

PhoneNumbers readPhoneNumbers(settings::ProgramState& state, const MemoryImage& image) {
  const PhoneBookForm form = schemeForm(state);
  PhoneNumbers numbers = numbersIn(image, form);
  if (form == PhoneBookForm::ByteDigits && state.values.phoneBookModel) {
    settings::Record(state).set(kSizeField, std::int64_t{kPackedSize});
    numbers = numbersIn(image, PhoneBookForm::NibbleDigits);
  }
  return numbers;
}

void showPhoneBook(settings::ProgramState& state, const MemoryImage& image,
                   const PhoneNumbers& numbers) {
  settings::Record record(state);
  record.set(kSizeField, std::int64_t{image.byte(kSize)});
  for (int k = 0; k < kPhoneEntries; ++k)
    record.set(numberField(k), numbers[static_cast<std::size_t>(k)]);
}

void addPhoneBookLocations(Locations& out) {
  for (int k = 0; k < kPhoneEntries; ++k) {
    out.push_back({countAt(k), 1, 0, numberField(k), "digit count"});
    out.push_back({digitsAt(k), kEntryBytes, 0, numberField(k),
                   "decimal digits, one to a byte under CPSX, two under MPT1343"});
  }
  out.push_back({kMarker, 1, 0, "", "constant 0x03"});
  out.push_back({kSize, 1, 0, kSizeField, "byte (10 for a packed book)"});
}

}  // namespace rcp::image
