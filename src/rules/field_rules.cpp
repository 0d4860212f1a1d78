#include "rules/field_rules.hpp"

#include "ui/number_text.hpp"

namespace rcp::rules {

void digitFilter(char32_t& key) {
  if ((key < '0' || key > '9') && key != kBackspace) key = 0;
}

void bindDigitFilter(ui::Form& form, std::string_view control) {
  form.onKey(control, [](ui::Control&, char32_t& key) { digitFilter(key); });
}

void bindDigitFilter(ui::Form& form, std::initializer_list<std::string_view> controls) {
  for (auto c : controls) bindDigitFilter(form, c);
}

void bindRule(settings::ProgramState& state, ui::Form& form, std::string_view control,
              ui::Event event, StateRule rule) {
  form.on(control, event, [&state, rule](ui::Control&) { rule(state); });
}

void bindRule(settings::ProgramState& state, ui::Form& form, std::string_view control,
              ui::Event event, SenderRule rule) {
  form.on(control, event, [&state, rule](ui::Control& sender) { rule(state, sender); });
}

void bindRule(settings::ProgramState& state, ui::Form& form, std::string_view control,
              ui::Event event, NumberedRule rule, int number) {
  form.on(control, event, [&state, rule, number](ui::Control&) { rule(state, number); });
}

void fillIfEmpty(ui::Form& form, std::string_view control, std::string_view defaultText) {
  if (form.text(control).empty()) form.setText(control, std::string(defaultText));
}

std::int64_t numberIn(const ui::Form& form, std::string_view control) {
  return ui::toInt64(form.text(control));
}

void warn(settings::ProgramState& state, std::string_view field, std::string text,
          std::string caption) {
  warn(state, *state.main, field, std::move(text), std::move(caption));
}

void warn(settings::ProgramState& state, ui::Form& form, std::string_view field, std::string text,
          std::string caption) {
  state.dialogs.message({std::move(text), std::move(caption), ui::MessageIcon::Error});
  form.setFocus(field);
}

void rangeWarning(settings::ProgramState& state, ui::Form& form, std::string_view field,
                  std::string rule, std::string bound) {
  ui::Form& dialog = *state.error1;
  dialog.setCaption("WarnLab1", std::move(rule));
  dialog.setCaption("WarnLab2", std::move(bound));
  state.dialogs.showModal(dialog);
  form.setFocus(field);
}

void bindRangeWarningDialog(settings::ProgramState& state) {
  ui::Form& dialog = *state.error1;
  dialog.on("Error1_Ok", ui::Event::Click, [&dialog](ui::Control&) { dialog.close(); });
}

void setFieldEnabled(ui::Form& form, std::string_view field, std::string_view label, bool enabled,
                     ui::Color enabledColor) {
  form.setEnabled(field, enabled);
  form.setColor(field, enabled ? enabledColor : ui::colors::ButtonFace);
  if (!label.empty()) form.setFontColor(label, enabled ? ui::colors::Navy : ui::colors::Grey);
}

}  // namespace rcp::rules
