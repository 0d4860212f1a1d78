// Ctrl+C, SIGTERM and SIGHUP arriving while the command line reads, compares against or writes a
// radio, in process on the virtual clock: the signal is raised the moment the radio has handled
// a given request (or, for the closing pause, once the last answer is in). A first signal is
// held until the transfer ends and the command then ends with 128 + the signal; a second one
// ends the program at once. Each case states the exit code, what the destination file and the
// backups hold afterwards, and what the radio's memory holds.

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "cli/diff.hpp"
#include "cli/held_signals.hpp"
#include "cli/read.hpp"
#include "cli/write.hpp"
#include "transfer/read_transfer.hpp"
#include "safety/backups.hpp"
#include "settings/data_file.hpp"
#include "support/cli_line.hpp"
#include "support/test_program.hpp"

namespace rcp::app {
namespace {

constexpr const char* kReadHeld = "读取尚未结束，读取结束后程序将退出";
constexpr const char* kReadAbandoned = "读取已中断！未保存任何数据。";
constexpr const char* kWriteHeld = "写录尚未结束，现在中断会使电台只写入部分数据！";
constexpr const char* kWriteAbandoned = "写录已中断！电台中可能只有部分数据，请重新写录。";
// Every byte of the write acknowledged: its closing pause and read-back leave no half-written
// radio.
constexpr const char* kLandedHeld = "写录已完成，正在结束写录或写后校验";
constexpr const char* kLandedAbandoned = "已中断。写录已经完成，电台中是新的配置，但没有经过校验。";
constexpr const char* kBackupHeld = "写前备份尚未读完，读完后程序退出，不会写录";
const std::string kEarlier = "[File0]\r\nFirstChannel=1\r\n";
constexpr int kReads = 26;   // the small reads of a read
constexpr int kChunks = 61;  // the bulk block's chunks

// When a signal is raised: the radio has handled the n-th request of a kind, or (n = 0) all of
// them and the last answer is in, the transfer's closing pause.
struct Moment {
  std::string kind;
  int n;
  int total;  // of that kind in the transfer
};

std::function<bool()> when(test::CliLine& cli, const Moment& m) {
  return [&cli, m] {
    if (m.n) return cli.handled(m.kind) >= static_cast<std::size_t>(m.n);
    const auto& events = cli.port.events();
    return cli.handled(m.kind) >= static_cast<std::size_t>(m.total) && !events.empty() &&
           events.back().kind == sim::SimulatedPort::Event::Kind::Read;
  };
}

// A data file whose write changes the radio (and that differs from what it holds) (the timers and
// the individual number).
std::filesystem::path recordToWrite(const test::CliLine& cli) {
  const auto file = cli.dir / "write.ini";
  test::TestProgram app;
  app.main().setValue("TA", 50);
  app.main().setText("MPT1343_Indivol", "3262001299");
  EXPECT_FALSE(settings::saveDataFile(app.state(), file));
  return file;
}

sim::VirtualRadio::Memory cleanlyWritten() {
  test::CliLine cli;
  EXPECT_EQ(cliWrite("/dev/ttyS1", recordToWrite(cli), cli.io(), cli.safety()), kExitDone);
  cli.port.settle();
  return cli.radio.memory();
}

enum class Command { Read, Diff, Write, WriteBackup, WriteVerify };

int run(Command command, test::CliLine& cli, const std::filesystem::path& file) {
  switch (command) {
    case Command::Read:
      return cliRead("/dev/ttyS1", file, cli.io(), cli.safety());
    case Command::Diff: {
      DiffRequest request{file, kRadioSide};
      request.device = "/dev/ttyS1";
      return cliDiff(request, cli.io());
    }
    case Command::Write:
    case Command::WriteBackup:
    case Command::WriteVerify:
      return cliWrite("/dev/ttyS1", file, cli.io(),
                      cli.safety(command == Command::WriteBackup, command == Command::WriteVerify));
  }
  return -1;
}

// The read's destination, there before; the file a diff compares or a write writes.
std::filesystem::path destination(Command command, const test::CliLine& cli) {
  if (command != Command::Read) return recordToWrite(cli);
  const auto file = cli.dir / "radio.ini";
  std::ofstream(file, std::ios::binary) << kEarlier;
  return file;
}

enum class Memory { Before, Written, Partial };

struct Case {
  const char* name;
  Command command;
  Moment moment;
  int signal;
  std::function<void(sim::RadioFaults&)> fault;
  const char* held;     // the line the held signal prints
  std::size_t backups;  // kept by the case
  Memory memory;
  const char* firstLine = "";  // how the command's error stream starts
};

TEST(CliSignals, AHeldSignalEndsTheCommandWhenTheTransferEndsWith128PlusTheSignal) {
  const Moment read13{"READ", 13, kReads}, readClosing{"READ", 0, kReads};
  const std::vector<Case> cases = {
      {"read, Ctrl+C at a small read",
       Command::Read,
       read13,
       SIGINT,
       {},
       kReadHeld,
       1,
       Memory::Before},
      {"read, SIGTERM at the bulk block",
       Command::Read,
       {"U", 1, 1},
       SIGTERM,
       {},
       kReadHeld,
       1,
       Memory::Before},
      {"read, SIGHUP in the closing pause",
       Command::Read,
       readClosing,
       SIGHUP,
       {},
       kReadHeld,
       1,
       Memory::Before},
      {"read that then fails, Ctrl+C",
       Command::Read,
       {"READ", 5, kReads},
       SIGINT,
       [](sim::RadioFaults& f) { f.skippedRead = 13; },
       kReadHeld,
       0,
       Memory::Before},
      {"diff, Ctrl+C at a small read",
       Command::Diff,
       read13,
       SIGINT,
       {},
       kReadHeld,
       1,
       Memory::Before},
      {"diff, SIGTERM in the closing pause",
       Command::Diff,
       readClosing,
       SIGTERM,
       {},
       kReadHeld,
       1,
       Memory::Before},
      {"write, Ctrl+C at chunk 30",
       Command::Write,
       {"chunk", 30, kChunks},
       SIGINT,
       {},
       kWriteHeld,
       0,
       Memory::Written},
      // The write's failure is told, and the command ends with the signal's code all the same.
      {"write that then fails, Ctrl+C",
       Command::Write,
       {"chunk", 30, kChunks},
       SIGINT,
       [](sim::RadioFaults& f) { f.ackChunks = 40; },
       kWriteHeld,
       0,
       Memory::Partial,
       "写录失败！电台中现在可能只有部分配置。"},
      {"write, SIGTERM in the closing pause",
       Command::Write,
       {"chunk", 0, kChunks},
       SIGTERM,
       {},
       kLandedHeld,
       0,
       Memory::Written},
      {"write, Ctrl+C in the backup read",
       Command::WriteBackup,
       read13,
       SIGINT,
       {},
       kBackupHeld,
       1,
       Memory::Before},
      {"write, Ctrl+C in the read-back's closing pause",
       Command::WriteVerify,
       {"READ", 0, kReads},
       SIGINT,
       {},
       kLandedHeld,
       0,
       Memory::Written},
  };
  const auto written = cleanlyWritten();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::CliLine cli;
    const auto file = destination(c.command, cli);
    const auto earlier = test::fileBytes(file);
    const auto before = cli.radio.memory();
    if (c.fault) c.fault(cli.radio.faults());
    cli.clock.at({{c.signal, when(cli, c.moment)}});
    ::testing::internal::CaptureStderr();
    const int code = run(c.command, cli, file);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(cli.clock.raised(), 1u);
    EXPECT_EQ(code, exitCodeOfSignal(c.signal));
    EXPECT_NE(said.find(c.held), std::string::npos) << said;
    EXPECT_TRUE(cli.err.str().starts_with(c.firstLine)) << cli.err.str();
    // A read saves nothing and a diff prints nothing; the file written from is left alone.
    EXPECT_EQ(test::fileBytes(file), earlier);
    EXPECT_EQ(cli.out.str(), "");
    const auto backups =
        c.command == Command::Diff ? cli.dir / "state/rcp520/backups" : cli.backups();
    EXPECT_EQ(listBackups(backups).size(), c.backups);
    cli.port.settle();
    const auto& now = cli.radio.memory();
    EXPECT_EQ(now == before    ? Memory::Before
              : now == written ? Memory::Written
                               : Memory::Partial,
              c.memory);
  }
}

// A second signal ends the program at once with its own code and says what that leaves.
TEST(CliSignalsDeathTest, ASecondSignalEndsTheProgramAtOnce) {
  struct Twice {
    const char* name;
    Command command;
    Moment first, second;
    const char* abandoned;
  };
  const std::vector<Twice> cases = {
      {"read", Command::Read, {"READ", 5, kReads}, {"READ", 6, kReads}, kReadAbandoned},
      {"read, closing pause",
       Command::Read,
       {"READ", 20, kReads},
       {"READ", 0, kReads},
       kReadAbandoned},
      {"diff", Command::Diff, {"U", 1, 1}, {"READ", 1, kReads}, kReadAbandoned},
      {"write", Command::Write, {"chunk", 10, kChunks}, {"chunk", 11, kChunks}, kWriteAbandoned},
      {"write, closing pause",
       Command::Write,
       {"chunk", 60, kChunks},
       {"chunk", 0, kChunks},
       kLandedAbandoned},
  };
  for (const Twice& c : cases) {
    SCOPED_TRACE(c.name);
    test::CliLine cli;
    const auto file = destination(c.command, cli);
    const auto earlier = test::fileBytes(file);
    EXPECT_EXIT(
        {
          cli.clock.at({{SIGINT, when(cli, c.first)}, {SIGINT, when(cli, c.second)}});
          run(c.command, cli, file);
          std::_Exit(0);
        },
        ::testing::ExitedWithCode(exitCodeOfSignal(SIGINT)), c.abandoned);
    // Nothing saved, nothing kept.
    EXPECT_EQ(test::fileBytes(file), earlier);
    EXPECT_TRUE(listBackups(cli.backups()).empty());
    EXPECT_TRUE(listBackups(cli.dir / "state/rcp520/backups").empty());
  }
}

}  // namespace
}  // namespace rcp::app
