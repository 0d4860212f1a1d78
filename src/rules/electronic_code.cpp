#include "rules/electronic_code.hpp"

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "link/commands.hpp"
#include "link/hex_text.hpp"
#include "rules/field_rules.hpp"
#include "ui/number_text.hpp"

namespace rcp::rules {

namespace {

using settings::ProgramState;

constexpr std::uint16_t kAddress = 0x2E7;
constexpr std::uint8_t kLength = 3;
constexpr std::size_t kAnswerDigits = 2 * kLength;

struct CodeField {
  const char* name;
  int highest;
};
constexpr CodeField kFirst{"electcode1", 255};
constexpr CodeField kSecond{"electcode2", 65535};

// Empty becomes "0", and so does a value beyond the field's range, without a word.
void bringIntoRange(ui::Form& form, const CodeField& field) {
  fillIfEmpty(form, field.name, "0");
  if (numberIn(form, field.name) > field.highest) form.setText(field.name, "0");
}

// One read of the code: the wake byte stands for the command's 0x91.
std::size_t askOnce(link::Port& port, link::Clock& clock, int settle,
                    std::array<std::uint8_t, kAnswerDigits>& answer) {
  port.write(link::wakeByte());
  clock.pause(settle);
  port.purgeReceive();
  port.write(link::settingCommand("READ" + link::hexWord(kAddress) + link::hexByte(kLength)));
  return port.read(answer);
}

// The number of a run of answer characters, each taken as one hexadecimal digit.
int digitsValue(std::span<const std::uint8_t> digits) {
  int value = 0;
  for (const std::uint8_t digit : digits)
    value = 16 * value + link::hexDigitValue(static_cast<char>(digit));
  return value;
}

}  // namespace

void writeElectronicCode(link::Port& port, link::Clock& clock, ElectronicCode code) {
  const std::array<std::uint8_t, kLength> data = {static_cast<std::uint8_t>(code.first),
                                                  static_cast<std::uint8_t>(code.second >> 8),
                                                  static_cast<std::uint8_t>(code.second)};
  port.write(link::wakeByte());
  clock.pause(20);
  port.write(link::writeCommand(kAddress, data));
}

std::optional<ElectronicCode> readElectronicCode(link::Port& port, link::Clock& clock) {
  std::array<std::uint8_t, kAnswerDigits> answer{};
  askOnce(port, clock, 20, answer);
  // The first answer is not used; the radio is asked again.
  clock.pause(50);
  answer.fill(0);
  if (askOnce(port, clock, 50, answer) < kAnswerDigits) return std::nullopt;
  const std::span<const std::uint8_t> digits(answer);
  return ElectronicCode{digitsValue(digits.first(2)), digitsValue(digits.subspan(2))};
}

void electcode1Exit(ProgramState& state) {
  bringIntoRange(*state.otherGrpSet, kFirst);
}
void electcode2Exit(ProgramState& state) {
  bringIntoRange(*state.otherGrpSet, kSecond);
}

void BitBtn3Click(ProgramState& state) {
  ui::Form& form = *state.otherGrpSet;
  electcode1Exit(state);
  electcode2Exit(state);
  const ElectronicCode code{static_cast<int>(numberIn(form, kFirst.name)),
                            static_cast<int>(numberIn(form, kSecond.name))};
  writeElectronicCode(state.port, state.clock, code);
}

void BitBtn4Click(ProgramState& state) {
  ui::Form& form = *state.otherGrpSet;
  const auto code = readElectronicCode(state.port, state.clock);
  if (!code) return;
  form.setText(kFirst.name, ui::decimal(code->first));
  form.setText(kSecond.name, ui::decimal(code->second));
}

void bindElectronicCode(ProgramState& state) {
  ui::Form& form = *state.otherGrpSet;
  bindRule(state, form, kFirst.name, ui::Event::Exit, electcode1Exit);
  bindRule(state, form, kSecond.name, ui::Event::Exit, electcode2Exit);
  bindDigitFilter(form, {kFirst.name, kSecond.name});
  bindRule(state, form, "BitBtn3", ui::Event::Click, BitBtn3Click);
  bindRule(state, form, "BitBtn4", ui::Event::Click, BitBtn4Click);
}

}  // namespace rcp::rules
