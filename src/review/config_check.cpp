#include "review/config_check.hpp"

#include <algorithm>
#include <functional>
#include <memory>
#include <string_view>

#include "transfer/transfer_outcome.hpp"
#include "program/data_file_opening.hpp"
#include "rules/other_groups_dialog.hpp"
#include "rules/simplex_dialog.hpp"
#include "rules/system_labels_dialog.hpp"
#include "safety/write_round_trip.hpp"
#include "settings/field_captions.hpp"
#include "settings/field_table.hpp"
#include "settings/fleet_levels.hpp"
#include "settings/record.hpp"

namespace rcp::app {

namespace {

using settings::ProgramState;

// The settings field a box shows, or empty for a box that shows none.
using FieldOfBox = std::function<std::string(std::string_view box)>;

std::string mainWindowField(std::string_view box) {
  const settings::FieldDef* field = settings::fieldOfControl(box);
  return field ? field->name : std::string();
}

// The dialogs, in the order the check visits them, with the main window's button that opens each.
struct DialogToCheck {
  std::unique_ptr<ui::Form> ProgramState::*form;
  const char* button;
  std::string (*fieldOf)(std::string_view box);
};
constexpr DialogToCheck kDialogs[] = {
    {&ProgramState::simplexSet, "Advance", rules::simplexFieldOfBox},
    {&ProgramState::otherGrpSet, "OtherGrpButt", rules::otherGroupFieldOfBox},
    {&ProgramState::sysLableform, "SysLabel", rules::systemLabelFieldOfBox},
};

// Whether the user can put the focus into the control: it and everything around it are shown
// and enabled (a tab page is shown while its tab is offered).
bool reachable(const ui::Form& form, std::string_view name) {
  for (const ui::Control* c = &form.at(name);; c = &form.at(c->parent)) {
    if (!c->visible || !c->enabled) return false;
    if (c->parent.empty()) return true;
  }
}

constexpr const char* kSetByEarlierRules[] = {"MaxIndivol", "MaxFleet"};

class Check {
 public:
  explicit Check(OfflineProgram& offline) : offline_(offline), state_(offline.state()) {}

  // Fields that a rule of an earlier field sets (leaving the own number puts the fleet limits
  // of its form into MaxIndivol and MaxFleet) are left first, while they hold the record's value.
  void fieldsSetByEarlierRules() {
    for (const char* box : kSetByEarlierRules) leave(*state_.main, box, mainWindowField);
  }

  void mainWindow() {
    ui::Form& main = *state_.main;
    for (const ui::Control& page : main.controls()) {
      if (page.kind != ui::ControlKind::TabPage) continue;
      for (const ui::Control& box : main.controls())
        if (main.pageOf(box.name) == &page) leave(main, box.name, mainWindowField);
    }
  }

  // The dialog as its button shows it (its fields filled from the working values), each field
  // left, then cancelled, so nothing is stored back.
  void dialogs() {
    for (const DialogToCheck& d : kDialogs) {
      if (!reachable(*state_.main, d.button)) continue;
      ui::Form& dialog = *(state_.*d.form);
      dialog.show();
      for (const ui::Control& box : dialog.controls()) leave(dialog, box.name, d.fieldOf);
      dialog.close();
    }
  }

  std::vector<CheckWarning> warnings;

 private:
  void leave(ui::Form& form, const std::string& box, const FieldOfBox& fieldOf) {
    const std::string field = fieldOf(box);
    if (field.empty() || !reachable(form, box)) return;
    const std::string value = form.text(box);
    auto& shown = offline_.dialogs().shown;
    const std::size_t before = shown.size();
    form.setFocus(box);
    form.userExit(box);
    if (shown.size() == before) return;
    // A rule that warns puts the focus back on the field it warns of, which need not be the one
    // left: leaving a group number under CPSX checks the own number too.
    std::string offender = fieldOf(form.focused());
    std::string offenderValue = value;
    if (offender.empty() || form.focused() == box)
      offender = field;
    else
      offenderValue = form.text(form.focused());
    for (std::size_t i = before; i < shown.size(); ++i)
      add({offender, settings::fieldPath(state_, offender), offenderValue, shown[i].message.caption,
           shown[i].message.text});
  }

  void add(CheckWarning warning) {
    const bool repeated = std::any_of(warnings.begin(), warnings.end(), [&](const CheckWarning& w) {
      return w.field == warning.field && w.caption == warning.caption && w.text == warning.text;
    });
    if (!repeated) warnings.push_back(std::move(warning));
  }

  OfflineProgram& offline_;
  ProgramState& state_;
};

}  // namespace

std::vector<CheckWarning> checkRecord(OfflineProgram& offline) {
  offline.dialogs().shown.clear();
  Check check(offline);
  check.fieldsSetByEarlierRules();
  check.mainWindow();
  check.dialogs();
  return std::move(check.warnings);
}

std::vector<CheckWarning> writeRoundTripWarnings(settings::ProgramState& state,
                                                 std::vector<CheckWarning>* notes) {
  const RoundTrip trip = checkWriteRoundTrip(state);
  const auto warning = [&](const std::string& field, const std::string& value,
                           const std::string& text) {
    return CheckWarning{field, settings::fieldPath(state, field), value, image::kTransferCaption,
                        text};
  };
  std::vector<CheckWarning> warnings;
  const bool namedAlready =
      trip.encodeError && std::any_of(trip.changed.begin(), trip.changed.end(), [&](const auto& f) {
        return f.field == trip.encodeError->field;
      });
  if (trip.encodeError && !namedAlready) {
    const std::string& field = trip.encodeError->field;
    const bool known = settings::findField(field) != nullptr;
    warnings.push_back(warning(
        field, known ? settings::shownValue(settings::Record(state).get(field)) : std::string(),
        trip.encodeError->message));
  }
  for (const RoundTripFinding& f : trip.changed)
    warnings.push_back(warning(f.field, f.value, f.text));
  if (notes)
    for (const RoundTripFinding& f : trip.notes)
      notes->push_back(warning(f.field, f.value, f.text));
  return warnings;
}

std::optional<CheckWarning> fleetPlanOrderWarning(settings::ProgramState& state) {
  if (state.values.diallingScheme != settings::DiallingScheme::Cpsx) return std::nullopt;
  const settings::FleetBlocks b = settings::fleetBlocks(state.values);
  if (settings::blocksInOrder(b)) return std::nullopt;
  const std::string value =
      std::to_string(b.large) + "/" + std::to_string(b.medium) + "/" + std::to_string(b.small);
  return CheckWarning{"Block", settings::fieldPath(state, "Block"), value, "警告",
                      "队级号段次序有误：一级队 " + std::to_string(b.large) + "、二级队 " +
                          std::to_string(b.medium) + "、三级队 " + std::to_string(b.small) +
                          "，应为 0 ≤ 一级队 ≤ 二级队 ≤ 三级队 ≤ 10（读取时会被改动）。"};
}

namespace {

// The checks of a record the open left in `offline` without an error.
void checkOpened(OfflineProgram& offline, DataFileCheck& result) {
  // On the record as opened: the rules below may change fields as they run.
  std::vector<CheckWarning> trip = writeRoundTripWarnings(offline.state(), &result.notes);
  const auto planOrder = fleetPlanOrderWarning(offline.state());
  result.warnings = checkRecord(offline);
  if (planOrder) result.warnings.push_back(*planOrder);
  result.warnings.insert(result.warnings.end(), trip.begin(), trip.end());
}

}  // namespace

DataFileCheck checkDataFile(const std::filesystem::path& file) {
  OfflineProgram offline;
  DataFileCheck result;
  result.openError = openDataFileAndCheck(offline.state(), file);
  if (!result.openError) checkOpened(offline, result);
  return result;
}

DataFileCheck checkDocument(const link::IniDocument& document) {
  OfflineProgram offline;
  DataFileCheck result;
  result.openError = openDocumentAndCheck(offline.state(), document);
  if (!result.openError) checkOpened(offline, result);
  return result;
}

}  // namespace rcp::app
