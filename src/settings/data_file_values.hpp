#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How values of a data file are written and turned back into fields.
namespace rcp::settings {

inline constexpr const char* kTrue = "True";
inline constexpr const char* kFalse = "False";
inline constexpr const char* kMenuOn = "打开";
inline constexpr const char* kMenuOff = "关闭";

inline const char* switchText(bool on) {
  return on ? kTrue : kFalse;
}
inline const char* menuSwitchText(bool on) {
  return on ? kMenuOn : kMenuOff;
}

// A switch is on only for exactly "True", a menu switch only for exactly "打开".
inline bool readSwitch(std::string_view value) {
  return value == kTrue;
}
inline bool readMenuSwitch(std::string_view value) {
  return value == kMenuOn;
}

// A signed 32-bit whole number: decimal with an optional sign, or hexadecimal after a leading "$"
// or "0x" ("0X"). Nothing for an empty value, any other character, or a number out of range.
std::optional<std::int32_t> parseFileNumber(std::string_view value);

// As parseFileNumber, but a value that is no number raises the conversion error "'%s' is not a
// valid integer value.".
std::int32_t readInteger(std::string_view value);

// A digit field's text: the number without leading zeros ("0001" gives "1"). A run of decimal
// digits too long for 32 bits keeps its digits (without leading zeros); anything else that is no
// number raises the conversion error.
std::string readNumberText(std::string_view value);

// A talk-around number, which the radio keeps as a digit string with its count: empty or decimal
// digits only, it stays as it is (leading zeros included); anything else is read as a number text.
std::string readDigitString(std::string_view value);

// Never fails: leading white space is skipped, an optional sign taken, then decimal digits up to
// the first other character, accumulated modulo 2^32; a minus sign negates modulo 2^32. No
// digits give 0.
std::uint32_t readLenientU32(std::string_view value);

}  // namespace rcp::settings
