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

#include "app/backups.hpp"
#include "app/safe_write.hpp"
#include "app/transfer_commands.hpp"
#include "image/read_transfer.hpp"
#include "image/write_transfer.hpp"
#include "support/test_program.hpp"

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
  // Silent after n WRITE records: the bulk block is never acknowledged nor taken.
  for (const int n : {1, 12}) {
    const auto fault = [n](sim::RadioFaults& f) { f.silentAfterWrites = n; };
    for (const auto& safety : {none, verify})
      all.push_back({"silent after writes", fault, safety, TransferOutcome::Failed, true, kPartial,
                     Memory::Before, 0});
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
  all.push_back({"silent radio, no safety", [](sim::RadioFaults& f) { f.silent = true; }, none,
                 TransferOutcome::NoRadio, true, kNoRadio, Memory::Before, 0});
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

TEST(FaultMatrix, EveryRadioFaultWithEverySafetyEndsAsStatedInProcess) {
  const auto start = std::chrono::steady_clock::now();
  const std::vector<Case> all = cases();
  for (const Case& c : all) {
    SCOPED_TRACE(describe(c));
    test::TestProgram app;
    TransferMemory memory;
    app.state().backups = app.dir / "backups";
    app.clock.pause(1000);
    app.port.settle();
    ASSERT_EQ(WriteDataClick(app.state(), memory, {}, RestoreOffer::Ask).outcome,
              TransferOutcome::Done);
    app.port.settle();
    const auto before = app.radio.memory();
    const std::size_t backupsBefore = backupsIn(app.dir / "backups");
    // The record to write differs from the radio's in the bulk block and in a record.
    app.main().setValue("TA", 50);
    app.main().setText("MPT1343_Indivol", "3262001299");
    app.dialogs.messages.clear();
    app.dialogs.answer = [](const ui::Message& m) {
      return m.buttons == ui::MessageButtons::YesNo ? ui::MessageResult::No : ui::MessageResult::Ok;
    };

    c.fault(app.radio.faults());
    const WriteReport report = WriteDataClick(app.state(), memory, c.safety, RestoreOffer::Ask);
    app.port.settle();
    EXPECT_EQ(report.outcome, c.outcome);
    EXPECT_EQ(report.started, c.started);
    if (*c.message) {
      ASSERT_FALSE(app.dialogs.messages.empty());
      EXPECT_EQ(app.dialogs.messages[0].text, c.message);
    }
    EXPECT_EQ(backupsIn(app.dir / "backups") - backupsBefore, c.backups);

    // The memory a clean write of the record leaves.
    test::TestProgram clean;
    TransferMemory cleanMemory;
    clean.clock.pause(1000);
    clean.port.settle();
    clean.main().setValue("TA", 50);
    clean.main().setText("MPT1343_Indivol", "3262001299");
    ASSERT_EQ(WriteDataClick(clean.state(), cleanMemory, {}, RestoreOffer::Ask).outcome,
              TransferOutcome::Done);
    clean.port.settle();
    EXPECT_EQ(memoryState(app.radio.memory(), before, clean.radio.memory()), c.memory);
  }
  // Milliseconds each on the virtual clock, not the seconds a real line takes.
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
