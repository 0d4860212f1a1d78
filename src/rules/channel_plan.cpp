#include "rules/channel_plan.hpp"

#include <algorithm>
#include <array>
#include <string>

#include "rules/field_rules.hpp"
#include "ui/number_text.hpp"

namespace rcp::rules {

using settings::SearchMode;

namespace {

using settings::ProgramState;

struct Segment {
  const char* start;
  const char* stop;
  const char* emptyStop;  // what an empty stop field becomes
};
constexpr std::array<Segment, 3> kSegments = {{
    {"ChannelNum", "Channel1StopNum", "1"},
    {"Channel2StartNum", "Channel2StopNum", "0"},
    {"Channel3StartNum", "Channel3StopNum", "0"},
}};

constexpr const char* kSecondaryFrequencies[] = {"Rx2Freq", "Tx2Freq", "Rx3Freq", "Tx3Freq"};
constexpr const char* kSystemCodes[] = {"ZoneData", "AreaData", "SilData"};
constexpr const char* kCodeLengths[] = {"ZoneLength", "AreaLength", "SilLength"};
constexpr const char* kAllChannels = "全信道搜索";

bool isCodeLength(const std::string& name) {
  return std::find(std::begin(kCodeLengths), std::end(kCodeLengths), name) !=
         std::end(kCodeLengths);
}

// Empty-field step, then the number the field holds.
std::int64_t filledNumber(ui::Form& form, const std::string& control, const char* defaultText) {
  fillIfEmpty(form, control, defaultText);
  return numberIn(form, control);
}

void notMultipleOf125(ProgramState& state, const std::string& field) {
  rangeWarning(state, *state.main, field, "应能整除", "125");
}

// The spacing itself is the checked radio button; the first segment follows it.
void setSpacing(ProgramState& state, const char* stop, int rx, int tx) {
  ui::Form& form = *state.main;
  form.setText("Channel1StopNum", stop);
  form.setText("RxFreq", std::to_string(rx));
  form.setText("TxFreq", std::to_string(tx));
  state.values.baseRxFreq = rx;
  state.values.baseTxFreq = tx;
  ChannelStopNumExit(state, 1);
}

}  // namespace

void plainNumberExit(ProgramState& state, const ui::Control& sender) {
  ui::Form& form = *state.main;
  const auto value = filledNumber(form, sender.name, "0");
  // The three code lengths hold at most 15; more is cut back without a word.
  if (isCodeLength(sender.name) && value > 15) form.setText(sender.name, "15");
}

void ChannelSpace1Click(ProgramState& state) {
  setSpacing(state, "560", 3580125, 3480125);
}
void ChannelSpace2Click(ProgramState& state) {
  setSpacing(state, "160", 3610250, 3510250);
}

void ChannelNumExit(ProgramState& state) {
  ui::Form& form = *state.main;
  const auto value = filledNumber(form, "ChannelNum", "0");
  if (value == 0) rangeWarning(state, form, "ChannelNum", "最小值为", "1");
  form.setText("CurrentChannelNum", ui::decimal(value));
}

void ChannelStopNumExit(ProgramState& state, int segment) {
  ui::Form& form = *state.main;
  const Segment& s = kSegments.at(static_cast<std::size_t>(segment - 1));
  const auto stop = filledNumber(form, s.stop, s.emptyStop);
  if (stop < numberIn(form, s.start)) warn(state, s.stop, "终止信道号应大于起始信道号", "警告");
  if (stop > 1024) warn(state, s.stop, "最大值为1024!", "警告");
  const auto stop1 = numberIn(form, "Channel1StopNum");
  const auto stop2 = numberIn(form, "Channel2StopNum");
  const auto stop3 = numberIn(form, "Channel3StopNum");
  state.values.highestChannel = static_cast<int>(std::max({stop1, stop2, stop3}));
}

void baseFrequencyExit(ProgramState& state, const ui::Control& sender) {
  ui::Form& form = *state.main;
  const auto value = filledNumber(form, sender.name, "0");
  if (value % 125 != 0) notMultipleOf125(state, sender.name);
  (sender.name == "RxFreq" ? state.values.baseRxFreq : state.values.baseTxFreq) =
      static_cast<int>(value);
  // Above 800 whole MHz the radio works with a 45 MHz duplex spacing.
  state.values.duplexSpacing = value / 10000 > 800 ? 450000 : 100000;
}

void secondaryFrequencyExit(ProgramState& state, const ui::Control& sender) {
  const auto value = filledNumber(*state.main, sender.name, "0");
  if (value % 125 != 0) notMultipleOf125(state, sender.name);
}

void SearchWayChange(ProgramState& state) {
  ui::Form& form = *state.main;
  const bool range = form.text("SearchWay") != kAllChannels;
  state.values.rangeSearch = range ? SearchMode::Range : SearchMode::AllChannels;
  for (const char* field : {"ControlStart", "ControlStop"})
    setFieldEnabled(form, field, "", range, ui::colors::InputLight);
}

void ControlStartExit(ProgramState& state) {
  ui::Form& form = *state.main;
  const auto start = filledNumber(form, "ControlStart", "0");
  if (start != numberIn(form, "ControlStop") && start > state.values.highestChannel)
    warn(state, "ControlStart", "指定搜索范围超出全信道范围!");
}

void ControlStopExit(ProgramState& state) {
  ui::Form& form = *state.main;
  const auto stop = filledNumber(form, "ControlStop", "0");
  if (stop < numberIn(form, "ControlStart")) warn(state, "ControlStop", "指定范围有误!");
  if (stop > state.values.highestChannel) warn(state, "ControlStop", "搜索范围超出全信道范围!");
}

void controlChannelExit(ProgramState& state, const ui::Control& sender) {
  ui::Form& form = *state.main;
  const auto value = filledNumber(form, sender.name, "0");
  const auto& v = state.values;
  if (v.rangeSearch == SearchMode::AllChannels && value > v.highestChannel)
    warn(state, sender.name, "控制信道超出全信道搜索范围!");
  const auto start = numberIn(form, "ControlStart");
  const auto stop = numberIn(form, "ControlStop");
  if (start != stop && v.rangeSearch == SearchMode::Range && (value < start || value > stop))
    warn(state, sender.name, "控制信道超出指定搜索范围!");
}

void bindChannelPlanRules(ProgramState& state) {
  ui::Form& form = *state.main;
  const auto onExit = [&](const std::string& control, auto rule, auto... bound) {
    bindRule(state, form, control, ui::Event::Exit, rule, bound...);
    bindDigitFilter(form, control);
  };
  onExit("Channel2StartNum", plainNumberExit);
  onExit("Channel3StartNum", plainNumberExit);
  for (int k = 1; k <= 8; ++k) onExit("SimplexChannel" + std::to_string(k), plainNumberExit);
  for (const char* f : kSystemCodes) onExit(f, plainNumberExit);
  for (const char* f : kCodeLengths) onExit(f, plainNumberExit);
  for (int k = 1; k <= 12; ++k) {
    onExit("ZoneData" + std::to_string(k), plainNumberExit);
    onExit("AreaData" + std::to_string(k), plainNumberExit);
  }

  onExit("ChannelNum", ChannelNumExit);
  for (int n = 1; n <= 3; ++n)
    onExit(kSegments[static_cast<std::size_t>(n - 1)].stop, ChannelStopNumExit, n);
  onExit("RxFreq", baseFrequencyExit);
  onExit("TxFreq", baseFrequencyExit);
  for (const char* f : kSecondaryFrequencies) onExit(f, secondaryFrequencyExit);
  onExit("ControlStart", ControlStartExit);
  onExit("ControlStop", ControlStopExit);
  for (int k = 1; k <= 50; ++k) onExit("ControlChannel" + std::to_string(k), controlChannelExit);

  bindRule(state, form, "ChannelSpace1", ui::Event::Click, ChannelSpace1Click);
  bindRule(state, form, "ChannelSpace2", ui::Event::Click, ChannelSpace2Click);
  bindRule(state, form, "SearchWay", ui::Event::Change, SearchWayChange);
  bindDigitFilter(form, "SearchWay");

  form.on("SysLabel", ui::Event::Click,
          [&state](ui::Control&) { state.dialogs.showModal(*state.sysLableform); });
  form.on("Advance", ui::Event::Click,
          [&state](ui::Control&) { state.dialogs.showModal(*state.simplexSet); });
}

}  // namespace rcp::rules
