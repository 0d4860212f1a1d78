#include "rules/system_labels_dialog.hpp"

#include <cstdint>
#include <string>
#include <tuple>

#include "rules/field_rules.hpp"
#include "settings/data_file_values.hpp"
#include "ui/number_text.hpp"

namespace rcp::rules {

namespace {

using settings::ProgramState;

constexpr std::size_t kPairs = std::tuple_size_v<decltype(settings::WorkingValues::systemLabels)>;
constexpr std::int64_t kHighestRoute = 255;

// Pair i (from 0) is shown in the fields 2i+1 (route) and 2i+2 (system).
std::string routeField(std::size_t pair) {
  return "SysLabNum" + std::to_string(2 * pair + 1);
}
std::string systemField(std::size_t pair) {
  return "SysLabNum" + std::to_string(2 * pair + 2);
}

}  // namespace

void SysLableformFormShow(ProgramState& state) {
  ui::Form& form = *state.sysLableform;
  for (std::size_t i = 0; i < kPairs; ++i) {
    const settings::SystemLabel& label = state.values.systemLabels[i];
    form.setText(routeField(i), ui::decimal(label.route));
    form.setText(systemField(i), ui::decimal(label.system));
  }
}

void routeNumberExit(ProgramState& state, const ui::Control& sender) {
  ui::Form& form = *state.sysLableform;
  fillIfEmpty(form, sender.name, "0");
  if (numberIn(form, sender.name) > kHighestRoute)
    warn(state, form, sender.name, "无线局向号应小于255!");
}

void systemNumberExit(ProgramState& state, const ui::Control& sender) {
  fillIfEmpty(*state.sysLableform, sender.name, "0");
}

void SysLable_OKClick(ProgramState& state) {
  ui::Form& form = *state.sysLableform;
  // Each field's leading digits, read as a data file reads the list; empty is 0.
  for (std::size_t i = 0; i < kPairs; ++i)
    state.values.systemLabels[i] = {settings::readLenientU32(form.text(routeField(i))),
                                    settings::readLenientU32(form.text(systemField(i)))};
  form.close();
}

void SysLable_CANCELClick(ProgramState& state) {
  state.sysLableform->close();
}

std::string systemLabelFieldOfBox(std::string_view box) {
  for (std::size_t i = 0; i < kPairs; ++i) {
    const std::string entry = std::to_string(i + 1);
    if (box == routeField(i)) return "无线局向号" + entry;
    if (box == systemField(i)) return "对应系统号" + entry;
  }
  return {};
}

void bindSystemLabelsDialog(ProgramState& state) {
  ui::Form& form = *state.sysLableform;
  form.onShown([&state] { SysLableformFormShow(state); });
  for (std::size_t i = 0; i < kPairs; ++i) {
    bindRule(state, form, routeField(i), ui::Event::Exit, routeNumberExit);
    bindRule(state, form, systemField(i), ui::Event::Exit, systemNumberExit);
    bindDigitFilter(form, routeField(i));
    bindDigitFilter(form, systemField(i));
  }
  bindRule(state, form, "SysLable_OK", ui::Event::Click, SysLable_OKClick);
  bindRule(state, form, "SysLable_CANCEL", ui::Event::Click, SysLable_CANCELClick);
}

}  // namespace rcp::rules
