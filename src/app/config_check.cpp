#include "app/config_check.hpp"

#include <algorithm>
#include <functional>
#include <memory>
#include <string_view>

#include "app/file_commands.hpp"
#include "rules/other_groups_dialog.hpp"
#include "rules/simplex_dialog.hpp"
#include "rules/system_labels_dialog.hpp"
#include "settings/field_captions.hpp"
#include "settings/field_table.hpp"

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

class Check {
 public:
  explicit Check(OfflineProgram& offline) : offline_(offline), state_(offline.state()) {}

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
  check.mainWindow();
  check.dialogs();
  return std::move(check.warnings);
}

DataFileCheck checkDataFile(const std::filesystem::path& file) {
  OfflineProgram offline;
  DataFileCheck result;
  result.openError = openDataFileAndCheck(offline.state(), file);
  if (!result.openError) result.warnings = checkRecord(offline);
  return result;
}

}  // namespace rcp::app
