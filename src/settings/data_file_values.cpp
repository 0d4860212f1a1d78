#include "settings/data_file_values.hpp"

#include <charconv>

#include "ui/number_text.hpp"

namespace rcp::settings {

namespace {

bool isDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

std::optional<std::int32_t> parseHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (ec != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
  if (value > static_cast<std::uint32_t>(INT32_MAX)) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<std::int32_t> parseFileNumber(std::string_view value) {
  if (value.starts_with('$')) return parseHex(value.substr(1));
  if (value.starts_with("0x") || value.starts_with("0X")) return parseHex(value.substr(2));
  return ui::parseInt32(value);
}

std::int32_t readInteger(std::string_view value) {
  if (const auto number = parseFileNumber(value)) return *number;
  // Not a number: the ordinary conversion raises the error with its standard text.
  return ui::toInt32(value);
}

std::string readNumberText(std::string_view value) {
  if (const auto number = parseFileNumber(value)) return ui::decimal(*number);
  std::string_view digits = value.starts_with('+') ? value.substr(1) : value;
  if (ui::isDigits(digits)) {
    const auto first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? "0" : std::string(digits.substr(first));
  }
  return ui::decimal(readInteger(value));  // raises the conversion error
}

std::string readDigitString(std::string_view value) {
  if (value.empty() || ui::isDigits(value)) return std::string(value);
  return readNumberText(value);
}

std::uint32_t readLenientU32(std::string_view value) {
  std::size_t i = 0;
  while (i < value.size() && (value[i] == ' ' || (value[i] >= '\t' && value[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
  std::uint32_t result = 0;  // unsigned arithmetic wraps modulo 2^32
  for (; i < value.size() && isDecimalDigit(value[i]); ++i)
    result = result * 10u + static_cast<std::uint32_t>(value[i] - '0');
  return negative ? 0u - result : result;
}

}  // namespace rcp::settings
