#include "sim/radio_command.hpp"

#include <algorithm>
#include <array>

#include "link/hex_text.hpp"

namespace rcp::sim {

namespace {

bool allDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool allHex(std::string_view text) {
  return std::all_of(text.begin(), text.end(), link::isHexDigit);
}

int decimal(std::string_view digits) {
  int value = 0;
  for (const char c : digits) value = value * 10 + (c - '0');
  return value;
}

int hexValue(std::string_view digits) {
  int value = 0;
  for (const char c : digits) value = value * 16 + link::hexDigitValue(c);
  return value;
}

RadioCommand commandOf(CommandKind kind, std::string_view word, std::string_view name) {
  RadioCommand command;
  command.kind = kind;
  command.word = std::string(word);
  command.name = std::string(name);
  return command;
}

// A word made of a fixed prefix and a decimal operand of `minDigits` to `maxDigits` digits.
std::optional<int> prefixed(std::string_view word, std::string_view prefix, std::size_t minDigits,
                            std::size_t maxDigits) {
  if (!word.starts_with(prefix)) return std::nullopt;
  const std::string_view digits = word.substr(prefix.size());
  if (digits.size() < minDigits || digits.size() > maxDigits || !allDigits(digits)) {
    return std::nullopt;
  }
  return decimal(digits);
}

std::optional<RadioCommand> parseMemory(std::string_view word) {
  if (word == "PROG") return commandOf(CommandKind::Prog, word, word);
  if (word.starts_with("READ")) {
    const std::string_view operands = word.substr(4);
    if (operands.size() != 6 || !allHex(operands)) return std::nullopt;
    RadioCommand command = commandOf(CommandKind::Read, word, "READ");
    command.address = static_cast<std::uint16_t>(hexValue(operands.substr(0, 4)));
    command.length = static_cast<std::uint8_t>(hexValue(operands.substr(4, 2)));
    return command;
  }
  if (word.starts_with("WRITE")) {
    const std::string_view operands = word.substr(5);
    if (operands.size() < 6 || !allHex(operands)) return std::nullopt;
    RadioCommand command = commandOf(CommandKind::Write, word, "WRITE");
    command.address = static_cast<std::uint16_t>(hexValue(operands.substr(0, 4)));
    command.length = static_cast<std::uint8_t>(hexValue(operands.substr(4, 2)));
    command.data = link::bytesFromHex(operands.substr(6));
    return command;
  }
  return std::nullopt;
}

std::optional<RadioCommand> parseSetting(std::string_view word) {
  struct Pattern {
    std::string_view prefix;
    CommandKind kind;
    std::size_t minDigits;
    std::size_t maxDigits;
    int maxValue;
  };
  static constexpr std::array<Pattern, 19> kPatterns = {{
      {"STANDARD", CommandKind::Signalling, 1, 1, 1}, {"MODE", CommandKind::Dialling, 1, 1, 1},
      {"PN", CommandKind::Scrambler, 1, 1, 1},        {"CH", CommandKind::Channel, 1, 3, 999},
      {"TC", CommandKind::Compander, 1, 1, 1},        {"VR1", CommandKind::Volume, 1, 2, 19},
      {"VR2", CommandKind::Volume, 1, 2, 19},         {"VR3", CommandKind::Volume, 1, 2, 19},
      {"VR4", CommandKind::Volume, 1, 1, 9},          {"SS", CommandKind::Alignment, 3, 3, 999},
      {"BF", CommandKind::Alignment, 3, 3, 999},      {"PWR", CommandKind::Alignment, 3, 3, 999},
      {"PP0", CommandKind::Alignment, 3, 3, 999},     {"PP1", CommandKind::Alignment, 3, 3, 999},
      {"PP2", CommandKind::Alignment, 3, 3, 999},     {"PP3", CommandKind::Alignment, 3, 3, 999},
      {"LM1", CommandKind::Alignment, 3, 3, 999},     {"LM2", CommandKind::Alignment, 3, 3, 999},
      {"LM3", CommandKind::Alignment, 3, 3, 999},
  }};
  for (const Pattern& pattern : kPatterns) {
    const auto value = prefixed(word, pattern.prefix, pattern.minDigits, pattern.maxDigits);
    if (value && *value <= pattern.maxValue) {
      RadioCommand command = commandOf(pattern.kind, word, pattern.prefix);
      command.value = *value;
      return command;
    }
  }
  static constexpr std::array<std::string_view, 7> kTests = {"TXMD", "TXAD", "TXDT", "RXAD",
                                                             "TALK", "MUTE", "U"};
  if (std::find(kTests.begin(), kTests.end(), word) != kTests.end()) {
    return commandOf(CommandKind::Test, word, word);
  }
  if (word == "I1" || word == "I5") {
    RadioCommand command = commandOf(CommandKind::Calibration, word, word);
    command.value = word[1] - '0';
    return command;
  }
  return std::nullopt;
}

}  // namespace

bool isMemoryCommand(CommandKind kind) {
  return kind == CommandKind::Prog || kind == CommandKind::Write || kind == CommandKind::Read;
}

bool isTestCommand(CommandKind kind) {
  switch (kind) {
    case CommandKind::Test:
    case CommandKind::Channel:
    case CommandKind::Compander:
    case CommandKind::Volume:
    case CommandKind::Alignment:
    case CommandKind::Calibration:
      return true;
    default:
      return false;
  }
}

std::optional<RadioCommand> parseCommand(std::string_view word) {
  if (auto command = parseMemory(word)) return command;
  return parseSetting(word);
}

}  // namespace rcp::sim
