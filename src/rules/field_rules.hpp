#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "settings/program_state.hpp"

// Small pieces every editing rule shares: the key filters, the empty-field step, the number a
// field holds, and the two ways a rule warns (both put the focus back on the field).
namespace rcp::rules {

inline constexpr char32_t kBackspace = 8;

// Only "0" to "9" and Backspace reach the field.
void digitFilter(char32_t& key);
// Binds the digit filter to each of the controls of the main window.
void bindDigitFilter(ui::Form& form, std::initializer_list<std::string_view> controls);
void bindDigitFilter(ui::Form& form, std::string_view control);

// Binds a rule to a control's event on the given form; the rule gets the program state (and the
// control the event came from, for rules shared by several fields).
using StateRule = void (*)(settings::ProgramState&);
using SenderRule = void (*)(settings::ProgramState&, const ui::Control&);
void bindRule(settings::ProgramState& state, ui::Form& form, std::string_view control,
              ui::Event event, StateRule rule);
void bindRule(settings::ProgramState& state, ui::Form& form, std::string_view control,
              ui::Event event, SenderRule rule);
// A rule shared by numbered fields gets the field's number bound to it.
using NumberedRule = void (*)(settings::ProgramState&, int);
void bindRule(settings::ProgramState& state, ui::Form& form, std::string_view control,
              ui::Event event, NumberedRule rule, int number);

// The empty-field step: an empty text becomes the default first.
void fillIfEmpty(ui::Form& form, std::string_view control, std::string_view defaultText);
// The field's text as a decimal number (raises the conversion error when it is not one).
std::int64_t numberIn(const ui::Form& form, std::string_view control);

// A message box with an error icon, then the focus back on the field of the main window.
void warn(settings::ProgramState& state, std::string_view field, std::string text,
          std::string caption = "系统信息");
// The same for a field of another window.
void warn(settings::ProgramState& state, ui::Form& form, std::string_view field, std::string text,
          std::string caption = "系统信息");
// The range-warning dialog with a rule text and a bound, then the focus back on the field.
void rangeWarning(settings::ProgramState& state, ui::Form& form, std::string_view field,
                  std::string rule, std::string bound);

// The range-warning dialog's own button closes it.
void bindRangeWarningDialog(settings::ProgramState& state);

// Colours of an input field and its caption label by enabled state.
void setFieldEnabled(ui::Form& form, std::string_view field, std::string_view label, bool enabled,
                     ui::Color enabledColor);

}  // namespace rcp::rules
