#include "rules/call_options.hpp"

#include <string>
#include <utility>

#include "rules/field_rules.hpp"
#include "settings/field_table.hpp"
#include "settings/menu_switch_table.hpp"
#include "ui/counters.hpp"

namespace rcp::rules {

namespace {

using settings::ProgramState;

constexpr const char* kRightsSpinFields[] = {"RingCategory", "Timelimit", "limitlength",
                                             "MaxNumber"};
constexpr const char* kRecallOff = "回叫功能无效";
constexpr const char* kRecallOn = "回叫功能有效";

void systemAlarmFilter(char32_t& key) {
  if (key != '*') digitFilter(key);
}

}  // namespace

void DefaultClick(ProgramState& state) {
  for (const ui::CounterDef& c : ui::kCounters) state.main->setValue(c.name, c.start);
}

void MaxNumberChange(ProgramState& state) {
  ui::Form& form = *state.main;
  const int size = form.value("MaxNumber");
  for (int j = 0; j <= 9; ++j) {
    const std::string field = "Phone_Number" + std::to_string(j);
    const bool kept = j < size;
    if (!kept) form.setText(field, "");
    setFieldEnabled(form, field, "", kept, ui::colors::UserInput);
  }
}

void CallbackClick(ProgramState& state) {
  ui::Form& form = *state.main;
  form.setText("RecallBox", form.checked("Callback") ? kRecallOn : kRecallOff);
}

void RecallBoxChange(ProgramState& state) {
  ui::Form& form = *state.main;
  form.setChecked("Callback", form.text("RecallBox") == kRecallOn);
}

void Label48DblClick(ProgramState& state) {
  for (const char* c : {"Talk", "TalkLab1", "TalkLab2", "TalkIndivol", "TalkGrp"})
    state.main->setVisible(c, true);
}

void Label51DblClick(ProgramState& state) {
  for (const char* c : {"Transcode", "PTTname"}) state.main->setVisible(c, true);
}

void bindCallOptionRules(ProgramState& state) {
  ui::Form& form = *state.main;
  auto on = [&](const char* control, ui::Event event, StateRule rule) {
    bindRule(state, form, control, event, rule);
  };
  on("Default", ui::Event::Click, DefaultClick);
  on("MaxNumber", ui::Event::Change, MaxNumberChange);
  // Retyping the size passes through other numbers ("10", "1", "", "8"); only the one typed in
  // the end may cut the phone book.
  form.changeWhenLeft("MaxNumber");
  on("Callback", ui::Event::Click, CallbackClick);
  on("RecallBox", ui::Event::Change, RecallBoxChange);
  on("Label48", ui::Event::DblClick, Label48DblClick);
  on("Label51", ui::Event::DblClick, Label51DblClick);

  for (const ui::CounterDef& c : ui::kCounters) bindDigitFilter(form, c.name);
  for (const char* field : kRightsSpinFields) bindDigitFilter(form, field);
  for (int j = 0; j <= 9; ++j) bindDigitFilter(form, "Phone_Number" + std::to_string(j));
  bindDigitFilter(form, {"password", "TalkIndivol", "TalkGrp"});
  form.onKey("SysCallNum", [](ui::Control&, char32_t& key) { systemAlarmFilter(key); });
  // The menu companions are chosen from their lists only.
  for (const auto& s : settings::kMenuSwitches)
    if (s.valueControl && !s.valueIsSlider)
      form.onKey(s.valueControl, [](ui::Control&, char32_t& key) { key = 0; });
}

}  // namespace rcp::rules
