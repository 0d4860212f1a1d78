#include "fleet/fleet_run.hpp"

#include <algorithm>
#include <cctype>
#include <ctime>

#include "image/read_image.hpp"
#include "link/greeting.hpp"
#include "link/identification.hpp"
#include "link/path_text.hpp"
#include "link/user_folders.hpp"
#include "program/data_file_opening.hpp"
#include "program/offline_program.hpp"
#include "program/program.hpp"
#include "review/config_check.hpp"
#include "safety/history_record.hpp"
#include "settings/data_file.hpp"
#include "settings/record.hpp"
#include "version.hpp"

namespace rcp::app {

namespace {

using image::TransferOutcome;

// The quiet after a short read before the write greets the radio.
constexpr int kShortReadSettleMs = 300;

// The member's record opened as "打开文件" opens a data file, straight from its text: no file is
// written for it.
std::optional<settings::DataFileError> openMember(settings::ProgramState& state,
                                                  const link::IniDocument& document) {
  return openDocumentAndCheck(state, link::IniDocument(document.fileBytes()));
}

bool radioAnswers(const FleetLine& line, link::RadioIdentity& identity) {
  line.port.purgeBoth();
  return link::greet(line.port, line.clock, link::GreetingPurpose::StartUp, identity).radioAnswered;
}

// Waits for the state asked (a radio answering, or none); false when the run is to stop first.
bool waitFor(const FleetLine& line, bool present, int firstPauseMs, int everyMs,
             link::RadioIdentity& identity, FleetEvents& events) {
  line.clock.pause(firstPauseMs);
  while (!events.stopRequested()) {
    const std::int64_t start = line.clock.nowMs();
    if (radioAnswers(line, identity) == present) return true;
    const std::int64_t took = line.clock.nowMs() - start;
    if (took < everyMs) line.clock.pause(static_cast<int>(everyMs - took));
  }
  return false;
}

std::string localTime(std::time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

FleetResult resultOf(const WriteReport& report) {
  if (report.outcome != TransferOutcome::Done) return FleetResult::Failed;
  switch (report.check) {
    case WriteReport::Check::Passed:
      return FleetResult::Verified;
    case WriteReport::Check::Mismatch:
      return FleetResult::Mismatch;
    case WriteReport::Check::Unanswered:
      return FleetResult::Unverified;
    case WriteReport::Check::NotAsked:
      break;
  }
  return FleetResult::Written;
}

// Every step of the program's progress dialog (the backup, the write, the read-back) passed on,
// named by `step`, which outlives the program.
void followProgress(settings::ProgramState& state, std::size_t member, const WriteStep& step,
                    FleetEvents& events) {
  state.writeData->addObserver(
      [member, &step, &events](const ui::Control* control, ui::Property what) {
        if (control && control->name == "WriteProgressBar" && what == ui::Property::Value)
          events.progress(member, step, control->value);
      });
}

// The individual number the radio holds, from the bulk block its read greeting brings (the short
// read of a radio written without a backup's read); empty when the block does not come whole.
std::string numberHeld(settings::ProgramState& state) {
  OfflineProgram reader(state);
  settings::ProgramState& read = reader.state();
  if (!link::greet(read.port, read.clock, link::GreetingPurpose::Read, read.radioIdentity)
           .radioAnswered)
    return {};
  std::string bulk(image::kBulkAnswerChars, '\0');
  const std::size_t got =
      read.port.read(std::span(reinterpret_cast<std::uint8_t*>(bulk.data()), bulk.size()));
  read.clock.pause(kShortReadSettleMs);
  try {
    if (got != bulk.size() || !image::decodeBulk(read, bulk)) return {};
  } catch (const std::exception&) {
    return {};
  }
  return settings::Record(read).text(kNumberKey);
}

// One radio written by a program of its own on the fleet's line, started without greeting (the
// radio has just answered the poll). The radio is read first: one that holds a number this run
// wrote is left as it is (`heldNumber` says which).
// `recorded` gets the radio's event for the history, its result left to the run.
WriteReport writeMember(const FleetLine& line, const link::IniDocument& document,
                        const FleetSettings& settings, const link::RadioIdentity& identity,
                        std::size_t member, const std::set<std::string>& writtenThisRun,
                        std::string& heldNumber, FleetEvents& events, std::int64_t run,
                        history::Event& recorded) {
  WriteStep step = WriteStep::Write;  // before the program, whose dialog tells it
  Services services{line.port, line.clock, line.dialogs, line.screen, settings.comIni};
  services.backups = settings.backups;
  services.history = settings.history;
  services.device = settings.portLabel;
  services.offline = true;
  Program program(std::move(services));
  program.start();
  settings::ProgramState& state = program.state();
  state.radioIdentity = identity;
  state.fleetRun = run;
  recorded = historyEvent(state, history::Operation::FleetRadio, history::Result::Failed,
                          std::time(nullptr));
  recorded.dataFile = document.fileBytes();
  recorded.numberAfter = document.value(kDataSection, kNumberKey, "");
  followProgress(state, member, step, events);
  if (const auto opened = openMember(state, document)) {
    line.dialogs.message(dataFileMessage(*opened));
    return {TransferOutcome::Failed, false};
  }
  settings::openStartUpTexts(state, document);
  const BeforeWrite notWrittenYet = [&](settings::ProgramState& read) {
    const std::string held = settings::Record(read).text(kNumberKey);
    if (!writtenThisRun.contains(held)) return true;
    heldNumber = held;
    return false;
  };
  // Without a backup's read, the short read of the bulk block tells the number.
  if (!settings.safety.backupBefore && !writtenThisRun.empty()) {
    const std::string held = numberHeld(state);
    if (writtenThisRun.contains(held)) {
      heldNumber = held;
      return {TransferOutcome::Done, false};
    }
  }
  TransferMemory memory;
  try {
    WriteReport report =
        safeWrite(state, memory, settings.safety, RestoreOffer::PrintPath, std::time(nullptr),
                  notWrittenYet, [&step](WriteStep next) { step = next; });
    recorded.image = report.sent;
    recorded.numberBefore = report.numberBefore;
    recorded.note = "";
    for (const std::string& line : report.mismatches) recorded.note += line + "\n";
    return report;
  } catch (const std::exception& e) {
    line.dialogs.message(errorBox(e.what()));
    return {TransferOutcome::Failed, false};
  }
}

// A radio's result in the log as the history tells it.
history::Result historyResult(FleetResult result) {
  switch (result) {
    case FleetResult::Written:
      return history::Result::Done;
    case FleetResult::Verified:
      return history::Result::Verified;
    case FleetResult::Failed:
      return history::Result::Failed;
    case FleetResult::Mismatch:
    case FleetResult::Kept:
      return history::Result::VerifyFailed;
    case FleetResult::Unverified:
      return history::Result::VerifyNotRun;
  }
  return history::Result::Failed;
}

// The run itself, recorded before its first radio; 0 when there is no history.
std::int64_t recordRun(const FleetLine& line, const link::IniDocument& templ,
                       const FleetSettings& settings) {
  history::FleetRun run;
  run.unixTime = std::time(nullptr);
  run.time = history::localTimeText(run.unixTime);
  run.user = link::loginName();
  run.device = settings.portLabel;
  run.version = std::string(kVersion);
  run.templateText = templ.fileBytes();
  run.members = settings.members;
  run.options = settings.options;
  return recordFleetRun(settings.history, line.dialogs, std::move(run));
}

}  // namespace

std::string wrongModelText(const std::string& answered, const std::string& wanted) {
  return "这台电台是 " + answered + "，不是 " + wanted + "，没有写入。请取下它，连接一台 " +
         wanted + "。";
}

bool sameModel(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string fleetOptionsText(const FleetSettings& settings) {
  std::string text;
  const auto add = [&text](bool on, const std::string& option) {
    if (on) text += (text.empty() ? "" : " ") + option;
  };
  add(settings.safety.backupBefore, "--backup");
  add(settings.safety.verifyAfter, "--verify");
  add(settings.skipFailed, "--skip-failed");
  add(!settings.model.empty(), "--model " + settings.model);
  add(!settings.log.empty(), "--log " + link::textOf(settings.log));
  return text;
}

std::vector<std::string> knownModels() {
  std::vector<std::string> models;
  for (const link::ModelRow& row : link::modelRows())
    if (std::find(models.begin(), models.end(), row.model) == models.end())
      models.emplace_back(row.model);
  return models;
}

std::optional<std::string> knownModel(const std::string& asked) {
  for (const std::string& model : knownModels())
    if (sameModel(model, asked)) return model;
  return std::nullopt;
}

std::string unknownModelText(const std::string& asked) {
  std::string names;
  for (const std::string& model : knownModels()) names += (names.empty() ? "" : "、") + model;
  return "没有型号“" + asked + "”：可用的型号有 " + names + "。";
}

bool modelWanted(const link::RadioIdentity& identity, const std::string& wanted) {
  return wanted.empty() || sameModel(link::matchModel(identity).model, wanted);
}

std::vector<FleetProblem> checkFleet(const link::IniDocument& templ,
                                     const std::vector<FleetMember>& members,
                                     const std::function<void(std::size_t)>& checked) {
  std::vector<FleetProblem> problems;
  for (std::size_t i = 0; i < members.size(); ++i) {
    const link::IniDocument document = memberDocument(templ, members[i]);
    const DataFileCheck check = checkDocument(link::IniDocument(document.fileBytes()));
    const std::string who = memberName(members[i]);
    if (check.openError && check.openError->kind == settings::DataFileError::Kind::NotANumber)
      problems.push_back({i, who + check.openError->key + "：'" +
                                 document.value(kDataSection, check.openError->key, "") +
                                 "' 不是数字"});
    else if (check.openError)
      problems.push_back({i, who + check.openError->message});
    for (const CheckWarning& w : check.warnings)
      problems.push_back({i, who + w.path + " “" + w.value + "”：" + w.text});
    if (checked) checked(i + 1);
  }
  return problems;
}

std::vector<FleetMember> membersLeft(const std::vector<FleetMember>& members,
                                     const std::filesystem::path& log) {
  const FleetLogReading reading = log.empty() ? FleetLogReading{} : readFleetLog(log);
  std::vector<FleetMember> left;
  for (const FleetMember& member : members)
    if (!reading.done.contains(member.number) && !reading.heldUnverified.contains(member.number))
      left.push_back(member);
  return left;
}

ui::Message unverifiedQuestion(const FleetLogRow& row) {
  return {"这台电台已写为 " + row.number + "，但" + resultText(row.result) +
              "。这个号码不会再给别的电台，请选择：",
          "批量写频",
          ui::MessageIcon::Warning,
          ui::MessageButtons::YesNoCancel,
          false,
          "是：重新写这台电台；否：保留这台电台，继续下一台；取消：停止批量写频。"};
}

UnverifiedChoice unverifiedChoice(ui::MessageResult answer) {
  switch (answer) {
    case ui::MessageResult::Yes:
      return UnverifiedChoice::WriteAgain;
    case ui::MessageResult::No:
      return UnverifiedChoice::KeepAndGoOn;
    default:
      return UnverifiedChoice::Stop;
  }
}

std::string alreadyWrittenText(const std::string& number) {
  return "这台电台已写为 " + number + "，请连接下一台。";
}

FleetSummary runFleet(const FleetLine& line, const link::IniDocument& templ,
                      const std::vector<FleetMember>& members, const FleetSettings& settings,
                      FleetEvents& events) {
  FleetSummary summary;
  std::size_t next = 0;
  link::RadioIdentity identity{};
  // The numbers whose write completed this run: each is in a radio, verified or not.
  std::set<std::string> writtenThisRun;
  bool sameRadioAgain = false;  // the technician asked for the radio on the line to be rewritten
  const std::int64_t run = recordRun(line, templ, settings);
  while (next < members.size()) {
    events.waiting(next);
    if (!sameRadioAgain && !waitFor(line, true, 0, kPollMs, identity, events)) {
      summary.stopped = true;
      break;
    }
    // A radio of another model is refused before anything is written into it.
    if (!modelWanted(identity, settings.model)) {
      events.wrongModel(std::string(link::matchModel(identity).model), settings.model);
      if (events.stopRequested() || !waitFor(line, false, kLetGoMs, kPollMs, identity, events)) {
        summary.stopped = true;
        break;
      }
      continue;
    }
    events.writing(next);
    const std::int64_t start = line.clock.nowMs();
    std::string heldNumber;
    std::set<std::string> others = writtenThisRun;
    if (sameRadioAgain) others.erase(members[next].number);
    sameRadioAgain = false;
    history::Event recorded;
    const WriteReport report =
        writeMember(line, memberDocument(templ, members[next]), settings, identity, next, others,
                    heldNumber, events, run, recorded);
    if (!heldNumber.empty()) {
      events.alreadyWritten(heldNumber);
      if (events.stopRequested() || !waitFor(line, false, kLetGoMs, kPollMs, identity, events)) {
        summary.stopped = true;
        break;
      }
      continue;
    }
    bool logged = true;
    {
      FleetLogRow row{localTime(std::time(nullptr)),
                      settings.portLabel,
                      link::identityText(identity),
                      std::string(link::matchModel(identity).model),
                      members[next].number,
                      resultOf(report),
                      static_cast<double>(line.clock.nowMs() - start) / 1000.0};
      const bool completed = report.started && report.outcome == TransferOutcome::Done;
      if (completed) writtenThisRun.insert(members[next].number);
      UnverifiedChoice choice = UnverifiedChoice::KeepAndGoOn;
      if (completed && !isGood(row.result)) {
        choice = events.unverified(next, row);
        if (choice == UnverifiedChoice::KeepAndGoOn) row.result = FleetResult::Kept;
      }
      const bool good = isGood(row.result);
      recorded.result = historyResult(row.result);
      if (row.result == FleetResult::Kept) recorded.note = resultText(row.result);
      recordEvent(settings.history, line.dialogs, std::move(recorded));
      logged = settings.log.empty() || appendLogRow(settings.log, row);
      if (!logged)
        line.dialogs.message(
            errorBox("无法写入日志 " + link::textOf(settings.log) +
                     "，批量写频已停止：日志是已写电台的记录，没有它重新运行会重写电台。"));
      events.finished(next, row);
      ++(good ? summary.written : summary.failed);
      if (good || (!completed && settings.skipFailed)) ++next;
      if (completed && choice == UnverifiedChoice::Stop) {
        summary.stopped = true;
        break;
      }
      if (logged && choice == UnverifiedChoice::WriteAgain && !events.stopRequested()) {
        sameRadioAgain = true;
        continue;
      }
    }
    if (!logged || next >= members.size() || events.stopRequested()) {
      summary.stopped = next < members.size();
      break;
    }
    events.connectNext();
    if (!waitFor(line, false, kLetGoMs, kPollMs, identity, events)) {
      summary.stopped = true;
      break;
    }
  }
  summary.left = members.size() - next;
  return summary;
}

}  // namespace rcp::app
