#include "testmode/alignment.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "rules/field_rules.hpp"
#include "settings/record.hpp"
#include "testmode/test_commands.hpp"
#include "ui/number_text.hpp"

namespace rcp::testmode {

namespace {

using settings::ProgramState;

// A spin edit with its bar; every change of its value sends the word and the value in decimal.
struct VolumeValue {
  const char* field;
  const char* bar;
  const char* word;
  int highestSendable;  // what the command's digits can carry: two for VR1-VR3, one for VR4
};
constexpr std::array<VolumeValue, 4> kVolumes = {{
    {"VR1", "VR1Bar", "VR1", 19},
    {"VR2", "VR2Bar", "VR2", 19},
    {"VR3", "VR3Bar", "VR3", 19},
    {"VR4", "VR4Bar", "VR4", 9},
}};

// An edit stepped by its own up/down pair, wrapping at 0 and 255; a step sends the word and three
// digits. Typing sends nothing.
struct SteppedValue {
  const char* field;
  const char* buttons;
  const char* word;
};
constexpr std::array<SteppedValue, 10> kStepped = {{
    {"VRSQ", "CSpinButton1", "SS"},
    {"VRBF", "CSpinButton3", "BF"},
    {"VRPWR", "CSpinButton4", "PWR"},
    {"VRPP", "CSpinButton2", "PP1"},
    {"VRPP2", "CSpinButton5", "PP2"},
    {"VRPP3", "CSpinButton6", "PP3"},
    {"VRPP0", "CSpinButton7", "PP0"},
    {"VR_Sen1", "CSpinButton8", "LM1"},
    {"VR_Sen2", "CSpinButton9", "LM2"},
    {"VR_Sen3", "CSpinButton10", "LM3"},
}};
constexpr std::int64_t kHighestStepped = 255;
constexpr std::int64_t kHighestThreeDigits = 999;

// A value the command's digits cannot carry goes out as the nearest bound of the field's range.
std::int64_t sendable(const ui::Control& field, std::int64_t value, std::int64_t highest) {
  if (value >= 0 && value <= highest) return value;
  return std::clamp<std::int64_t>(value, field.min, field.max);
}

std::string threeDigits(std::int64_t value) {
  std::string digits = ui::decimal(value);
  return std::string(3 - std::min<std::size_t>(3, digits.size()), '0') + digits;
}

// The value as typed (an emptied field becomes its minimum, 0, first); the bar follows.
void VolumeChange(ProgramState& state, const VolumeValue& volume) {
  ui::Form& form = *state.main;
  const int value = form.readSpin(volume.field);
  form.setValue(volume.bar, value);
  const auto sent = sendable(form.at(volume.field), value, volume.highestSendable);
  sendSetting(state, volume.word + ui::decimal(sent));
}

// One click of a step button pair: up wraps from 255 to 0, down from 0 to 255.
void spinButtonClick(ProgramState& state, const SteppedValue& stepped, bool up) {
  ui::Form& form = *state.main;
  std::int64_t value = rules::numberIn(form, stepped.field);
  if (up)
    value = value + 1 > kHighestStepped ? 0 : value + 1;
  else
    value = value == 0 ? kHighestStepped : value - 1;
  form.setText(stepped.field, ui::decimal(value));
  const auto sent = sendable(form.at(stepped.field), value, kHighestThreeDigits);
  sendSetting(state, stepped.word + threeDigits(sent));
}

// The scrambler: "PN0" switches it on, "PN1" off; the settings record's choice follows.
void SecretCheckClick(ProgramState& state) {
  const bool on = state.main->checked("SecretCheck");
  sendSetting(state, on ? "PN0" : "PN1");
  settings::Record(state).set("语音加密", std::string(on ? "语音加密开" : "语音加密关"));
}

}  // namespace

void bindAlignment(ProgramState& state) {
  ui::Form& form = *state.main;
  for (const VolumeValue& volume : kVolumes) {
    form.on(volume.field, ui::Event::Change,
            [&state, &volume](ui::Control&) { VolumeChange(state, volume); });
    rules::bindDigitFilter(form, volume.field);
  }
  for (const SteppedValue& stepped : kStepped) {
    form.on(stepped.buttons, ui::Event::Up,
            [&state, &stepped](ui::Control&) { spinButtonClick(state, stepped, true); });
    form.on(stepped.buttons, ui::Event::Down,
            [&state, &stepped](ui::Control&) { spinButtonClick(state, stepped, false); });
    rules::bindDigitFilter(form, stepped.field);
  }
  form.on("CompressOpen", ui::Event::Click, [&state](ui::Control&) { sendSetting(state, "TC1"); });
  form.on("CompressClose", ui::Event::Click, [&state](ui::Control&) { sendSetting(state, "TC0"); });
  form.on("SecretCheck", ui::Event::Click, [&state](ui::Control&) { SecretCheckClick(state); });
}

}  // namespace rcp::testmode
