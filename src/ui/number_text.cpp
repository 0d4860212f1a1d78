#include "ui/number_text.hpp"

#include <charconv>
#include <cstdio>
#include <stdexcept>

#include "ui/conversion_error.hpp"

namespace rcp::ui {

namespace {
template <typename T>
std::optional<T> parse(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  T value{};
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}
}  // namespace

std::optional<std::int32_t> parseInt32(std::string_view text) { return parse<std::int32_t>(text); }
std::optional<std::int64_t> parseInt64(std::string_view text) { return parse<std::int64_t>(text); }

namespace {
[[noreturn]] void notAnInteger(std::string_view text) {
  throw ConversionError("'" + std::string(text) + "' is not a valid integer value.");
}
}  // namespace

std::int32_t toInt32(std::string_view text) {
  if (auto v = parseInt32(text)) return *v;
  notAnInteger(text);
}

std::int64_t toInt64(std::string_view text) {
  if (auto v = parseInt64(text)) return *v;
  notAnInteger(text);
}

std::string decimal(std::int64_t value) { return std::to_string(value); }

std::string twoDigits(int n) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

bool isDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace rcp::ui
