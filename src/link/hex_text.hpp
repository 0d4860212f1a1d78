#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rcp::link {

// The wire form of numbers and memory: hexadecimal digits 0-9 and upper-case A-F, most
// significant digit first, two digits per byte.

std::string hexByte(std::uint8_t value);                     // 2 digits
std::string hexWord(std::uint16_t value);                    // 4 digits
std::string hexDigits(std::span<const std::uint8_t> bytes);  // 2 digits per byte

// The value of one digit as the tool decodes the radio's answers: a character above '9' counts
// as its code minus 55 ('A' is 10), any other as its code minus 48. No character is rejected.
int hexDigitValue(char digit);

// Decodes digit pairs by that rule; an odd last digit is ignored.
std::vector<std::uint8_t> bytesFromHex(std::string_view digits);

// Strict check used where malformed text must be told apart: 0-9 and A-F only.
bool isHexDigit(char c);

}  // namespace rcp::link
