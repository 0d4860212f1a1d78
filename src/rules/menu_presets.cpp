#include "rules/menu_presets.hpp"

#include <string_view>

#include "rules/field_rules.hpp"
#include "settings/menu_switch_table.hpp"

namespace rcp::rules {

namespace {

using settings::kMenuSwitches;
using settings::MenuPreset;
using settings::MenuSwitchDef;

// The buttons of the presets, in the order of the presets' values.
constexpr const char* kPresetButtons[] = {"Often_OK", "All_NO", "All_OK"};

const MenuSwitchDef* menuSwitch(std::string_view control) {
  for (const auto& s : kMenuSwitches)
    if (control == s.control) return &s;
  return nullptr;
}

void highlightPreset(ui::Form& form, MenuPreset preset) {
  for (int i = 0; i < 3; ++i)
    form.setFontColor(kPresetButtons[i],
                      i == static_cast<int>(preset) ? ui::colors::Blue : ui::colors::Navy);
}

// Sets every switch (each one that changes state runs its click rule), then marks the preset.
template <typename WantOn>
void applyPreset(settings::ProgramState& state, MenuPreset preset, WantOn wantOn) {
  ui::Form& form = *state.main;
  for (const auto& s : kMenuSwitches) form.setChecked(s.control, wantOn(s));
  highlightPreset(form, preset);
  state.values.menuPreset = preset;
}

}  // namespace

void menuSwitchClick(settings::ProgramState& state, const ui::Control& sender) {
  ui::Form& form = *state.main;
  const MenuSwitchDef* s = menuSwitch(sender.name);
  if (!s) return;
  const bool on = sender.checked;
  form.setFontColor(s->control, on ? ui::colors::Purple : ui::colors::Grey);
  if (s->valueControl) {
    form.setEnabled(s->valueControl, on);
    if (!s->valueIsSlider) {
      form.setFontColor(s->valueControl, on ? ui::colors::Navy : ui::colors::Grey);
      form.setColor(s->valueControl, on ? ui::colors::InputLight : ui::colors::ButtonFace);
    }
  }
  highlightPreset(form, MenuPreset::HandPicked);
  state.values.menuPreset = MenuPreset::HandPicked;
}

void All_OKClick(settings::ProgramState& state) {
  applyPreset(state, MenuPreset::All, [](const MenuSwitchDef&) { return true; });
}

void All_NOClick(settings::ProgramState& state) {
  applyPreset(state, MenuPreset::None, [](const MenuSwitchDef&) { return false; });
}

void Often_OKClick(settings::ProgramState& state) {
  applyPreset(state, MenuPreset::Common, [](const MenuSwitchDef& s) {
    return std::string_view(s.control) == "Volum_Mod" ||
           std::string_view(s.control) == "Normal_Choose";
  });
}

void bindMenuPresets(settings::ProgramState& state) {
  ui::Form& form = *state.main;
  for (const auto& s : kMenuSwitches)
    bindRule(state, form, s.control, ui::Event::Click, menuSwitchClick);
  bindRule(state, form, "All_OK", ui::Event::Click, All_OKClick);
  bindRule(state, form, "All_NO", ui::Event::Click, All_NOClick);
  bindRule(state, form, "Often_OK", ui::Event::Click, Often_OKClick);
}

}  // namespace rcp::rules
