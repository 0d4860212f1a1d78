#include "testmode/test_channel.hpp"

#include <string>

#include "rules/field_rules.hpp"
#include "settings/record.hpp"
#include "testmode/test_frequencies.hpp"
#include "ui/number_text.hpp"

namespace rcp::testmode {

namespace {

using settings::ProgramState;

constexpr const char* kChannel = "CurrentChannelNum";
constexpr const char* kRx = "CurrentRxFreq";
constexpr const char* kTx = "CurrentTxFreq";
constexpr const char* kStep = "FreqInc";
constexpr std::int64_t kHighestCommandChannel = 999;
// Channel numbers of the test channel stay below this when stepping up.
constexpr std::int64_t kChannelLimit = 1000;

std::int64_t channelSpace(ProgramState& state) {
  return settings::Record(state).number("ChannelSpace");
}

void show(ui::Form& form, const char* field, std::int64_t value) {
  form.setText(field, ui::decimal(value));
}

// The radio goes to the channel now in the field; the test frequencies follow it.
void tune(ProgramState& state) {
  sendChannelCommand(state);
  followTestChannel(state);
}

bool warnIfNotMultiple(ProgramState& state, const char* field, std::int64_t value,
                       std::int64_t divisor) {
  if (value % divisor == 0) return false;
  rules::rangeWarning(state, *state.main, field, "应能整除", std::to_string(divisor));
  return true;
}

// A frequency left: the channel counted from its base, the other frequency one duplex spacing
// away (transmit below receive).
void frequencyLeft(ProgramState& state, const char* field, std::int64_t base, const char* other,
                   std::int64_t otherOffset) {
  ui::Form& form = *state.main;
  const std::int64_t frequency = rules::numberIn(form, field);
  if (warnIfNotMultiple(state, field, frequency, 125)) return;
  show(form, kChannel, (frequency - base) / channelSpace(state) + 1);
  show(form, other, frequency + otherOffset);
  tune(state);
}

// The three fields moved by `channels` and by `frequency` (100 Hz steps) together.
void moveChannel(ui::Form& form, std::int64_t channel, std::int64_t channels,
                 std::int64_t frequency) {
  const std::int64_t rx = rules::numberIn(form, kRx);
  const std::int64_t tx = rules::numberIn(form, kTx);
  show(form, kChannel, channel + channels);
  show(form, kRx, rx + frequency);
  show(form, kTx, tx + frequency);
}

}  // namespace

link::Bytes channelCommand(std::int64_t channel) {
  if (channel < 0 || channel > kHighestCommandChannel) return {};
  return link::settingCommand("CH" + ui::decimal(channel));
}

link::Bytes currentChannelCommand(const ui::Form& main) {
  return channelCommand(rules::numberIn(main, kChannel));
}

void sendChannelCommand(ProgramState& state) {
  const link::Bytes command = currentChannelCommand(*state.main);
  if (!command.empty()) state.port.write(command);
}

void showFirstChannel(ProgramState& state) {
  ui::Form& form = *state.main;
  show(form, kChannel, rules::numberIn(form, "ChannelNum"));
  show(form, kRx, state.values.baseRxFreq);
  show(form, kTx, state.values.baseTxFreq);
}

void CurrentChannelNumExit(ProgramState& state) {
  ui::Form& form = *state.main;
  const std::int64_t channel = rules::numberIn(form, kChannel);
  if (channel <= 0) return;
  const std::int64_t offset = (channel - 1) * channelSpace(state);
  show(form, kRx, offset + state.values.baseRxFreq);
  show(form, kTx, offset + state.values.baseTxFreq);
  tune(state);
}

void CurrentRxFreqExit(ProgramState& state) {
  frequencyLeft(state, kRx, state.values.baseRxFreq, kTx, -state.values.duplexSpacing);
}

void CurrentTxFreqExit(ProgramState& state) {
  frequencyLeft(state, kTx, state.values.baseTxFreq, kRx, state.values.duplexSpacing);
}

void FreqIncExit(ProgramState& state) {
  warnIfNotMultiple(state, kStep, rules::numberIn(*state.main, kStep), 25);
}

void ChangeChannelUp(ProgramState& state) {
  ui::Form& form = *state.main;
  const std::int64_t step = rules::numberIn(form, kStep);
  const std::int64_t channels = step * 10 / channelSpace(state);
  const std::int64_t channel = rules::numberIn(form, kChannel);
  if (channel >= kChannelLimit - channels) return;
  moveChannel(form, channel, channels, step * 10);
  tune(state);
}

void ChangeChannelDown(ProgramState& state) {
  ui::Form& form = *state.main;
  const std::int64_t step = rules::numberIn(form, kStep);
  const std::int64_t space = channelSpace(state);
  const std::int64_t channels = step * 10 / space;
  const std::int64_t channel = rules::numberIn(form, kChannel);
  // The bound leaves out the factor 10 of the step: near the bottom a step that would go below
  // channel 1 still sends the channel unchanged.
  if (channel <= step / space) return;
  if (channel - channels > 0) moveChannel(form, channel, -channels, -step * 10);
  tune(state);
}

void bindTestChannelRules(ProgramState& state) {
  ui::Form& form = *state.main;
  const auto onExit = [&](const char* field, rules::StateRule rule) {
    rules::bindRule(state, form, field, ui::Event::Exit, rule);
    rules::bindDigitFilter(form, field);
  };
  onExit(kChannel, CurrentChannelNumExit);
  onExit(kRx, CurrentRxFreqExit);
  onExit(kTx, CurrentTxFreqExit);
  onExit(kStep, FreqIncExit);
  rules::bindRule(state, form, "ChangeChannel", ui::Event::Up, ChangeChannelUp);
  rules::bindRule(state, form, "ChangeChannel", ui::Event::Down, ChangeChannelDown);
}

}  // namespace rcp::testmode
