#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rcp::ui {

// The ordinary decimal conversion of a field's text: an optional sign and decimal digits, nothing
// else, within the range of the result type. Empty or malformed text gives nothing.
std::optional<std::int32_t> parseInt32(std::string_view text);
std::optional<std::int64_t> parseInt64(std::string_view text);

// Like parseInt32, but an unconvertible text raises ConversionError with the toolkit's message
// "'%s' is not a valid integer value." (a rule's number-conversion error).
std::int32_t toInt32(std::string_view text);
std::int64_t toInt64(std::string_view text);

// Decimal text without leading zeros.
std::string decimal(std::int64_t value);

// "01" .. "50": a member of a numbered family as its name and the window count it (ZoneData07,
// the row labels).
std::string twoDigits(int n);

bool isDigits(std::string_view text);  // non-empty and only "0" to "9"

}  // namespace rcp::ui
