#include "rules/other_groups_dialog.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <tuple>

#include "rules/electronic_code.hpp"
#include "rules/field_rules.hpp"
#include "rules/numbering.hpp"
#include "settings/data_file_values.hpp"
#include "ui/number_text.hpp"

namespace rcp::rules {

namespace {

using settings::ProgramState;

constexpr std::size_t kGroups = std::tuple_size_v<decltype(settings::WorkingValues::otherGroups)>;
constexpr std::array<const char*, 2> kWaitingPages = {"WaitGrpPage1", "WaitGrpPage2"};
constexpr const char* kHiddenPage = "HideGrpPage";
constexpr const char* kMoreGroups = "MoreGrpEnable";
constexpr int kCpsxLength = 8;
constexpr int kMpt1343Length = 10;

std::string groupField(std::size_t index) {
  return "OtherGrp" + std::to_string(index + 1);
}

bool isCpsx(const ProgramState& state) {
  return state.values.diallingScheme == settings::DiallingScheme::Cpsx;
}

void offerWaitingGroups(ui::Form& form, bool offered) {
  for (const char* page : kWaitingPages) {
    // A page that is no longer offered cannot stay the open one.
    if (!offered && form.activePage("OtherGrpPages") == page) form.setActivePage(kHiddenPage);
    form.setVisible(page, offered);
  }
  form.setEnabled(kMoreGroups, offered);
  form.setChecked(kMoreGroups, offered);
}

}  // namespace

void OtherGrpSetFormShow(ProgramState& state) {
  ui::Form& form = *state.otherGrpSet;
  offerWaitingGroups(form, state.values.moreGrpDisp);
  const int length = isCpsx(state) ? kCpsxLength : kMpt1343Length;
  for (std::size_t i = 0; i < kGroups; ++i) {
    const std::uint32_t group = state.values.otherGroups[i];
    form.setText(groupField(i), group == 0 ? "" : ui::decimal(group));
    form.setMaxLength(groupField(i), length);
  }
}

void otherGroupExit(ProgramState& state, const ui::Control& sender) {
  if (sender.text.empty()) return;
  if (const auto problem = numberShapeProblem(sender.text, isCpsx(state)))
    warn(state, *state.otherGrpSet, sender.name, *problem);
}

void BitBtn1Click(ProgramState& state) {
  ui::Form& form = *state.otherGrpSet;
  // A field holds its number in its leading digits, read as a data file reads a group number:
  // empty is 0, a number beyond 32 bits wraps.
  for (std::size_t i = 0; i < kGroups; ++i)
    state.values.otherGroups[i] = settings::readLenientU32(form.text(groupField(i)));
  state.values.moreGrpDisp = form.checked(kMoreGroups);
  form.close();
}

void BitBtn2Click(ProgramState& state) {
  state.otherGrpSet->close();
}

std::string otherGroupFieldOfBox(std::string_view box) {
  constexpr std::size_t kHidden = 8;
  for (std::size_t i = 0; i < kGroups; ++i)
    if (box == groupField(i))
      return i < kHidden ? "HideGroup" + std::to_string(i + 1)
                         : "WaitGroup" + std::to_string(i + 1 - kHidden);
  return {};
}

void bindOtherGroupsDialog(ProgramState& state) {
  ui::Form& form = *state.otherGrpSet;
  form.onShown([&state] { OtherGrpSetFormShow(state); });
  for (std::size_t i = 0; i < kGroups; ++i) {
    bindRule(state, form, groupField(i), ui::Event::Exit, otherGroupExit);
    bindDigitFilter(form, groupField(i));
  }
  bindRule(state, form, "BitBtn1", ui::Event::Click, BitBtn1Click);
  bindRule(state, form, "BitBtn2", ui::Event::Click, BitBtn2Click);
  bindElectronicCode(state);
}

}  // namespace rcp::rules
