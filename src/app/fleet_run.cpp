#include "app/fleet_run.hpp"

#include <ctime>

#include "app/config_check.hpp"
#include "app/file_commands.hpp"
#include "app/program.hpp"
#include "link/greeting.hpp"
#include "link/identification.hpp"

namespace rcp::app {

namespace {

using image::TransferOutcome;

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

std::string resultOf(const WriteReport& report) {
  if (report.outcome != TransferOutcome::Done) return kResultFailed;
  switch (report.check) {
    case WriteReport::Check::Passed:
      return kResultVerified;
    case WriteReport::Check::Mismatch:
    case WriteReport::Check::Unanswered:
      return kResultMismatch;
    case WriteReport::Check::NotAsked:
      break;
  }
  return kResultWritten;
}

// Every step of the program's progress dialog (the backup, the write, the read-back) passed on.
void followProgress(settings::ProgramState& state, std::size_t member, FleetEvents& events) {
  ui::Form& dialog = *state.writeData;
  dialog.addObserver([&dialog, member, &events](const ui::Control* control, ui::Property what) {
    if (control && control->name == "WriteProgressBar" && what == ui::Property::Value)
      events.progress(member, dialog.at("WriteLabel").caption, control->value);
  });
}

// One radio written by a program of its own on the fleet's line, started without greeting (the
// radio has just answered the poll).
WriteReport writeMember(const FleetLine& line, const link::IniDocument& document,
                        const FleetSettings& settings, const link::RadioIdentity& identity,
                        std::size_t member, FleetEvents& events) {
  Services services{line.port, line.clock, line.dialogs, line.screen, settings.comIni};
  services.backups = settings.backups;
  services.offline = true;
  Program program(std::move(services));
  program.start();
  settings::ProgramState& state = program.state();
  state.radioIdentity = identity;
  followProgress(state, member, events);
  if (const auto opened = openMember(state, document)) {
    line.dialogs.message(dataFileMessage(*opened));
    return {TransferOutcome::Failed, false};
  }
  TransferMemory memory;
  try {
    return safeWrite(state, memory, settings.safety, RestoreOffer::PrintPath, std::time(nullptr));
  } catch (const std::exception& e) {
    line.dialogs.message(errorBox(e.what()));
    return {TransferOutcome::Failed, false};
  }
}

}  // namespace

std::vector<FleetProblem> checkFleet(const link::IniDocument& templ,
                                     const std::vector<FleetMember>& members) {
  std::vector<FleetProblem> problems;
  for (std::size_t i = 0; i < members.size(); ++i) {
    OfflineProgram offline;
    DataFileCheck check;
    check.openError = openMember(offline.state(), memberDocument(templ, members[i]));
    if (!check.openError) check.warnings = checkRecord(offline);
    const std::string who = members[i].number + "：";
    if (check.openError) problems.push_back({i, who + check.openError->message});
    for (const CheckWarning& w : check.warnings)
      problems.push_back({i, who + w.path + " “" + w.value + "”：" + w.text});
  }
  return problems;
}

std::vector<FleetMember> membersLeft(const std::vector<FleetMember>& members,
                                     const std::filesystem::path& log) {
  const std::set<std::string> done = log.empty() ? std::set<std::string>{} : numbersDone(log);
  std::vector<FleetMember> left;
  for (const FleetMember& member : members)
    if (!done.contains(member.number)) left.push_back(member);
  return left;
}

FleetSummary runFleet(const FleetLine& line, const link::IniDocument& templ,
                      const std::vector<FleetMember>& members, const FleetSettings& settings,
                      FleetEvents& events) {
  FleetSummary summary;
  std::size_t next = 0;
  link::RadioIdentity identity{};
  while (next < members.size()) {
    events.waiting(next);
    if (!waitFor(line, true, 0, kPollMs, identity, events)) {
      summary.stopped = true;
      break;
    }
    events.writing(next);
    const std::int64_t start = line.clock.nowMs();
    const WriteReport report =
        writeMember(line, memberDocument(templ, members[next]), settings, identity, next, events);
    FleetLogRow row{localTime(std::time(nullptr)),
                    settings.portLabel,
                    link::identityText(identity),
                    std::string(link::matchModel(identity).model),
                    members[next].number,
                    resultOf(report),
                    static_cast<double>(line.clock.nowMs() - start) / 1000.0};
    const bool good = row.result == kResultWritten || row.result == kResultVerified;
    const bool logged = settings.log.empty() || appendLogRow(settings.log, row);
    if (!logged)
      line.dialogs.message(
          errorBox("无法写入日志 " + settings.log.string() +
                   "，批量写频已停止：日志是已写电台的记录，没有它重新运行会重写电台。"));
    events.finished(next, row);
    ++(good ? summary.written : summary.failed);
    if (good || settings.skipFailed) ++next;
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
