#include "safety/safe_write.hpp"

#include <fstream>
#include <iterator>

#include "link/com_ini.hpp"
#include "link/commands.hpp"
#include "link/greeting.hpp"
#include "link/ini_profile.hpp"
#include "link/path_text.hpp"
#include "program/data_file_opening.hpp"
#include "program/offline_program.hpp"
#include "safety/backup_read.hpp"
#include "safety/history_import.hpp"
#include "safety/history_record.hpp"
#include "safety/verification_report.hpp"
#include "settings/data_file.hpp"
#include "settings/radio_session.hpp"
#include "settings/record.hpp"
#include "testmode/test_channel.hpp"
#include "testmode/test_state.hpp"
#include "transfer/read_transfer.hpp"
#include "transfer/write_transfer.hpp"
#include "transfer/write_verification.hpp"
#include "ui/conversion_error.hpp"

namespace rcp::app {

namespace {

using history::Operation;
using history::Result;
using image::TransferOutcome;
using settings::ProgramState;
using settings::StatusPanel;

constexpr const char* kBackupReadFailed =
    "写前备份失败：读取电台时电台中途停止应答，未开始写录。电台中的数据没有改动，"
    "请检查连线后重新写录。";
constexpr const char* kBackupNotSaved = "写前备份无法保存，未开始写录。电台中的数据没有改动。";
constexpr const char* kPartial = "写录失败！电台中现在可能只有部分配置。";
constexpr const char* kNoBackup =
    "本次运行没有读取过电台，没有可写回的备份。请检查连线和电池后重新写录。";
constexpr const char* kListBackups = "以往读取的备份可用 rcp520-cli backups 列出。";
constexpr const char* kAskRestore = "是否将此备份写回电台？";
constexpr const char* kRestored = "备份已写回电台。";
constexpr const char* kRestoreFailed =
    "写回备份失败！电台中可能只有部分配置。请检查连线和电池后，用“打开文件”打开此备份再写录：";
constexpr const char* kVerifyUnanswered =
    "写后校验未完成：读回时电台没有应答。写录已完成，但未能核对，请重新读取数据核对。";
constexpr const char* kVerifyUnreadable =
    "写后校验未完成：读回的数据无法识别。写录已完成，但未能核对，请重新读取数据核对。";

ui::Message errorMessage(std::string text, std::string detail = {}) {
  return {std::move(text), image::kTransferCaption, ui::MessageIcon::Error, ui::MessageButtons::Ok,
          false,           std::move(detail)};
}

void showState(ProgramState& state, const std::string& text) {
  state.showStatus(StatusPanel::State, text);
  state.repaintStatusBar();
}

// "20261209-140327-HX34s-3262001201.ini（2026-12-09 14:03:27 读取，个人号 3262001201）"
std::string describe(const Backup& backup) {
  return link::textOf(backup.file.filename()) + "（" + backup.time + " 读取，个人号 " +
         backup.number + "）";
}

// The read's record kept as a backup, with what its write-back needs beside it (a backup that
// could not take that is still an ordinary data file of the record).
std::optional<KeptBackup> keep(ProgramState& read, const std::filesystem::path& folder,
                               std::time_t now, const image::ReadResult& result,
                               BackupOutcome& outcome) {
  outcome = keepBackup(read, folder, now);
  if (!outcome.backup) return std::nullopt;
  const image::MenuBits bits = result.menuBits.value_or(image::MenuBits{});
  link::IniLoad saved = link::loadIniFile(outcome.backup->file);
  if (!saved.error) {
    addBackupRead(saved.document, result.reading, bits);
    (void)link::saveIniFile(saved.document, outcome.backup->file);
  }
  return KeptBackup{*outcome.backup, bits};
}

constexpr const char* kBackupNote = "写前备份";

// A successful read's event: what it brought, and the backup it was kept in.
void recordRead(ProgramState& state, ProgramState& read, std::time_t now,
                const image::ReadResult& result, const std::optional<KeptBackup>& kept,
                const std::string& note = {}) {
  history::Event event = historyEvent(state, Operation::Read, Result::Done, now);
  takeReading(event, read, result.reading, result.menuBits.value_or(image::MenuBits{}));
  event.note = note;
  if (kept) {
    event.backupFile = link::textOf(kept->backup.file);
    std::ifstream in(kept->backup.file, std::ios::binary);
    event.source = backupSource(kept->backup.file, {std::istreambuf_iterator<char>(in), {}});
  }
  const std::string file = event.backupFile;
  recordEvent(state, std::move(event), file);
}

// An extra read while the window's Test tab is active finds the radio in its test state: it takes
// the radio out first, as the read transfer does from that tab, and a read-back puts it back.
class TestStateKept {
 public:
  TestStateKept(ProgramState& state, bool putBack)
      : state_(state), active_(testmode::isTestTabActive(state)), putBack_(putBack) {
    if (active_) state_.port.write(link::modeLetter(link::ModeLetter::Leave));
  }
  ~TestStateKept() {
    if (!active_ || !putBack_) return;
    const link::Bytes channel = testmode::currentChannelCommand(*state_.main);
    link::returnToTestState(state_.port, state_.clock, state_.radioIdentity,
                            link::AfterTransfer::Reading, channel);
  }
  TestStateKept(const TestStateKept&) = delete;
  TestStateKept& operator=(const TestStateKept&) = delete;

 private:
  ProgramState& state_;
  bool active_;
  bool putBack_;
};

// The radio read into an offline program working for the window, kept as a backup, and shown to
// `beforeWrite`. The write follows at once and leaves the test state itself.
struct ReadBefore {
  bool good = false;      // the read succeeded and its backup was kept
  bool declined = false;  // beforeWrite said not to write
  std::optional<KeptBackup> kept;
  std::string number;  // the individual number the radio held
};

ReadBefore readBeforeWrite(ProgramState& state, std::time_t now, const BeforeWrite& beforeWrite) {
  OfflineProgram reader(state);
  const TestStateKept testState(state, false);
  const image::ReadResult read = image::readFromRadio(reader.state());
  if (read.outcome == TransferOutcome::NoRadio) {
    settings::reportNoRadio(state);
    return {};
  }
  if (read.outcome != TransferOutcome::Done) {
    showState(state, image::kReadFailedText);
    state.dialogs.message(errorMessage(kBackupReadFailed));
    history::Event event = historyEvent(state, Operation::Read, Result::Failed, now);
    event.note = kBackupNote;
    recordEvent(state, std::move(event));
    return {};
  }
  ReadBefore before;
  BackupOutcome outcome;
  before.kept = keep(reader.state(), state.backups, now, read, outcome);
  recordRead(state, reader.state(), now, read, before.kept, kBackupNote);
  before.number = settings::Record(reader.state()).text("Indivol");
  if (!before.kept) {
    state.dialogs.message(errorMessage(kBackupNotSaved, outcome.error));
    return {};
  }
  before.good = true;
  before.declined = beforeWrite && !beforeWrite(reader.state());
  return before;
}

// The backup's record written into the radio from an offline program working for the window;
// the restore is an event of the history.
bool writeBack(ProgramState& state, const KeptBackup& kept, std::time_t now) {
  OfflineProgram writer(state);
  if (openDataFileAndCheck(writer.state(), kept.backup.file)) return false;
  TransferMemory memory;
  memory.menuBits = kept.menuBits;
  const link::IniDocument backup = link::loadIniFile(kept.backup.file).document;
  settings::openStartUpTexts(writer.state(), backup);
  takeBackupRead(writer.state(), memory, backup);
  history::Event event = historyEvent(state, Operation::Restore, Result::Failed, now);
  event.note = link::textOf(kept.backup.file);
  event.dataFile = backup.fileBytes();
  event.numberAfter = kept.backup.number;
  bool done = false;
  try {
    const image::WriteResult written = image::writeImageToRadio(
        writer.state(), memory.menuBits, image::FailureMessage::LeftToCaller, memory.restoring);
    done = written.outcome == TransferOutcome::Done;
    event.image = imageBytes(written.image.memory);
  } catch (const std::exception&) {
  }
  if (done) event.result = Result::Done;
  if (state.fleetRun == 0) recordEvent(state, std::move(event));
  return done;
}

// Says what a write that failed half-way means, and offers the backup that can put it right.
bool reportPartialWrite(ProgramState& state, const std::optional<KeptBackup>& backup,
                        RestoreOffer offer, const std::string& port, std::time_t now) {
  if (!backup) {
    std::string detail = kNoBackup;
    if (offer == RestoreOffer::PrintPath) detail += kListBackups;
    state.dialogs.message(errorMessage(kPartial, detail));
    return false;
  }
  std::string detail = "可写回的备份：" + describe(backup->backup);
  if (offer == RestoreOffer::PrintPath) {
    const std::string portOption = port.empty() ? "" : "--port \"" + port + "\" ";
    detail += "\n" + link::textOf(backup->backup.file) + "\n写回：rcp520-cli write " + portOption +
              "\"" + link::textOf(backup->backup.file) + "\"";
    state.dialogs.message(errorMessage(kPartial, detail));
    return false;
  }
  ui::Message question = errorMessage(kPartial, detail + "\n" + kAskRestore);
  question.buttons = ui::MessageButtons::YesNo;
  if (state.dialogs.message(question) != ui::MessageResult::Yes) return false;
  if (writeBack(state, *backup, now)) {
    showState(state, kRestored);
    state.dialogs.message({kRestored, image::kTransferCaption, ui::MessageIcon::Information});
    return true;
  }
  showState(state, image::kWriteFailedText);
  state.dialogs.message(errorMessage(kRestoreFailed, link::textOf(backup->backup.file)));
  return false;
}

// The radio read back into an offline program and compared with what was written.
void verify(ProgramState& state, OfflineProgram& reader, const image::WriteImage& written,
            WriteReport& report, std::time_t now) {
  history::Event event = historyEvent(state, Operation::Verify, Result::VerifyNotRun, now);
  event.numberBefore = event.numberAfter = settings::Record(state).text("Indivol");
  const auto record = [&] {
    if (state.fleetRun == 0) recordEvent(state, std::move(event));
  };
  image::ReadResult read{TransferOutcome::NoRadio, std::nullopt};
  bool unreadable = false;  // an answer the read-back could not take as a number
  try {
    const TestStateKept testState(state, true);
    read = image::readFromRadio(reader.state(), kVerifyingText);
  } catch (const image::ReadStopped&) {  // an answer that is no number stops the read
    unreadable = true;
  } catch (const ui::ConversionError&) {
    unreadable = true;
  }
  if (read.outcome != TransferOutcome::Done) {
    report.check = WriteReport::Check::Unanswered;
    showState(state, kVerifyUnfinishedText);
    state.dialogs.message(errorMessage(unreadable ? kVerifyUnreadable : kVerifyUnanswered));
    record();
    return;
  }
  // What the read-back found is the verification's configuration.
  takeReading(event, reader.state(), read.reading, read.menuBits.value_or(image::MenuBits{}));
  const image::Verification verification = image::verifyWrite(written, read.reading);
  if (verification.passed()) {
    report.check = WriteReport::Check::Passed;
    showState(state, kVerifiedText);
    event.result = Result::Verified;
    record();
    return;
  }
  report.check = WriteReport::Check::Mismatch;
  report.mismatches = mismatchLines(state, reader.state(), verification);
  showState(state, kVerifyFailedText);
  event.result = Result::VerifyFailed;
  for (const std::string& line : report.mismatches) event.note += line + "\n";
  record();
  state.dialogs.message(errorMessage(mismatchMessage(report.mismatches)));
}

// The write's event: a backup's record written back as its read found it is a restore.
void recordWrite(ProgramState& state, const TransferMemory& memory, const WriteReport& report,
                 std::time_t now) {
  const Result result = report.outcome == TransferOutcome::Done ? Result::Done : Result::Failed;
  history::Event event =
      historyEvent(state, memory.restoring ? Operation::Restore : Operation::Write, result, now);
  event.numberBefore = report.numberBefore;
  event.numberAfter = settings::Record(state).text("Indivol");
  event.dataFile = recordText(state);
  event.image = report.sent;
  if (report.outcome == TransferOutcome::NoRadio) event.note = "电台没有应答";
  recordEvent(state, std::move(event));
}

}  // namespace

void takeBackupRead(ProgramState& state, TransferMemory& memory,
                    const link::IniDocument& document) {
  memory.restoring.reset();
  if (auto read = backupRead(document)) {
    settings::openStartUpTexts(state, document);
    memory.menuBits = read->menuBits;
    memory.restoring = std::move(read->memory);
  }
}

WriteSafetyChoice storedWriteSafety(const std::filesystem::path& comIni) {
  const link::WriteSafety stored = link::readWriteSafety(comIni);
  return {stored.backupBeforeWrite, stored.verifyAfterWrite};
}

ReadReport readAndKeep(ProgramState& state, TransferMemory& memory, std::time_t now) {
  const image::ReadResult result = image::readFromRadio(state);
  if (result.menuBits) memory.menuBits = *result.menuBits;
  ReadReport report{result.outcome, std::nullopt};
  if (result.outcome == TransferOutcome::Failed)
    recordEvent(state, historyEvent(state, Operation::Read, Result::Failed, now));
  if (result.outcome != TransferOutcome::Done) return report;
  BackupOutcome outcome;
  std::optional<KeptBackup> kept;
  if (!state.backups.empty()) kept = keep(state, state.backups, now, result, outcome);
  recordRead(state, state, now, result, kept);
  if (kept) memory.lastRead = std::move(kept);
  if (!state.backups.empty()) report.backup = std::move(outcome);
  return report;
}

WriteReport safeWrite(ProgramState& state, TransferMemory& memory, const WriteSafetyChoice& choice,
                      RestoreOffer offer, std::time_t now, const BeforeWrite& beforeWrite,
                      const StepStarted& started) {
  const auto step = [&started](WriteStep next) {
    if (started) started(next);
  };
  WriteReport report{TransferOutcome::Done};
  if (choice.backupBefore) {
    step(WriteStep::Backup);
    ReadBefore before = readBeforeWrite(state, now, beforeWrite);
    if (!before.good || before.declined) {
      report.outcome = before.good ? TransferOutcome::Done : TransferOutcome::Failed;
      report.started = false;
      // Stopped after its backup read: a write cancelled, the radio as that read found it.
      if (before.declined && state.fleetRun == 0) {
        history::Event event = historyEvent(state, Operation::Write, Result::Cancelled, now);
        event.numberBefore = before.number;
        event.numberAfter = settings::Record(state).text("Indivol");
        event.note = "写录没有开始，电台中的数据没有改动";
        recordEvent(state, std::move(event));
      }
      return report;
    }
    report.backupBefore = std::move(before.kept);
    report.numberBefore = std::move(before.number);
    // The radio's own bits that no switch drives go back as this read found them (a backup
    // being written back brings its own).
    if (report.backupBefore && !memory.restoring) memory.menuBits = report.backupBefore->menuBits;
  }
  // Made before the write, so that the read-back follows the write's settling pause at once: a
  // radio may be taken off the line soon after it falls quiet.
  std::optional<OfflineProgram> reader;
  if (choice.verifyAfter) reader.emplace(state);
  step(WriteStep::Write);
  const image::WriteResult written = image::writeImageToRadio(
      state, memory.menuBits, image::FailureMessage::LeftToCaller, memory.restoring);
  report.outcome = written.outcome;
  report.sent = imageBytes(written.image.memory);
  if (state.fleetRun == 0) recordWrite(state, memory, report, now);
  if (written.outcome == TransferOutcome::Failed) {
    report.restored =
        reportPartialWrite(state, report.backupBefore ? report.backupBefore : memory.lastRead,
                           offer, choice.restorePort, now);
    return report;
  }
  if (written.outcome == TransferOutcome::Done && choice.verifyAfter) {
    step(WriteStep::Verify);
    verify(state, *reader, written.image, report, now);
  }
  return report;
}

}  // namespace rcp::app
