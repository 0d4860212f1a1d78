// The command line's reading commands against a radio that misbehaves, in process on the virtual
// clock: "read", "info" and "diff … radio" with every fault of the radio (silent, requests left
// unanswered, stopped and going on again at several moments, answering late). Each case states
// the exit code, what the tool printed, what became of the destination file that was there
// before, how many backups were kept, and that the radio was left as it was.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/check.hpp"
#include "cli/diff.hpp"
#include "cli/info.hpp"
#include "cli/read.hpp"
#include "cli/write.hpp"
#include "transfer/read_transfer.hpp"
#include "link/greeting.hpp"
#include "safety/backups.hpp"
#include "settings/data_file.hpp"
#include "support/cli_line.hpp"
#include "support/test_program.hpp"

namespace rcp::app {
namespace {

using Fault = std::function<void(sim::VirtualRadio&)>;

// A data file that differs from the radio's memory in the timers.
std::filesystem::path fileWithOtherTimers(const std::filesystem::path& file) {
  test::TestProgram app;
  app.main().setValue("TA", 50);
  EXPECT_FALSE(settings::saveDataFile(app.state(), file));
  return file;
}
constexpr sim::Micros kSecond = 1000000;

const std::string kReadFailed = std::string(image::kReadFailedMessage) + "\n";
const std::string kNoRadio = std::string(link::kNoRadioMessage) + "\n";
const std::string kEarlier = "[File0]\r\nFirstChannel=1\r\n";  // what the destination held

// The n-th (from 1) request of this kind a clean read of the radio handles, counted from the
// first request as the radio's pause counts them.
int requestOf(const std::vector<std::string>& handled, std::string_view kind, int n) {
  for (std::size_t i = 0; i < handled.size(); ++i)
    if (handled[i].starts_with(kind) && --n == 0) return static_cast<int>(i) + 1;
  ADD_FAILURE() << "no " << kind << " " << n;
  return 0;
}

std::vector<std::string> cleanRead() {
  test::CliLine cli;
  EXPECT_EQ(cliRead("/dev/ttyS1", cli.dir / "clean.ini", cli.io(), cli.safety()), kExitDone);
  std::vector<std::string> texts;
  for (const auto& h : cli.radio.handled()) texts.push_back(h.text);
  return texts;
}

Fault pausedAt(std::string_view kind, int n, double seconds) {
  static const std::vector<std::string> handled = cleanRead();
  const int at = requestOf(handled, kind, n);
  return [at, seconds](sim::VirtualRadio& radio) {
    radio.faults().pause = sim::RadioPause{at, static_cast<sim::Micros>(seconds * kSecond)};
  };
}

Fault late(int ms) {
  return [ms](sim::VirtualRadio& radio) {
    sim::RadioTiming timing = radio.timing();
    timing.processingDelay = ms * 1000;
    radio.setTiming(timing);
  };
}

Fault faults(std::function<void(sim::RadioFaults&)> set) {
  return [set](sim::VirtualRadio& radio) { set(radio.faults()); };
}

// What the tool printed on its error stream, by name.
std::string messageName(const std::string& err) {
  if (err.empty()) return "none";
  if (err == kReadFailed) return "read failed";
  if (err == kNoRadio) return "no radio";
  return err;
}

// A case's outcome on one line, so that a case that differs shows all of it.
struct Outcome {
  int code;
  std::string message;      // messageName of the error stream
  std::string destination;  // "kept" (byte for byte), "saved" (a data file of the read), other
  std::size_t backups;
  bool radioUnchanged;
  bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
  return out << "exit " << o.code << ", message " << o.message << ", destination " << o.destination
             << ", " << o.backups << " backups, radio "
             << (o.radioUnchanged ? "unchanged" : "changed");
}

const Outcome kRead{kExitDone, "none", "saved", 1, true};
const Outcome kReadFailedOutcome{kExitNoRadioOrFailed, "read failed", "kept", 0, true};
const Outcome kNoRadioOutcome{kExitNoRadioOrFailed, "no radio", "kept", 0, true};

struct ReadCase {
  std::string name;
  Fault fault;
  Outcome outcome;
};

std::vector<ReadCase> readCases() {
  std::vector<ReadCase> all = {
      {"clean", {}, kRead},
      {"silent", faults([](auto& f) { f.silent = true; }), kNoRadioOutcome},
      {"identity cut short", faults([](auto& f) { f.identityBytes = 10; }), kNoRadioOutcome},
      {"skipped read 1", faults([](auto& f) { f.skippedRead = 1; }), kReadFailedOutcome},
      {"skipped read 26", faults([](auto& f) { f.skippedRead = 26; }), kReadFailedOutcome},
      {"short read 13", faults([](auto& f) { f.shortRead = 13; }), kReadFailedOutcome},
      {"silent after 22 reads", faults([](auto& f) { f.silentAfterReads = 22; }),
       kReadFailedOutcome},
      {"bulk block cut", faults([](auto& f) { f.answerDigits = 500; }), kReadFailedOutcome},
  };
  // Stopped and going on again: at the start-up greeting, the read's greeting, the bulk block,
  // the first, a middle and the last small read. A radio stopped at a greeting is not there; one
  // stopped at a small read fails the read, but for the last one stopped for less than its
  // answer's time-out.
  for (const auto& [kind, n] : {std::pair{"PROG", 1}, std::pair{"PROG", 2}, std::pair{"U", 1},
                                std::pair{"READ", 1}, std::pair{"READ", 13}, std::pair{"READ", 26}})
    for (const double seconds : {0.5, 3.0, 30.0}) {
      const bool greeting = std::string_view(kind) != "READ";
      const bool inTime = n == 26 && seconds < 0.8;
      all.push_back({"stopped at " + std::string(kind) + " " + std::to_string(n) + " for " +
                         std::to_string(seconds) + " s",
                     pausedAt(kind, n, seconds),
                     greeting ? kNoRadioOutcome
                     : inTime ? kRead
                              : kReadFailedOutcome});
    }
  // Late answers: in time for every time-out, or too late for the greeting.
  all.push_back({"late by 25 ms", late(25), kRead});
  for (const int ms : {100, 300, 1000})
    all.push_back({"late by " + std::to_string(ms) + " ms", late(ms), kNoRadioOutcome});
  return all;
}

// The read into a file that was already there.
Outcome readInto(test::CliLine& cli, const std::function<int(const std::filesystem::path&)>& run,
                 const Fault& fault) {
  const auto file = cli.dir / "radio.ini";
  std::ofstream(file, std::ios::binary) << kEarlier;
  const auto before = cli.radio.memory();
  if (fault) fault(cli.radio);
  const int code = run(file);
  const auto bytes = test::fileBytes(file);
  const std::string destination = !bytes                                           ? "missing"
                                  : *bytes == kEarlier                             ? "kept"
                                  : bytes->starts_with("[File0]\r\nFirstChannel=") ? "saved"
                                                                                   : "other";
  return {code, messageName(cli.err.str()), destination, listBackups(cli.backups()).size(),
          cli.radio.memory() == before};
}

TEST(CliReadFaults, EveryFaultEndsWithItsCodeAndMessageAndKeepsTheEarlierFileByteForByte) {
  const auto cases = readCases();
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::CliLine cli;
    const Outcome o = readInto(
        cli,
        [&cli](const std::filesystem::path& file) {
          return cliRead("/dev/ttyS1", file, cli.io(), cli.safety());
        },
        c.fault);
    EXPECT_EQ(o, c.outcome);
    // A stopped radio's time and the time-outs, never more.
    EXPECT_LT(cli.virtualClock.nowMs(), 45000);
  }
}

// "info" and "diff … radio" against the same faults: a radio that is not there or a read that
// fails prints nothing on the output, only its message.
struct CommandCase {
  std::string name;
  Fault fault;
  int code;
  std::string message;  // messageName of the error stream
  bool output;          // something printed on the output
};

TEST(CliInfoFaults, ARadioThatDoesNotAnswerInTimeIsNotThereAndNothingIsPrinted) {
  const std::vector<CommandCase> cases = {
      {"clean", {}, kExitDone, "none", true},
      {"late by 25 ms", late(25), kExitDone, "none", true},
      {"late by 100 ms", late(100), kExitDone, "none", true},
      {"late by 1 s", late(1000), kExitNoRadioOrFailed, "no radio", false},
      {"silent", faults([](auto& f) { f.silent = true; }), kExitNoRadioOrFailed, "no radio", false},
      {"identity cut short", faults([](auto& f) { f.identityBytes = 10; }), kExitNoRadioOrFailed,
       "no radio", false},
      {"stopped for 0.5 s", pausedAt("PROG", 1, 0.5), kExitNoRadioOrFailed, "no radio", false},
      {"stopped for 30 s", pausedAt("PROG", 1, 30), kExitNoRadioOrFailed, "no radio", false},
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::CliLine cli;
    const auto before = cli.radio.memory();
    if (c.fault) c.fault(cli.radio);
    EXPECT_EQ(cliInfo("/dev/ttyS1", cli.io()), c.code);
    EXPECT_EQ(messageName(cli.err.str()), c.message);
    EXPECT_EQ(!cli.out.str().empty(), c.output) << cli.out.str();
    EXPECT_EQ(cli.radio.memory(), before);
    EXPECT_LT(cli.virtualClock.nowMs(), 5000);
  }
}

TEST(CliDiffFaults, AReadThatFailsComparesNothingAndKeepsNoBackup) {
  const std::vector<CommandCase> cases = {
      {"clean", {}, kExitFound, "none", true},
      {"silent", faults([](auto& f) { f.silent = true; }), kExitNoRadioOrFailed, "no radio", false},
      {"skipped read 13", faults([](auto& f) { f.skippedRead = 13; }), kExitNoRadioOrFailed,
       "read failed", false},
      {"silent after 22 reads", faults([](auto& f) { f.silentAfterReads = 22; }),
       kExitNoRadioOrFailed, "read failed", false},
      {"stopped at the bulk block for 3 s", pausedAt("U", 1, 3), kExitNoRadioOrFailed, "no radio",
       false},
      {"stopped at READ 13 for 0.5 s", pausedAt("READ", 13, 0.5), kExitNoRadioOrFailed,
       "read failed", false},
      {"stopped at READ 26 for 30 s", pausedAt("READ", 26, 30), kExitNoRadioOrFailed, "read failed",
       false},
      {"late by 25 ms", late(25), kExitFound, "none", true},
      {"late by 300 ms", late(300), kExitNoRadioOrFailed, "no radio", false},
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::CliLine cli;
    const auto file = fileWithOtherTimers(cli.dir / "file.ini");
    const auto before = cli.radio.memory();
    if (c.fault) c.fault(cli.radio);
    DiffRequest request{file, kRadioSide};
    request.device = "/dev/ttyS1";
    EXPECT_EQ(cliDiff(request, cli.io()), c.code);
    EXPECT_EQ(messageName(cli.err.str()), c.message);
    EXPECT_EQ(!cli.out.str().empty(), c.output) << cli.out.str();
    // The radio's read keeps its backup as every read does, and only a read that succeeded.
    EXPECT_EQ(listBackups(cli.dir / "state/rcp520/backups").size(), c.output ? 1u : 0u);
    EXPECT_EQ(cli.radio.memory(), before);
    EXPECT_LT(cli.virtualClock.nowMs(), 45000);
  }
}

// "write" with the backup before it and the read-back after it, against the faults of those
// reads: a backup read that fails writes nothing (exit 1, the radio as it was); a read-back that
// fails leaves the radio written but not verified (exit 4); a write cut short names the backup
// to write back (exit 1).
TEST(CliWriteFaults, TheBackupReadAndTheReadBackFailWithTheirOwnExitCodes) {
  struct Case {
    const char* name;
    std::function<void(sim::RadioFaults&)> fault;
    bool backup, verify;
    int code;
    const char* firstLine;  // of the error stream
    bool written;           // the radio's memory changed
    std::size_t backups;
  };
  const char* backupFailed = "写前备份失败：读取电台时电台中途停止应答，未开始写录。";
  const char* partial = "写录失败！电台中现在可能只有部分配置。";
  const char* unverified = "写后校验未完成：读回时电台没有应答。";
  const std::vector<Case> cases = {
      {"clean, both", {}, true, true, kExitDone, "校验正确", true, 1},
      {"backup read silent after 22 reads", [](auto& f) { f.silentAfterReads = 22; }, true, false,
       kExitNoRadioOrFailed, backupFailed, false, 0},
      {"backup read silent after 22 reads, verify", [](auto& f) { f.silentAfterReads = 22; }, true,
       true, kExitNoRadioOrFailed, backupFailed, false, 0},
      {"backup read skips read 13", [](auto& f) { f.skippedRead = 13; }, true, true,
       kExitNoRadioOrFailed, backupFailed, false, 0},
      {"read-back silent after 22 reads", [](auto& f) { f.silentAfterReads = 22; }, false, true,
       kExitVerifyUnfinished, unverified, true, 0},
      {"read-back silent after 22 reads, backup", [](auto& f) { f.silentAfterReads = 48; }, true,
       true, kExitVerifyUnfinished, unverified, true, 1},
      {"not acknowledged after chunk 30, backup", [](auto& f) { f.ackChunks = 30; }, true, true,
       kExitNoRadioOrFailed, partial, true, 1},
      {"a cell that does not keep its byte", [](auto& f) { f.corruptAddresses = {0x0C0}; }, false,
       true, kExitVerifyMismatch, "", true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::CliLine cli;
    const auto file = fileWithOtherTimers(cli.dir / "write.ini");
    const auto source = test::fileBytes(file);
    const auto before = cli.radio.memory();
    if (c.fault) c.fault(cli.radio.faults());
    EXPECT_EQ(cliWrite("/dev/ttyS1", file, cli.io(), cli.safety(c.backup, c.verify)), c.code);
    EXPECT_TRUE(cli.err.str().starts_with(c.firstLine)) << cli.err.str();
    cli.port.settle();
    EXPECT_EQ(cli.radio.memory() != before, c.written);
    EXPECT_EQ(listBackups(cli.backups()).size(), c.backups);
    EXPECT_EQ(test::fileBytes(file), source);
    EXPECT_LT(cli.virtualClock.nowMs(), 60000);
  }
}

}  // namespace
}  // namespace rcp::app
