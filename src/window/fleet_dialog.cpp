#include "window/fleet_dialog.hpp"

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "fleet/fleet_run.hpp"
#include "link/com_ini.hpp"
#include "link/identification.hpp"
#include "link/path_text.hpp"
#include "program/input_blocked.hpp"
#include "program/offline_program.hpp"
#include "program/opening_port.hpp"
#include "program/program.hpp"
#include "ui/layout.hpp"
#include "window/file_commands.hpp"

namespace rcp::app {

namespace {

using settings::ProgramState;

constexpr const char* kGrid = "FleetRadios";
constexpr const char* kWaiting = "等待";
constexpr const char* kDoneBefore = "已写（日志）";
constexpr const char* kHeldUnverified = "已写，未通过校验（日志）";
constexpr const char* kNothingSent = "批量写频没有开始，未向电台发送任何数据。";
const ui::Message kNoLogQuestion{
    "没有指定日志文件：日志记下已写的电台，没有它，重新运行时无法跳过已写的电台。\n"
    "是否不记日志开始批量写频？",
    "批量写频", ui::MessageIcon::Warning, ui::MessageButtons::YesNo};
// A message box lists this many problems, then how many more there are.
constexpr std::size_t kProblemsShown = 15;

// What the user may change before a run; none of it while one runs.
constexpr std::array kSettings = {"TemplateFile", "TemplateBrowse", "ByRange",    "FirstNumber",
                                  "LastNumber",   "ByTable",        "TableFile",  "TableBrowse",
                                  "FleetBackup",  "FleetVerify",    "SkipFailed", "FleetModel",
                                  "LogFile",      "LogBrowse",      "FleetStart", "FleetClose"};
// The model choice that limits nothing.
constexpr const char* kAnyModel = "不限";

struct FleetDialogState {
  bool running = false;
  bool stopAsked = false;
  std::filesystem::path offeredLog;  // the log last offered beside a template
};

ui::Message fleetMessage(std::string text, ui::MessageIcon icon = ui::MessageIcon::Warning) {
  return {std::move(text), "批量写频", icon};
}

std::string countsText(std::size_t written, std::size_t failed, std::size_t left) {
  return "已写 " + std::to_string(written) + " 台，失败 " + std::to_string(failed) + " 次，剩余 " +
         std::to_string(left) + " 台";
}

// What a radio's transfer is doing, as its row says it.
std::string stepText(WriteStep step) {
  if (step == WriteStep::Backup) return "备份中";
  if (step == WriteStep::Verify) return "校验中";
  return "写录中";
}

// The run as the dialog shows it: one row a radio of the plan, the counts and a hint line.
class FleetWindow final : public FleetEvents {
 public:
  FleetWindow(ProgramState& state, FleetDialogState& run, std::vector<std::size_t> rowOf,
              bool skipFailed)
      : state_(state),
        form_(*state.fleet),
        run_(run),
        rowOf_(std::move(rowOf)),
        skipFailed_(skipFailed) {
    showCounts();
  }

  void waiting(std::size_t member) override {
    setCell(member, 1, kWaiting);
    hint("等待电台应答（个人号 " + numberOf(member) + "）...");
  }
  void writing(std::size_t member) override {
    setCell(member, 1, stepText(WriteStep::Write));
    hint("正在写录个人号 " + numberOf(member) + " 的电台，请勿取下电台。");
  }
  void progress(std::size_t member, WriteStep step, int percent) override {
    setCell(member, 1, stepText(step) + " " + std::to_string(percent) + "%");
  }
  void finished(std::size_t member, const FleetLogRow& row) override {
    ++(isGood(row.result) ? written_ : failed_);
    std::vector<std::string> items = form_.at(kGrid).items;
    std::vector<std::string> cells = ui::gridCells(items[rowOf_[member]]);
    cells.resize(3);
    cells[1] = resultText(row.result);
    cells[2] = row.identity;  // it names the model too
    items[rowOf_[member]] = ui::gridRow(cells);
    form_.setItems(kGrid, std::move(items));
    showCounts();
  }
  void connectNext() override { hint("请取下这台电台，连接下一台。"); }
  void alreadyWritten(const std::string& number) override { hint(alreadyWrittenText(number)); }
  void wrongModel(const std::string& answered, const std::string& wanted) override {
    hint(wrongModelText(answered, wanted));
  }
  UnverifiedChoice unverified(std::size_t, const FleetLogRow& row) override {
    return unverifiedChoice(state_.dialogs.message(unverifiedQuestion(row)));
  }
  bool stopRequested() override {
    state_.screen.processInput();
    return run_.stopAsked;
  }

  void ended(const FleetSummary& summary) {
    hint(std::string(summary.stopped ? "批量写频已中断：" : "批量写频结束：") +
         countsText(summary.written, summary.failed, summary.left) + "。");
  }

 private:
  std::string numberOf(std::size_t member) const {
    return ui::gridCells(form_.at(kGrid).items[rowOf_[member]]).front();
  }
  void setCell(std::size_t member, std::size_t column, const std::string& text) {
    std::vector<std::string> items = form_.at(kGrid).items;
    std::vector<std::string> cells = ui::gridCells(items[rowOf_[member]]);
    cells.resize(3);
    if (cells[column] == text) return;
    cells[column] = text;
    items[rowOf_[member]] = ui::gridRow(cells);
    form_.setItems(kGrid, std::move(items));
    state_.screen.repaint(form_);
  }
  void hint(std::string text) {
    form_.setCaption("FleetHint", std::move(text));
    state_.screen.repaint(form_);
  }
  void showCounts() {
    const std::size_t settled = written_ + (skipFailed_ ? failed_ : 0);
    form_.setCaption("FleetCounts", countsText(written_, failed_, rowOf_.size() - settled));
    state_.screen.repaint(form_);
  }

  ProgramState& state_;
  ui::Form& form_;
  FleetDialogState& run_;
  std::vector<std::size_t> rowOf_;  // the table's row of each member still to write
  bool skipFailed_;
  std::size_t written_ = 0;
  std::size_t failed_ = 0;
};

// The dialog's settings locked (and 停止 offered) for as long as a run goes, however it ends.
class RunLock {
 public:
  RunLock(ui::Form& form, FleetDialogState& run) : form_(form), run_(run) { set(true); }
  ~RunLock() { set(false); }
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

 private:
  void set(bool running) {
    run_.running = running;
    run_.stopAsked = false;
    for (const char* name : kSettings) form_.setEnabled(name, !running);
    form_.setEnabled("FleetStop", running);
  }
  ui::Form& form_;
  FleetDialogState& run_;
};

void FleetFormShow(ProgramState& state) {
  std::vector<std::string> models = knownModels();
  models.insert(models.begin(), kAnyModel);
  const std::string chosen = state.fleet->text("FleetModel");
  state.fleet->setItems("FleetModel", std::move(models));
  state.fleet->setText("FleetModel", chosen.empty() ? kAnyModel : chosen);
  const WriteSafetyChoice stored = storedWriteSafety(state.comIni);
  state.fleet->setChecked("FleetBackup", stored.backupBefore);
  state.fleet->setChecked("FleetVerify", stored.verifyAfter);
}

// Lists what stops the run, a screenful at most.
void showProblems(ProgramState& state, const std::vector<FleetProblem>& problems) {
  std::string text;
  for (std::size_t i = 0; i < problems.size() && i < kProblemsShown; ++i)
    text += problems[i].text + "\n";
  if (problems.size() > kProblemsShown)
    text += "……另有 " + std::to_string(problems.size() - kProblemsShown) + " 条。\n";
  state.dialogs.message(fleetMessage(text + kMembersFaultyText));
}

std::optional<std::vector<FleetMember>> plannedMembers(ProgramState& state) {
  const ui::Form& form = *state.fleet;
  FleetPlanError error;
  const auto members =
      form.checked("ByTable")
          ? membersInTable(link::pathOf(form.text("TableFile")), error)
          : numbersInRange(form.text("FirstNumber") + "-" + form.text("LastNumber"), error);
  if (!members) state.dialogs.message(fleetMessage(error.message + "\n" + kNothingSent));
  return members;
}

// The line the radios come on: the window's port, opened on its device when it is not open.
bool portReady(ProgramState& state) {
  if (state.port.isOpen()) return true;
  const std::string device = link::portDevice(state.comIni, state.portName);
  if (state.port.open(device)) return true;
  reportPortBusy(state, device);
  return false;
}

// The model the run is limited to: empty for any, the model table's spelling of the one chosen or
// typed; nothing (said in a box) for a model no radio answers as.
std::optional<std::string> chosenModel(ProgramState& state) {
  const std::string text = state.fleet->text("FleetModel");
  if (text.empty() || text == kAnyModel) return std::string();
  if (auto model = knownModel(text)) return model;
  state.dialogs.message(fleetMessage(unknownModelText(text) + "\n" + kNothingSent));
  return std::nullopt;
}

void FleetStartClick(ProgramState& state, FleetDialogState& run) {
  if (run.running) return;
  ui::Form& form = *state.fleet;
  const auto model = chosenModel(state);
  if (!model) return;
  const std::filesystem::path templ = link::pathOf(form.text("TemplateFile"));
  if (templ.empty()) {
    state.dialogs.message(fleetMessage("请先选择模板文件。"));
    return;
  }
  FleetPlanError error;
  const auto document = templateDocument(templ, error);
  if (!document) {
    state.dialogs.message(fleetMessage(error.message + "\n" + kNothingSent));
    return;
  }
  const auto members = plannedMembers(state);
  if (!members) return;
  if (const auto problems = checkFleet(*document, *members); !problems.empty()) {
    showProblems(state, problems);
    return;
  }
  const std::filesystem::path log = link::pathOf(form.text("LogFile"));
  if (log.empty() && state.dialogs.message(kNoLogQuestion) != ui::MessageResult::Yes) return;
  if (!log.empty()) {
    // The log is the run's record of the radios written: without it a rerun writes them again.
    if (const auto refusal = logRefusal(log)) {
      state.dialogs.message(fleetMessage(*refusal + "\n" + kNothingSent));
      return;
    }
  }
  const FleetLogReading reading = log.empty() ? FleetLogReading{} : readFleetLog(log);
  std::vector<std::string> rows;
  std::vector<FleetMember> left;
  std::vector<std::size_t> rowOf;
  std::set<std::string> heldHere;
  for (const FleetMember& member : *members) {
    const bool written = reading.done.contains(member.number);
    const bool held = reading.heldUnverified.contains(member.number);
    rows.push_back(ui::gridRow({member.number,
                                written ? kDoneBefore
                                : held  ? kHeldUnverified
                                        : kWaiting,
                                ""}));
    if (held) heldHere.insert(member.number);
    if (written || held) continue;
    rowOf.push_back(rows.size() - 1);
    left.push_back(member);
  }
  form.setItems(kGrid, std::move(rows));
  std::string notes;
  if (!reading.skippedLines.empty()) notes += skippedRowsText(log, reading.skippedLines);
  if (!heldHere.empty()) notes += (notes.empty() ? "" : "\n") + heldUnverifiedText(heldHere);
  if (!notes.empty()) state.dialogs.message(fleetMessage(notes, ui::MessageIcon::Information));
  if (left.empty()) {
    state.dialogs.message(
        fleetMessage("日志中全部电台均已写录，没有要写的电台。", ui::MessageIcon::Information));
    return;
  }
  if (!portReady(state)) return;
  FleetSettings settings{{form.checked("FleetBackup"), form.checked("FleetVerify")},
                         form.checked("SkipFailed"),
                         log,
                         link::portDevice(state.comIni, state.portName),
                         state.comIni,
                         state.backups,
                         state.history,
                         *model,
                         form.checked("ByTable")
                             ? form.text("TableFile")
                             : members->front().number + "-" + members->back().number};
  settings.options = fleetOptionsText(settings);
  // Each radio's program is out of sight: its progress shows in the radio's row.
  HiddenScreen hidden;
  FleetWindow window(state, run, std::move(rowOf), settings.skipFailed);
  const RunLock lock(form, run);
  const InputBlocked blocked(state.screen);
  const FleetSummary summary =
      runFleet({state.port, state.clock, state.dialogs, hidden}, *document, left, settings, window);
  window.ended(summary);
}

// The log beside the template, offered whenever the template changes, chosen or typed. A log
// the user chose stays; the one offered follows the template.
void offerLog(ui::Form& form, FleetDialogState& run) {
  const std::filesystem::path templ = link::pathOf(form.text("TemplateFile"));
  if (!form.text("LogFile").empty() && form.text("LogFile") != link::textOf(run.offeredLog)) return;
  run.offeredLog = templ.empty() ? std::filesystem::path() : defaultFleetLog(templ);
  form.setText("LogFile", link::textOf(run.offeredLog));
}

void TemplateBrowseClick(ProgramState& state, FleetDialogState& run) {
  const auto chosen = state.dialogs.openFile(dataFileRequest(""));
  if (!chosen) return;
  state.fleet->setText("TemplateFile", *chosen);
  offerLog(*state.fleet, run);
}

ui::FileDialogRequest tableRequest(std::string initialName) {
  ui::FileDialogRequest request = dataFileRequest(std::move(initialName));
  request.filter = "表格文件（*.csv）|*.csv";
  request.defaultExtension = "csv";
  return request;
}

void TableBrowseClick(ProgramState& state) {
  if (const auto chosen = state.dialogs.openFile(tableRequest(""))) {
    state.fleet->setText("TableFile", *chosen);
    state.fleet->setChecked("ByTable", true);
  }
}

void LogBrowseClick(ProgramState& state) {
  const std::filesystem::path now = link::pathOf(state.fleet->text("LogFile"));
  if (const auto chosen = state.dialogs.saveFile(tableRequest(link::textOf(now.filename()))))
    state.fleet->setText("LogFile", *chosen);
}

}  // namespace

std::filesystem::path defaultFleetLog(const std::filesystem::path& templ) {
  std::filesystem::path log = templ;
  log.replace_filename(link::pathOf(link::textOf(templ.stem()) + "-fleet.csv"));
  return log;
}

void bindFleetForm(ProgramState& state) {
  ui::Form& form = *state.fleet;
  auto run = std::make_shared<FleetDialogState>();
  form.onShown([&state] { FleetFormShow(state); });
  form.on("FleetStart", ui::Event::Click,
          [&state, run](ui::Control&) { FleetStartClick(state, *run); });
  form.on("FleetStop", ui::Event::Click, [run](ui::Control&) { run->stopAsked = true; });
  form.on("FleetClose", ui::Event::Click, [&form, run](ui::Control&) {
    if (!run->running) form.close();
  });
  // The close box during a run asks it to stop instead; the dialog closes once it has.
  form.onCloseQuery([run] {
    if (run->running) run->stopAsked = true;
    return !run->running;
  });
  form.on("TemplateFile", ui::Event::Change, [&form, run](ui::Control&) { offerLog(form, *run); });
  form.on("TemplateBrowse", ui::Event::Click,
          [&state, run](ui::Control&) { TemplateBrowseClick(state, *run); });
  form.on("TableBrowse", ui::Event::Click, [&state](ui::Control&) { TableBrowseClick(state); });
  form.on("LogBrowse", ui::Event::Click, [&state](ui::Control&) { LogBrowseClick(state); });
}

}  // namespace rcp::app
