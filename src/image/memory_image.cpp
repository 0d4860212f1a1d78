#include "image/memory_image.hpp"

#include <algorithm>
#include <stdexcept>

#include "link/hex_text.hpp"

namespace rcp::image {

namespace {

constexpr std::int64_t kFoldAboveMhz = 800;  // whole MHz; 801 MHz and more are folded
constexpr std::int64_t kFold = 6000000;      // 600 MHz in 100 Hz steps
constexpr std::int64_t kFoldedFromMhz = 201;
constexpr std::int64_t kFoldedToMhz = 299;
constexpr std::int64_t kPerMhz = 10000;

std::int64_t widthLimit(FrequencyWidth width) {
  return width == FrequencyWidth::Word ? 0xFFFF : 0xFFFFFF;
}

// One upper-case hexadecimal digit of the wire form (link::hexDigits, a character at a time).
char digitChar(int value) {
  return "0123456789ABCDEF"[value & 0x0F];
}

void requireDigits(std::string_view digits, std::size_t capacity) {
  if (digits.size() > capacity) throw std::invalid_argument("digit string longer than its slot");
  for (const char c : digits)
    if (c < '0' || c > '9') throw std::invalid_argument("not a decimal digit string");
}

}  // namespace

std::int64_t channelCount(std::int64_t frequency, int step) {
  const std::int64_t folded = frequency / kPerMhz > kFoldAboveMhz ? frequency - kFold : frequency;
  return folded / step;
}

std::int64_t frequencyOfCount(std::int64_t count, int step) {
  const std::int64_t value = count * step;
  const std::int64_t mhz = value / kPerMhz;
  return mhz >= kFoldedFromMhz && mhz <= kFoldedToMhz ? value + kFold : value;
}

std::size_t MemoryImage::checked(Address at, std::size_t count) const {
  if (at > kSize || count > kSize - at)
    throw std::out_of_range("memory access beyond 0x3FF at " + link::hexWord(at));
  return at;
}

std::uint8_t MemoryImage::byte(Address at) const {
  return bytes_[checked(at, 1)];
}

void MemoryImage::setByte(Address at, std::uint8_t value) {
  bytes_[checked(at, 1)] = value;
}

std::uint16_t MemoryImage::word(Address at) const {
  const std::size_t i = checked(at, 2);
  return static_cast<std::uint16_t>(bytes_[i] << 8 | bytes_[i + 1]);
}

void MemoryImage::setWord(Address at, std::uint16_t value) {
  const std::size_t i = checked(at, 2);
  bytes_[i] = static_cast<std::uint8_t>(value >> 8);
  bytes_[i + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

std::uint32_t MemoryImage::triple(Address at) const {
  const std::size_t i = checked(at, 3);
  return static_cast<std::uint32_t>(bytes_[i]) << 16 |
         static_cast<std::uint32_t>(bytes_[i + 1]) << 8 | bytes_[i + 2];
}

void MemoryImage::setTriple(Address at, std::uint32_t value) {
  if (value > 0xFFFFFF) throw std::out_of_range("value does not fit three bytes");
  const std::size_t i = checked(at, 3);
  bytes_[i] = static_cast<std::uint8_t>(value >> 16);
  bytes_[i + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
  bytes_[i + 2] = static_cast<std::uint8_t>(value & 0xFF);
}

void MemoryImage::setBit(Address at, std::uint8_t mask, bool on) {
  const std::uint8_t old = byte(at);
  setByte(at, static_cast<std::uint8_t>(on ? old | mask : old & ~mask));
}

void MemoryImage::setNibbleDigits(Address at, std::size_t width, std::string_view digits) {
  const std::size_t i = checked(at, width);
  requireDigits(digits, 2 * width);
  std::fill_n(bytes_.begin() + static_cast<std::ptrdiff_t>(i), width, 0);
  for (std::size_t d = 0; d < digits.size(); ++d) {
    const auto value = static_cast<std::uint8_t>(digits[d] - '0');
    bytes_[i + d / 2] |= d % 2 == 0 ? static_cast<std::uint8_t>(value << 4) : value;
  }
}

std::string MemoryImage::nibbleDigits(Address at, std::size_t width, std::size_t count) const {
  const std::size_t i = checked(at, width);
  std::string digits;
  for (std::size_t d = 0; d < std::min(count, 2 * width); ++d) {
    const std::uint8_t b = bytes_[i + d / 2];
    digits += digitChar(d % 2 == 0 ? b >> 4 : b & 0x0F);
  }
  return digits;
}

void MemoryImage::setByteDigits(Address at, std::size_t width, std::string_view digits) {
  const std::size_t i = checked(at, width);
  requireDigits(digits, width);
  std::fill_n(bytes_.begin() + static_cast<std::ptrdiff_t>(i), width, 0);
  for (std::size_t d = 0; d < digits.size(); ++d)
    bytes_[i + d] = static_cast<std::uint8_t>(digits[d] - '0');
}

std::string MemoryImage::byteDigits(Address at, std::size_t width, std::size_t count) const {
  const std::size_t i = checked(at, width);
  std::string digits;
  for (std::size_t d = 0; d < std::min(count, width); ++d)
    digits += static_cast<char>('0' + bytes_[i + d] % 10);
  return digits;
}

void MemoryImage::setBytes(Address at, std::span<const std::uint8_t> bytes) {
  const std::size_t i = checked(at, bytes.size());
  std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(i));
}

std::vector<std::uint8_t> MemoryImage::bytes(Address at, std::size_t count) const {
  const std::size_t i = checked(at, count);
  const auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(i);
  return {first, first + static_cast<std::ptrdiff_t>(count)};
}

void MemoryImage::clear(Address at, std::size_t count) {
  const std::size_t i = checked(at, count);
  std::fill_n(bytes_.begin() + static_cast<std::ptrdiff_t>(i), count, 0);
}

std::int64_t MemoryImage::frequency(Address at, FrequencyWidth width, int step) const {
  const std::int64_t count = width == FrequencyWidth::Word ? word(at) : triple(at);
  return frequencyOfCount(count, step);
}

void MemoryImage::setFrequency(Address at, FrequencyWidth width, int step, std::int64_t frequency) {
  const std::int64_t count = channelCount(frequency, step);
  if (count < 0 || count > widthLimit(width))
    throw std::out_of_range("channel count does not fit its slot");
  if (width == FrequencyWidth::Word)
    setWord(at, static_cast<std::uint16_t>(count));
  else
    setTriple(at, static_cast<std::uint32_t>(count));
}

PrefixIdent MemoryImage::prefixIdent(Address at) const {
  checked(at, 3);
  return {byte(at), word(static_cast<Address>(at + 1))};
}

void MemoryImage::setPrefixIdent(Address at, PrefixIdent value) {
  checked(at, 3);
  if (value.prefix < 0 || value.prefix > 0xFF || value.ident < 0 || value.ident > 0xFFFF)
    throw std::out_of_range("prefix or ident does not fit its slot");
  setByte(at, static_cast<std::uint8_t>(value.prefix));
  setWord(static_cast<Address>(at + 1), static_cast<std::uint16_t>(value.ident));
}

std::string MemoryImage::hex(Address at, std::size_t count) const {
  const std::size_t i = checked(at, count);
  std::string text(2 * count, '0');
  for (std::size_t b = 0; b < count; ++b) {
    text[2 * b] = digitChar(bytes_[i + b] >> 4);
    text[2 * b + 1] = digitChar(bytes_[i + b]);
  }
  return text;
}

std::size_t MemoryImage::loadHex(Address at, std::string_view digits) {
  checked(at, 0);
  const std::vector<std::uint8_t> loaded = link::bytesFromHex(digits);
  const std::size_t count = std::min(loaded.size(), kSize - at);
  std::copy_n(loaded.begin(), count, bytes_.begin() + at);
  return count;
}

}  // namespace rcp::image
