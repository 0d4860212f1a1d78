// The write's fault matrix in process: every fault of the radio, with and without the backup
// before the write and the read-back after it, on the virtual clock. Each case states the outcome,
// the first message, what the radio's memory holds afterwards and how many backups were kept.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "transfer/read_transfer.hpp"
#include "transfer/write_transfer.hpp"
#include "safety/backups.hpp"
#include "safety/safe_write.hpp"
#include "support/test_program.hpp"
#include "window/transfer_commands.hpp"

namespace rcp::app {
namespace {

using image::TransferOutcome;

constexpr const char* kPartial = "写录失败！电台中现在可能只有部分配置。";
constexpr const char* kNoRadio = "设备未开启！请检查电源及通讯口！";

// What the radio holds after the case.
enum class Memory {
  Before,   // untouched: what it held before the write
  Written,  // all of the new record
  Partial,  // some of it (neither of the above)
};

struct Case {
  const char* name;
  std::function<void(sim::RadioFaults&)> fault;
  WriteSafetyChoice safety;
  TransferOutcome outcome;
  bool started;
  const char* message;  // the first message box, or "" for none
  Memory memory;
  std::size_t backups;  // kept in the folder by the case
};

std::vector<Case> cases() {
  std::vector<Case> all;
  const WriteSafetyChoice none{}, backup{true, false}, verify{false, true}, both{true, true};
  // The bulk block acknowledged up to chunk K: the write fails. The record differs from the
  // radio's in TA (bulk chunk 23) and in the individual number: a radio that took chunk 23
  // holds all of the new record, one that did not holds none of it. With the backup read before
  // it (which the fault does not touch), one backup more.
  for (const auto& [k, left] :
       {std::pair{0, Memory::Before}, std::pair{1, Memory::Before}, std::pair{30, Memory::Written},
        std::pair{59, Memory::Written}, std::pair{60, Memory::Written}}) {
    const auto fault = [k](sim::RadioFaults& f) { f.ackChunks = k; };
    for (const auto& [safety, backups] :
         {std::pair{none, 0u}, std::pair{backup, 1u}, std::pair{verify, 0u}, std::pair{both, 1u}})
      all.push_back(
          {"ack chunks", fault, safety, TransferOutcome::Failed, true, kPartial, left, backups});
  }
  // Silent after n WRITE records: the bulk block is never acknowledged nor taken. The backup
  // read before it (which the fault does not touch) is kept.
  for (const int n : {1, 12}) {
    const auto fault = [n](sim::RadioFaults& f) { f.silentAfterWrites = n; };
    for (const auto& [safety, backups] :
         {std::pair{none, 0u}, std::pair{backup, 1u}, std::pair{verify, 0u}, std::pair{both, 1u}})
      all.push_back({"silent after writes", fault, safety, TransferOutcome::Failed, true, kPartial,
                     Memory::Before, backups});
  }
  // Faults of the reads touch only the backup and the read-back: a failed backup starts no write.
  for (const int n : {1, 20}) {
    const auto fault = [n](sim::RadioFaults& f) { f.skippedRead = n; };
    all.push_back({"skipped read, no safety", fault, none, TransferOutcome::Done, true, "",
                   Memory::Written, 0});
    all.push_back({"skipped read, backup", fault, backup, TransferOutcome::Failed, false, "",
                   Memory::Before, 0});
  }
  const auto silentReads = [](sim::RadioFaults& f) { f.silentAfterReads = 22; };
  all.push_back({"silent after reads, backup", silentReads, backup, TransferOutcome::Failed, false,
                 "", Memory::Before, 0});
  all.push_back({"silent radio, backup", [](sim::RadioFaults& f) { f.silent = true; }, backup,
                 TransferOutcome::Failed, false, kNoRadio, Memory::Before, 0});
  for (const auto& safety : {none, verify})
    all.push_back({"silent radio", [](sim::RadioFaults& f) { f.silent = true; }, safety,
                   TransferOutcome::NoRadio, true, kNoRadio, Memory::Before, 0});
  all.push_back({"silent radio", [](sim::RadioFaults& f) { f.silent = true; }, both,
                 TransferOutcome::Failed, false, kNoRadio, Memory::Before, 0});
  all.push_back({"silent after reads", silentReads, both, TransferOutcome::Failed, false, "",
                 Memory::Before, 0});
  return all;
}

Memory memoryState(const sim::VirtualRadio::Memory& after, const sim::VirtualRadio::Memory& before,
                   const sim::VirtualRadio::Memory& written) {
  if (after == before) return Memory::Before;
  return after == written ? Memory::Written : Memory::Partial;
}

std::ostream& operator<<(std::ostream& out, Memory memory) {
  return out << (memory == Memory::Before    ? "before"
                 : memory == Memory::Written ? "written"
                                             : "partial");
}

std::string describe(const Case& c) {
  return std::string(c.name) + (c.safety.backupBefore ? " +backup" : "") +
         (c.safety.verifyAfter ? " +verify" : "");
}

std::size_t backupsIn(const std::filesystem::path& folder) {
  return listBackups(folder).size();
}

// A program that has written the radio once (so that a read-back or a backup has something to
// find), with the record changed in the bulk block and in a record, ready to write again.
struct SecondWrite {
  test::TestProgram app;
  TransferMemory memory;
  SecondWrite() {
    app.state().backups = app.dir / "backups";
    app.clock.pause(1000);
    app.port.settle();
    EXPECT_EQ(WriteDataClick(app.state(), memory, {}, RestoreOffer::Ask).outcome,
              TransferOutcome::Done);
    app.port.settle();
    app.main().setValue("TA", 50);
    app.main().setText("MPT1343_Indivol", "3262001299");
    app.dialogs.messages.clear();
    app.dialogs.answer = [](const ui::Message& m) {
      return m.buttons == ui::MessageButtons::YesNo ? ui::MessageResult::No : ui::MessageResult::Ok;
    };
  }
  WriteReport write(const WriteSafetyChoice& safety) {
    const WriteReport report = WriteDataClick(app.state(), memory, safety, RestoreOffer::Ask);
    app.port.settle();
    return report;
  }
};

// The memory a clean write of the record leaves.
const sim::VirtualRadio::Memory& cleanlyWritten() {
  static const sim::VirtualRadio::Memory memory = [] {
    SecondWrite clean;
    EXPECT_EQ(clean.write({}).outcome, TransferOutcome::Done);
    return clean.app.radio.memory();
  }();
  return memory;
}

struct Result {
  TransferOutcome outcome;
  bool started;
  std::vector<std::string> messages;
  Memory memory;
  std::size_t backups;
  std::int64_t tookMs;
  WriteReport::Check check;
};

Result writeWith(const std::function<void(sim::VirtualRadio&)>& fault,
                 const WriteSafetyChoice& safety) {
  SecondWrite second;
  test::TestProgram& app = second.app;
  const auto before = app.radio.memory();
  const std::size_t backupsBefore = backupsIn(app.dir / "backups");
  const std::int64_t start = app.clock.nowMs();
  fault(app.radio);
  const WriteReport report = second.write(safety);
  Result result{report.outcome,
                report.started,
                {},
                memoryState(app.radio.memory(), before, cleanlyWritten()),
                backupsIn(app.dir / "backups") - backupsBefore,
                app.clock.nowMs() - start,
                report.check};
  for (const ui::Message& m : app.dialogs.messages) result.messages.push_back(m.text);
  return result;
}

TEST(FaultMatrix, EveryRadioFaultWithEverySafetyEndsAsStatedInProcess) {
  const auto start = std::chrono::steady_clock::now();
  const std::vector<Case> all = cases();
  for (const Case& c : all) {
    SCOPED_TRACE(describe(c));
    const Result r =
        writeWith([&c](sim::VirtualRadio& radio) { c.fault(radio.faults()); }, c.safety);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.started, c.started);
    if (*c.message) {
      ASSERT_FALSE(r.messages.empty());
      EXPECT_EQ(r.messages[0], c.message);
    }
    EXPECT_EQ(r.backups, c.backups);
    EXPECT_EQ(r.memory, c.memory);
  }
  // Milliseconds each on the virtual clock, not the seconds a real line takes.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60)) << all.size();
}

// The requests the radio handles during the second write with this safety, as its handled()
// names them.
std::vector<std::string> requestsOfWrite(const WriteSafetyChoice& safety) {
  SecondWrite reference;
  const std::size_t before = reference.app.radio.handled().size();
  EXPECT_EQ(reference.write(safety).outcome, TransferOutcome::Done);
  std::vector<std::string> texts;
  const auto& handled = reference.app.radio.handled();
  for (std::size_t i = before; i < handled.size(); ++i) texts.push_back(handled[i].text);
  return texts;
}

// Stopped at the n-th request of a kind during the write (counted from the write's start).
std::function<void(sim::VirtualRadio&)> stoppedAt(const std::vector<std::string>& requests,
                                                  std::string_view kind, int n, double seconds) {
  int at = 0;
  for (std::size_t i = 0; i < requests.size() && !at; ++i)
    if (requests[i].starts_with(kind) && --n == 0) at = static_cast<int>(i) + 1;
  EXPECT_NE(at, 0) << kind;
  return [at, seconds](sim::VirtualRadio& radio) {
    radio.faults().pause = sim::RadioPause{static_cast<int>(radio.handled().size()) + at,
                                           static_cast<sim::Micros>(seconds * 1000000)};
  };
}

std::function<void(sim::VirtualRadio&)> lateBy(int ms) {
  return [ms](sim::VirtualRadio& radio) {
    sim::RadioTiming timing = radio.timing();
    timing.processingDelay = ms * 1000;
    radio.setTiming(timing);
  };
}

constexpr const char* kBackupFailed =
    "写前备份失败：读取电台时电台中途停止应答，未开始写录。电台中的数据没有改动，"
    "请检查连线后重新写录。";
constexpr const char* kUnverified =
    "写后校验未完成：读回时电台没有应答。写录已完成，但未能核对，请重新读取数据核对。";

// A stopped or late radio, and the faults of the backup read and the read-back, with every
// safety. The check and the time taken are stated besides what the first matrix states.
struct TimedCase {
  std::string name;
  std::function<void(sim::VirtualRadio&)> fault;
  WriteSafetyChoice safety;
  TransferOutcome outcome;
  bool started;
  WriteReport::Check check;
  const char* message;  // the first message box, or "" for none
  Memory memory;
  std::size_t backups;
  std::int64_t withinMs;  // the write's time on the virtual clock stays below this
};

std::string describe(const TimedCase& c) {
  return c.name + (c.safety.backupBefore ? " +backup" : "") +
         (c.safety.verifyAfter ? " +verify" : "");
}

std::vector<TimedCase> timedCases() {
  using Check = WriteReport::Check;
  std::vector<TimedCase> all;
  const WriteSafetyChoice none{}, backup{true, false}, verify{false, true}, both{true, true};
  for (const WriteSafetyChoice& safety : {none, backup, verify, both}) {
    const std::size_t kept = safety.backupBefore ? 1 : 0;
    const Check checked = safety.verifyAfter ? Check::Passed : Check::NotAsked;
    const int readBack = safety.backupBefore ? 26 : 0;  // READs before the read-back's
    const auto requests = requestsOfWrite(safety);
    // Stopped for half a second, three seconds or thirty: in the backup read nothing is written;
    // in the records or the first chunk the radio keeps its record; from a later chunk on it
    // holds the new one (the chunks sent before the tool gave up reach it once it goes on), and
    // the write has failed all the same; in the read-back the write is done but not verified.
    for (const double seconds : {0.5, 3.0, 30.0}) {
      const std::int64_t bound = static_cast<std::int64_t>(seconds * 1000) + 20000;
      const std::string after = " for " + std::to_string(seconds) + " s";
      if (safety.backupBefore)
        all.push_back({"stopped in the backup read" + after,
                       stoppedAt(requests, "READ", 13, seconds), safety, TransferOutcome::Failed,
                       false, Check::NotAsked, kBackupFailed, Memory::Before, 0, bound});
      for (const auto& [kind, n, left] :
           {std::tuple{"WRITE", 1, Memory::Before}, std::tuple{"chunk", 1, Memory::Before},
            std::tuple{"chunk", 31, Memory::Written}, std::tuple{"chunk", 61, Memory::Written}})
        all.push_back({"stopped at " + std::string(kind) + " " + std::to_string(n) + after,
                       stoppedAt(requests, kind, n, seconds), safety, TransferOutcome::Failed, true,
                       Check::NotAsked, kPartial, left, kept, 20000});
      if (safety.verifyAfter)
        all.push_back({"stopped in the read-back" + after,
                       stoppedAt(requests, "READ", readBack + 13, seconds), safety,
                       TransferOutcome::Done, true, Check::Unanswered, kUnverified, Memory::Written,
                       kept, bound + 20000});
    }
    // Late answers: 25 ms late is in time for every time-out; 100 ms is too late for the
    // greeting, and nothing is written.
    all.push_back({"late by 25 ms", lateBy(25), safety, TransferOutcome::Done, true, checked, "",
                   Memory::Written, kept, 20000});
    for (const int ms : {100, 1000})
      all.push_back({"late by " + std::to_string(ms) + " ms", lateBy(ms), safety,
                     safety.backupBefore ? TransferOutcome::Failed : TransferOutcome::NoRadio,
                     !safety.backupBefore, Check::NotAsked, kNoRadio, Memory::Before, 0, 2000});
    if (!safety.verifyAfter) continue;
    // The read-back's own faults: the write is done, its check not.
    for (const auto& [name, set] :
         std::vector<std::pair<std::string, std::function<void(sim::RadioFaults&)>>>{
             {"read-back: skipped read 1", [=](auto& f) { f.skippedRead = readBack + 1; }},
             {"read-back: skipped read 26", [=](auto& f) { f.skippedRead = readBack + 26; }},
             {"read-back: silent after 22 reads",
              [=](auto& f) { f.silentAfterReads = readBack + 22; }}})
      all.push_back({name, [set](sim::VirtualRadio& r) { set(r.faults()); }, safety,
                     TransferOutcome::Done, true, Check::Unanswered, kUnverified, Memory::Written,
                     kept, 30000});
    // A memory cell that does not keep what is written: the read-back finds it.
    all.push_back({"corrupt cell",
                   [](sim::VirtualRadio& r) { r.faults().corruptAddresses = {0x0C0}; }, safety,
                   TransferOutcome::Done, true, Check::Mismatch, "", Memory::Partial, kept, 30000});
  }
  return all;
}

TEST(FaultMatrix, StoppedAndLateRadiosAndReadBackFaultsWithEverySafetyEndAsStated) {
  const auto start = std::chrono::steady_clock::now();
  const std::vector<TimedCase> all = timedCases();
  for (const TimedCase& c : all) {
    SCOPED_TRACE(describe(c));
    const Result r = writeWith(c.fault, c.safety);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.started, c.started);
    EXPECT_EQ(r.check, c.check);
    if (*c.message) {
      ASSERT_FALSE(r.messages.empty());
      EXPECT_EQ(r.messages[0], c.message);
    }
    EXPECT_EQ(r.memory, c.memory);
    EXPECT_EQ(r.backups, c.backups);
    EXPECT_LT(r.tookMs, c.withinMs);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60)) << all.size();
}

// A read cut by unanswered requests fails with its message, keeps no backup and leaves the
// radio as it was.
TEST(FaultMatrix, EveryReadFaultFailsTheReadWithItsMessageAndKeepsNoBackup) {
  const std::vector<std::pair<const char*, std::function<void(sim::RadioFaults&)>>> faults = {
      {"skipped read 1", [](sim::RadioFaults& f) { f.skippedRead = 1; }},
      {"skipped read 13", [](sim::RadioFaults& f) { f.skippedRead = 13; }},
      {"skipped read 26", [](sim::RadioFaults& f) { f.skippedRead = 26; }},
      {"silent after 22 reads", [](sim::RadioFaults& f) { f.silentAfterReads = 22; }},
  };
  for (const auto& [name, fault] : faults) {
    SCOPED_TRACE(name);
    test::TestProgram app;
    TransferMemory memory;
    app.state().backups = app.dir / "backups";
    app.clock.pause(1000);
    app.port.settle();
    const auto before = app.radio.memory();
    fault(app.radio.faults());
    const ReadReport report = ReadDataClick(app.state(), memory);
    EXPECT_EQ(report.outcome, TransferOutcome::Failed);
    EXPECT_FALSE(report.backup);
    ASSERT_FALSE(app.dialogs.messages.empty());
    EXPECT_EQ(app.dialogs.messages.back().text, image::kReadFailedMessage);
    EXPECT_EQ(backupsIn(app.dir / "backups"), 0u);
    EXPECT_EQ(app.radio.memory(), before);
  }
}

}  // namespace
}  // namespace rcp::app
