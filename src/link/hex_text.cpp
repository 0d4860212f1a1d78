#include "link/hex_text.hpp"

namespace rcp::link {

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";
}

std::string hexByte(std::uint8_t value) {
  return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

std::string hexWord(std::uint16_t value) {
  return hexByte(static_cast<std::uint8_t>(value >> 8)) +
         hexByte(static_cast<std::uint8_t>(value & 0xFF));
}

std::string hexDigits(std::span<const std::uint8_t> bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const std::uint8_t byte : bytes) text += hexByte(byte);
  return text;
}

int hexDigitValue(char digit) {
  const auto code = static_cast<unsigned char>(digit);
  return code > '9' ? code - 55 : code - 48;
}

std::vector<std::uint8_t> bytesFromHex(std::string_view digits) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(digits.size() / 2);
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    bytes.push_back(
        static_cast<std::uint8_t>(hexDigitValue(digits[i]) * 16 + hexDigitValue(digits[i + 1])));
  }
  return bytes;
}

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

}  // namespace rcp::link
