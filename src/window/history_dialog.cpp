#include "window/history_dialog.hpp"

#include <algorithm>
#include <array>
#include <exception>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "fleet/fleet_run.hpp"
#include "history/history_database.hpp"
#include "link/ini_document.hpp"
#include "link/path_text.hpp"
#include "program/data_file_opening.hpp"
#include "program/input_blocked.hpp"
#include "program/printable_text.hpp"
#include "program/unsaved_changes.hpp"
#include "review/diff_text.hpp"
#include "safety/history_import.hpp"
#include "ui/layout.hpp"
#include "window/frame.hpp"
#include "window/transfer_commands.hpp"

namespace rcp::app {

namespace {

using history::Event;
using settings::ProgramState;

constexpr const char* kGrid = "HistoryEvents";
constexpr const char* kAny = "不限";
constexpr const char* kTitle = "历史记录";
constexpr const char* kWindowSide = "窗口中的配置";
constexpr const char* kDateForm = "请写成 2026-12-09 或 2026-12-09 14:30。";

// The dialog's buttons on the keyboard, Alt with the letter (Enter is "查询", Esc "关闭").
constexpr std::array<std::pair<char32_t, const char*>, 6> kAccelerators = {{
    {'Q', "HistoryQuery"},
    {'T', "HistoryTimeline"},
    {'O', "HistoryOpen"},
    {'C', "HistoryCompareButton"},
    {'W', "HistoryRestore"},
    {'X', "HistoryClose"},
}};

// What the dialog lists now, and whether the backups kept before there was a history have been
// taken in this run.
struct HistoryView {
  std::vector<Event> listed;  // the table's rows, newest first, without their configuration
  bool imported = false;
};

ui::Message historyMessage(std::string text, ui::MessageIcon icon = ui::MessageIcon::Warning) {
  return {std::move(text), kTitle, icon};
}

std::string orDash(const std::string& text) {
  return text.empty() ? "-" : printableText(text);
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void hint(ui::Form& form, std::string text) {
  form.setCaption("HistoryHint", std::move(text));
}

// The filters as the listing asks them; nothing when one is not understood (`problem` says why).
std::optional<history::Filter> filterOf(const ui::Form& form, std::string& problem) {
  history::Filter filter;
  filter.number = trimmed(form.text("HistoryNumber"));
  if (const std::string model = trimmed(form.text("HistoryModel")); model != kAny)
    filter.model = model;
  if (const std::string result = trimmed(form.text("HistoryResult"));
      !result.empty() && result != kAny) {
    filter.result = history::resultNamed(result);
    if (!filter.result) {
      problem = "没有“" + result + "”这种结果：请从列表中选择。";
      return std::nullopt;
    }
  }
  const auto date = [&](const char* control, const char* caption, bool endOfDay,
                        std::optional<std::int64_t>& into) {
    const std::string text = trimmed(form.text(control));
    if (text.empty()) return true;
    into = history::parseLocalTime(text, endOfDay);
    if (!into) problem = std::string("“") + caption + "”的日期“" + text + "”无法识别：" + kDateForm;
    return into.has_value();
  };
  if (!date("HistorySince", "从", false, filter.since) ||
      !date("HistoryUntil", "到", true, filter.until))
    return std::nullopt;
  filter.limit = kHistoryRowsShown + 1;  // one more tells that there are more
  return filter;
}

// The history opened for one listing or look-up; nothing when it cannot be (`note` says why).
// The first opening of a run takes in the backups kept before there was a history.
std::unique_ptr<history::HistoryDatabase> openDatabase(const ProgramState& state, HistoryView& view,
                                                       std::string& note) {
  if (state.history.empty()) {
    note = "没有设置历史记录文件，无法显示历史记录。";
    return nullptr;
  }
  try {
    auto database = std::make_unique<history::HistoryDatabase>(state.history);
    if (database->movedAside())
      note = "历史记录文件已损坏，已移到 " + link::textOf(*database->movedAside()) +
             "，并新建了历史记录。";
    if (!view.imported && !state.backups.empty()) {
      view.imported = true;
      const ImportCount count = importBackups(*database, state.backups);
      if (count.imported)
        note += (note.empty() ? "" : "\n") + std::string("已将 ") + std::to_string(count.imported) +
                " 个备份文件导入历史记录。";
    }
    return database;
  } catch (const std::exception& e) {
    note = e.what();
    return nullptr;
  }
}

void showButtons(ui::Form& form) {
  const std::size_t selected = ui::selectedRows(form.at(kGrid)).size();
  form.setEnabled("HistoryTimeline", selected == 1);
  form.setEnabled("HistoryOpen", selected == 1);
  form.setEnabled("HistoryRestore", selected == 1);
  form.setEnabled("HistoryCompareButton", selected >= 1);
}

// Lists the events the filters ask for; `heading` leads the count ("个人号 … 的时间线：").
void listEvents(ProgramState& state, HistoryView& view, const std::string& heading = {}) {
  ui::Form& form = *state.historyDialog;
  std::string problem;
  const auto filter = filterOf(form, problem);
  if (!filter) {
    hint(form, problem);
    return;
  }
  view.listed.clear();
  std::string note;
  bool listed = false;
  if (const auto database = openDatabase(state, view, note)) {
    try {
      view.listed = database->list(*filter);
      listed = true;
    } catch (const std::exception& e) {
      note = e.what();
    }
  }
  const bool more = view.listed.size() > kHistoryRowsShown;
  if (more) view.listed.resize(kHistoryRowsShown);
  std::vector<std::string> rows;
  rows.reserve(view.listed.size());
  for (const Event& event : view.listed) rows.push_back(historyRow(event));
  form.setItems(kGrid, std::move(rows));
  showButtons(form);
  std::string text = note;
  if (listed) {
    text += (text.empty() ? "" : "\n") + heading + "共 " + std::to_string(view.listed.size()) +
            " 条记录" +
            (more ? "，只显示最新的 " + std::to_string(kHistoryRowsShown) + " 条，请用筛选缩小范围"
                  : "") +
            "。";
  }
  hint(form, std::move(text));
}

// The events of the selected rows, in the order of the table.
std::vector<Event> selectedEvents(const ui::Form& form, const HistoryView& view) {
  std::vector<std::size_t> rows = ui::selectedRows(form.at(kGrid));
  std::sort(rows.begin(), rows.end());
  std::vector<Event> events;
  for (const std::size_t row : rows)
    if (row < view.listed.size()) events.push_back(view.listed[row]);
  return events;
}

// The event with its configuration; nothing (said in a box) when it cannot be had or keeps none.
std::optional<Event> configurationOf(ProgramState& state, HistoryView& view, const Event& listed) {
  std::string note;
  const auto database = openDatabase(state, view, note);
  if (!database) {
    state.dialogs.message(historyMessage(note));
    return std::nullopt;
  }
  std::optional<Event> event;
  try {
    event = database->event(listed.id);
  } catch (const std::exception& e) {
    state.dialogs.message(historyMessage(e.what()));
    return std::nullopt;
  }
  if (!event) {
    state.dialogs.message(
        historyMessage("历史记录中没有编号 " + std::to_string(listed.id) + " 的记录。"));
    return std::nullopt;
  }
  if (event->dataFile.empty()) {
    state.dialogs.message(historyMessage(history::entryName(*event) + "没有保存配置（结果：" +
                                             std::string(history::naming(event->result).word) +
                                             "）。",
                                         ui::MessageIcon::Information));
    return std::nullopt;
  }
  return event;
}

// "电台时间线" (a double-click on a row too): every event of the row's radio, the other filters
// cleared.
void TimelineClick(ProgramState& state, HistoryView& view) {
  ui::Form& form = *state.historyDialog;
  const std::vector<Event> chosen = selectedEvents(form, view);
  if (chosen.size() != 1) return;
  const Event& event = chosen.front();
  const std::string number = event.numberAfter.empty() ? event.numberBefore : event.numberAfter;
  if (number.empty()) {
    hint(form, "这条记录没有个人号，无法显示电台时间线。");
    return;
  }
  form.setText("HistoryNumber", number);
  form.setText("HistoryModel", kAny);
  form.setText("HistoryResult", kAny);
  form.setText("HistorySince", "");
  form.setText("HistoryUntil", "");
  listEvents(state, view, "个人号 " + number + " 的时间线：");
}

// "比较": two events (the older as A), or one event (A) and the window's configuration (B).
void CompareClick(ProgramState& state, HistoryView& view) {
  ui::Form& form = *state.historyDialog;
  const std::vector<Event> chosen = selectedEvents(form, view);
  if (chosen.empty()) return;
  // The table is newest first: the second row chosen is the older one.
  const Event& older = chosen.back();
  const auto a = configurationOf(state, view, older);
  if (!a) return;
  const OpenedConfiguration first = openConfiguration(a->dataFile);
  if (first.error) {
    state.dialogs.message(historyMessage(history::entryName(*a) + "：" + first.error->message));
    return;
  }
  const ComparedSide sideA{history::entryName(*a)};
  ComparedSide sideB{kWindowSide};
  KeptValues valuesB;
  if (chosen.size() == 2) {
    const auto b = configurationOf(state, view, chosen.front());
    if (!b) return;
    OpenedConfiguration second = openConfiguration(b->dataFile);
    if (second.error) {
      state.dialogs.message(historyMessage(history::entryName(*b) + "：" + second.error->message));
      return;
    }
    sideB.name = history::entryName(*b);
    valuesB = std::move(second.values);
  } else {
    // What is being typed counts as entered, as it would for a save.
    state.main->finishEditing();
    valuesB = savedValues(state);
  }
  const ComparisonText text =
      comparisonText(compareValues(first.values, valuesB, first.program->state()), sideA, sideB);
  std::string shown;
  for (const std::string& line : text.lines) shown += (shown.empty() ? "" : "\n") + line;
  if (text.lines.empty()) {
    shown = "两边的配置相同（A：" + sideA.name + "，B：" + sideB.name + "）。";
    hint(form, "两边的配置相同。");
  } else {
    hint(form, "共 " + std::to_string(text.differing) + " 项不同，见下方的比较结果。");
  }
  form.setText("HistoryCompare", std::move(shown));
}

// "打开": the event's configuration into the window as "打开文件" opens a file, after the
// question about unsaved changes; the dialogs over the window close first.
void OpenClick(ProgramState& state, HistoryView& view) {
  const std::vector<Event> chosen = selectedEvents(*state.historyDialog, view);
  if (chosen.size() != 1) return;
  const auto event = configurationOf(state, view, chosen.front());
  if (!event || !mayExit(state)) return;
  state.historyDialog->close();
  if (state.comSet->isShowing()) state.comSet->close();
  state.showStatus(settings::StatusPanel::State, "打开已有数据");
  openChosenDocument(state, link::IniDocument(event->dataFile));
}

// Only the restore's own write carries the memory its read found; the window's next write is an
// ordinary one again, however this one ends.
class RestoringOnce {
 public:
  explicit RestoringOnce(TransferMemory& memory) : memory_(memory) {}
  ~RestoringOnce() { memory_.restoring.reset(); }
  RestoringOnce(const RestoringOnce&) = delete;
  RestoringOnce& operator=(const RestoringOnce&) = delete;

 private:
  TransferMemory& memory_;
};

// "写回电台": asked first; the event's configuration opened into the window as "打开" does, then
// written by the window's write with its safety, progress and boxes. A read's event carries the
// memory its read found, so the radio ends as that read found it (a restore in the history).
void RestoreClick(ProgramState& state, HistoryView& view, TransferMemory& memory) {
  const std::vector<Event> chosen = selectedEvents(*state.historyDialog, view);
  if (chosen.size() != 1) return;
  const auto event = configurationOf(state, view, chosen.front());
  if (!event) return;
  ui::Message question =
      historyMessage("是否将" + history::entryName(*event) +
                     "写回电台？\n电台中的数据将改为这条记录的配置（个人号 " +
                     orDash(event->numberAfter) + "），窗口中也将打开这条记录。");
  question.buttons = ui::MessageButtons::YesNo;
  if (state.dialogs.message(question) != ui::MessageResult::Yes || !mayExit(state)) return;
  const link::IniDocument document(event->dataFile);
  state.showStatus(settings::StatusPanel::State, "打开已有数据");
  if (!openChosenDocument(state, document)) return;
  {
    const RestoringOnce once(memory);
    takeBackupRead(state, memory, document);
    const InputBlocked blocked(state.screen);
    const WriteReport report =
        WriteDataClick(state, memory, storedWriteSafety(state.comIni), RestoreOffer::Ask);
    if (report.outcome == image::TransferOutcome::Done) markRecordKept(state);
  }
  listEvents(state, view);
}

void HistoryFormShow(ProgramState& state, HistoryView& view) {
  ui::Form& form = *state.historyDialog;
  if (form.at("HistoryModel").items.size() <= 1) {
    std::vector<std::string> models = knownModels();
    models.insert(models.begin(), kAny);
    form.setItems("HistoryModel", std::move(models));
    std::vector<std::string> results = {kAny};
    for (const history::Result result : history::kAllResults)
      results.emplace_back(history::naming(result).word);
    form.setItems("HistoryResult", std::move(results));
  }
  form.setText("HistoryCompare", "");
  listEvents(state, view);
}

}  // namespace

std::string historyRow(const Event& event) {
  return ui::gridRow({"#" + std::to_string(event.id), event.time,
                      std::string(history::naming(event.operation).word), orDash(event.model),
                      printableText(history::numberText(event)),
                      std::string(history::naming(event.result).word), orDash(event.device),
                      orDash(event.user)});
}

void bindHistoryForm(ProgramState& state, std::shared_ptr<TransferMemory> memory) {
  ui::Form& form = *state.historyDialog;
  auto view = std::make_shared<HistoryView>();
  const auto onClick = [&form](const char* button, std::function<void()> action) {
    form.on(button, ui::Event::Click, [action = std::move(action)](ui::Control&) { action(); });
  };
  form.onShown([&state, view] { HistoryFormShow(state, *view); });
  onClick("HistoryQuery", [&state, view] { listEvents(state, *view); });
  for (const char* combo : {"HistoryModel", "HistoryResult"})
    form.on(combo, ui::Event::Change, [&state, view](ui::Control&) { listEvents(state, *view); });
  form.on(kGrid, ui::Event::Change, [&form](ui::Control&) { showButtons(form); });
  form.on(kGrid, ui::Event::DblClick,
          [&state, view](ui::Control&) { TimelineClick(state, *view); });
  onClick("HistoryTimeline", [&state, view] { TimelineClick(state, *view); });
  onClick("HistoryOpen", [&state, view] { OpenClick(state, *view); });
  onClick("HistoryCompareButton", [&state, view] { CompareClick(state, *view); });
  onClick("HistoryRestore", [&state, view, memory] { RestoreClick(state, *view, *memory); });
  onClick("HistoryClose", [&form] { form.close(); });
  form.onKeyDown([&form](char32_t key, bool alt) {
    if (!alt) return;
    for (const auto& [letter, button] : kAccelerators)
      if (key == letter) form.userClick(button);
  });
}

}  // namespace rcp::app
