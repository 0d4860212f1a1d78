#include "settings/data_file_rollback.hpp"

#include <exception>

namespace rcp::settings {

namespace {

// Passes over the window until nothing differs; each pass undoes what the rules of the previous
// one changed, which settles within a few.
constexpr int kMaxPasses = 8;

// Runs one setter; a rule it fires may fail, and the property itself is set before any rule runs.
template <typename Set>
void quietly(Set set) {
  try {
    set();
  } catch (const std::exception&) {
  }
}

}  // namespace

OpenRollback::OpenRollback(ProgramState& state)
    : state_(state),
      controls_(state.main->controls().begin(), state.main->controls().end()),
      values_(state.values) {}

bool OpenRollback::putBack(const ui::Control& saved) {
  ui::Form& form = *state_.main;
  const ui::Control& now = form.at(saved.name);
  const std::string& name = saved.name;
  bool differed = false;
  auto when = [&differed](bool differs, auto set) {
    if (!differs) return;
    differed = true;
    quietly(set);
  };
  when(now.min != saved.min || now.max != saved.max,
       [&] { form.setRange(name, saved.min, saved.max); });
  when(now.items != saved.items, [&] { form.setItems(name, saved.items); });
  when(now.maxLength != saved.maxLength, [&] { form.setMaxLength(name, saved.maxLength); });
  // A tab control's text is its active page, which no open changes.
  when(now.kind != ui::ControlKind::TabControl && now.text != saved.text,
       [&] { form.setText(name, saved.text); });
  when(now.value != saved.value, [&] { form.setValue(name, saved.value); });
  // A radio button is put back by checking the one that was checked.
  when(now.checked != saved.checked &&
           (now.kind != ui::ControlKind::RadioButton || saved.checked),
       [&] { form.setChecked(name, saved.checked); });
  when(now.enabled != saved.enabled, [&] { form.setEnabled(name, saved.enabled); });
  when(now.visible != saved.visible, [&] { form.setVisible(name, saved.visible); });
  when(now.color != saved.color, [&] { form.setColor(name, saved.color); });
  when(now.fontColor != saved.fontColor, [&] { form.setFontColor(name, saved.fontColor); });
  when(now.caption != saved.caption, [&] { form.setCaption(name, saved.caption); });
  return differed;
}

void OpenRollback::restore() {
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    bool differed = false;
    for (const ui::Control& saved : controls_) differed = putBack(saved) || differed;
    state_.values = values_;
    if (!differed) return;
  }
}

}  // namespace rcp::settings
