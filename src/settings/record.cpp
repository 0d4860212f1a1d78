#include "settings/record.hpp"

#include <stdexcept>

namespace rcp::settings {

const FieldDef& Record::def(std::string_view field) const {
  const FieldDef* f = findField(field);
  if (!f) throw std::out_of_range("no settings field " + std::string(field));
  return *f;
}

FieldValue Record::get(std::string_view field) {
  const FieldDef& f = def(field);
  ui::Form& form = *state_.main;
  switch (f.kind) {
    case FieldKind::Digits:
    case FieldKind::Text:
    case FieldKind::Choice:
      return form.text(f.control);
    case FieldKind::Number:
      return std::int64_t{form.readSpin(f.control)};
    case FieldKind::Level:
      return std::int64_t{form.value(f.control)};
    case FieldKind::Switch:
      return form.checked(f.control);
    case FieldKind::InvertedSwitch:
      return !form.checked(f.control);
    case FieldKind::RadioChoice:
      for (const auto& option : f.options)
        if (form.checked(option.control)) return option.value;
      return f.options.back().value;  // none checked: reads as the last choice
    case FieldKind::Integer:
    case FieldKind::U32:
      return f.read(state_);
  }
  throw std::logic_error("unknown field kind");
}

void Record::set(std::string_view field, const FieldValue& value) {
  const FieldDef& f = def(field);
  ui::Form& form = *state_.main;
  switch (f.kind) {
    case FieldKind::Digits:
    case FieldKind::Text:
    case FieldKind::Choice:
      form.setText(f.control, std::get<std::string>(value));
      return;
    case FieldKind::Number:
    case FieldKind::Level:
      form.setValue(f.control, static_cast<int>(std::get<std::int64_t>(value)));
      return;
    case FieldKind::Switch:
      form.setChecked(f.control, std::get<bool>(value));
      return;
    case FieldKind::InvertedSwitch:
      form.setChecked(f.control, !std::get<bool>(value));
      return;
    case FieldKind::RadioChoice:
      for (const auto& option : f.options) {
        if (option.value == value) {
          form.setChecked(option.control, true);
          return;
        }
      }
      throw std::invalid_argument("no choice of " + f.name + " matches the value");
    case FieldKind::Integer:
    case FieldKind::U32:
      f.write(state_, value);
      return;
  }
}

std::string Record::text(std::string_view field) { return std::get<std::string>(get(field)); }
std::int64_t Record::number(std::string_view field) { return std::get<std::int64_t>(get(field)); }
bool Record::flag(std::string_view field) { return std::get<bool>(get(field)); }

std::string shownValue(const FieldValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
  return std::get<bool>(value) ? "是" : "否";
}

int channelStep(ProgramState& state) {
  Record record(state);
  return record.flag("Version") ? static_cast<int>(record.number("ChannelSpace")) : 125;
}

}  // namespace rcp::settings
