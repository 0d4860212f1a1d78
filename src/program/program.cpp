#include "program/program.hpp"

#include <exception>

#include "program/opening_port.hpp"
#include "program/unsaved_changes.hpp"
#include "rules/call_options.hpp"
#include "rules/channel_plan.hpp"
#include "rules/field_rules.hpp"
#include "rules/menu_presets.hpp"
#include "rules/numbering.hpp"
#include "rules/other_groups_dialog.hpp"
#include "rules/simplex_dialog.hpp"
#include "rules/system_labels_dialog.hpp"
#include "settings/field_captions.hpp"
#include "settings/field_starts.hpp"
#include "testmode/password.hpp"
#include "testmode/test_state.hpp"
#include "testmode/test_tab.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::app {

namespace {

using settings::ProgramState;

void showErrorBox(ProgramState& state, const std::string& message) {
  state.dialogs.message(errorBox(message));
}

// Creates a window: errors escaping its handlers go to the standard error box and the program
// goes on; the front end builds its view.
std::unique_ptr<ui::Form> createWindow(ProgramState& state, ui::FormSpec windowLayout) {
  auto form = std::make_unique<ui::Form>(std::move(windowLayout));
  form->setErrorSink([&state](const std::string& message) { showErrorBox(state, message); });
  state.screen.formCreated(*form);
  return form;
}

// The main window's showing: its first one starts with every menu option enabled, and a page
// shown other than the test tab and the About page leaves the test state (the first page does
// as the window first shows). The window's commands are bound over the started program.
void bindShowing(ProgramState& state) {
  ui::Form& form = *state.main;
  for (const char* page : {"NormalSet", "UserInfo", "Appendix"})
    form.on(page, ui::Event::Shown, [&state](ui::Control&) { testmode::leaveTestStep(state); });
  form.onShown([&form] { form.fire("All_OK", ui::Event::Click); });
}

void bindMainWindow(ProgramState& state) {
  bindShowing(state);
  rules::bindMenuPresets(state);
  rules::bindChannelPlanRules(state);
  rules::bindCallOptionRules(state);
  rules::bindNumberingRules(state);
  testmode::bindTestTab(state);
  ui::Form& form = *state.main;
  form.on("OtherGrpButt", ui::Event::Click,
          [&state](ui::Control&) { state.dialogs.showModal(*state.otherGrpSet); });
}

// The main window's creation event; an error raised in it is shown like any other.
void mainWindowCreated(ProgramState& state) {
  try {
    openPortAtStartUp(state);
  } catch (const std::exception& e) {
    showErrorBox(state, e.what());
  }
}

}  // namespace

Program::Program(Services services)
    : state_(std::make_unique<ProgramState>(services.port, services.clock, services.dialogs,
                                            services.screen)),
      offline_(services.offline) {
  state_->comIni = services.comIni;
  state_->system = services.system;
  state_->device = std::move(services.device);
  state_->backups = std::move(services.backups);
  state_->history = std::move(services.history);
}

Program::~Program() = default;

ui::Form& Program::mainForm() {
  return *state_->main;
}
ProgramState& Program::state() {
  return *state_;
}

void Program::start() {
  ProgramState& s = *state_;
  s.screen.setApplicationTitle(kApplicationTitle);

  s.main = createWindow(s, settings::withFieldStarts(ui::layouts::mainForm()));
  bindMainWindow(s);
  settings::nameFieldBoxes(s);
  if (!offline_) mainWindowCreated(s);
  // The main window is laid out as visible, so it shows as soon as it is created: its first tab
  // leaves the test state and the window applies the full menu preset.
  s.main->show();

  s.password = createWindow(s, ui::layouts::passwordForm());
  testmode::bindPasswordDialog(s);
  s.error1 = createWindow(s, ui::layouts::error1Form());
  rules::bindRangeWarningDialog(s);
  s.comSet = createWindow(s, ui::layouts::comSetForm());
  s.writeData = createWindow(s, ui::layouts::writeDataForm());
  s.version = createWindow(s, ui::layouts::versionForm());
  s.simplexSet = createWindow(s, ui::layouts::simplexSet());
  rules::bindSimplexDialog(s);
  s.otherGrpSet = createWindow(s, ui::layouts::otherGrpSet());
  rules::bindOtherGroupsDialog(s);
  s.sysLableform = createWindow(s, ui::layouts::sysLableform());
  rules::bindSystemLabelsDialog(s);
  s.fleet = createWindow(s, ui::layouts::fleetForm());
  s.historyDialog = createWindow(s, ui::layouts::historyForm());
  settings::nameDialogBoxes(s, *s.simplexSet, rules::simplexFieldOfBox);
  settings::nameDialogBoxes(s, *s.otherGrpSet, rules::otherGroupFieldOfBox);
  settings::nameDialogBoxes(s, *s.sysLableform, rules::systemLabelFieldOfBox);
  // The record as the program starts with it (whatever the start-up greeting set) is no unsaved
  // change.
  markRecordKept(s);
}

}  // namespace rcp::app
