// The service history as the command line leaves it, in process against the virtual radio: a
// read, a plain write, a safe write whose verification fails, a failed write and the restore of
// the first read from the history, a fleet of three; and a history that cannot be used never
// failing a transfer.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/backups.hpp"
#include "cli/check.hpp"
#include "cli/diff.hpp"
#include "cli/fleet.hpp"
#include "cli/history.hpp"
#include "cli/history_restore.hpp"
#include "cli/history_show.hpp"
#include "cli/read.hpp"
#include "cli/write.hpp"
#include "history/history_database.hpp"
#include "safety/backups.hpp"
#include "sim/radio_fleet.hpp"
#include "support/cli_line.hpp"
#include "support/file_modes.hpp"

namespace rcp::app {
namespace {

namespace fs = std::filesystem;
using history::Event;
using history::Operation;
using history::Result;

// The tool's files where the command line keeps them, in the test's own folder.
struct Places {
  static fs::path historyFile(const test::CliRun& run) {
    return run.dir / "state" / "rcp520" / "history.sqlite";
  }
  static CliSafety safety(const test::CliRun& run, bool backup = false, bool verify = false) {
    CliSafety safety = run.safety(backup, verify);
    safety.history = historyFile(run);
    return safety;
  }
  static HistoryPlace place(const test::CliRun& run) { return {historyFile(run), run.backups()}; }
  // Oldest first.
  static std::vector<Event> events(const test::CliRun& run) {
    history::HistoryDatabase database(historyFile(run));
    std::vector<Event> events = database.list({});
    std::reverse(events.begin(), events.end());
    return events;
  }
};

long lineCount(const std::string& text) {
  return std::count(text.begin(), text.end(), '\n');
}

void writeFile(const fs::path& file, const std::string& number) {
  std::ofstream(file, std::ios::binary) << "[File0]\r\nIndivol=" << number << "\r\nTA=12\r\n";
}

TEST(CliHistory, TheTransfersOfADayLeaveExactlyTheirEventsAndTheFirstReadComesBackByteForByte) {
  test::CliLine cli;
  const std::string device = "/dev/ttyS1";
  // The radio as it comes in, programmed earlier (by the tool, before there was a history).
  writeFile(cli.dir / "earlier.ini", "3262001200");
  ASSERT_EQ(cliWrite(device, cli.dir / "earlier.ini", cli.io(), cli.safety()), kExitDone);
  // A read of it.
  ASSERT_EQ(cliRead(device, cli.dir / "first.ini", cli.io(), Places::safety(cli)), kExitDone);
  const auto asFound = cli.radio.memory();
  // A plain write.
  writeFile(cli.dir / "a.ini", "3262001201");
  ASSERT_EQ(cliWrite(device, cli.dir / "a.ini", cli.io(), Places::safety(cli)), kExitDone);
  // A safe write whose read-back finds a byte the radio keeps wrong.
  writeFile(cli.dir / "b.ini", "3262001202");
  cli.radio.faults().corruptAddresses = {0x0CF};
  ASSERT_EQ(cliWrite(device, cli.dir / "b.ini", cli.io(), Places::safety(cli, true, true)),
            kExitVerifyMismatch);
  cli.radio.faults().corruptAddresses.clear();
  // A write the radio stops acknowledging half-way.
  cli.radio.faults().ackChunks = 10;
  ASSERT_EQ(cliWrite(device, cli.dir / "a.ini", cli.io(), Places::safety(cli)),
            kExitNoRadioOrFailed);
  cli.radio.faults().ackChunks.reset();
  const std::int64_t firstRead = Places::events(cli).front().id;
  ASSERT_EQ(cliHistoryRestore(Places::place(cli), "#" + std::to_string(firstRead), device, cli.io(),
                              Places::safety(cli, false, true)),
            kExitDone)
      << cli.err.str();
  for (std::size_t at = 0; at < asFound.size(); ++at)
    EXPECT_EQ(cli.radio.memory()[at], asFound[at]) << "at " << at;

  struct Expected {
    Operation operation;
    Result result;
    std::string numberAfter;  // empty: not checked
    bool configuration;
  };
  const std::vector<Expected> expected = {
      {Operation::Read, Result::Done, "", true},
      {Operation::Write, Result::Done, "3262001201", true},
      {Operation::Read, Result::Done, "3262001201", true},  // the backup before the safe write
      {Operation::Write, Result::Done, "3262001202", true},
      {Operation::Verify, Result::VerifyFailed, "", true},
      {Operation::Write, Result::Failed, "3262001201", true},
      {Operation::Restore, Result::Done, "", true},
      {Operation::Verify, Result::Verified, "", true},
  };
  const std::vector<Event> events = Places::events(cli);
  ASSERT_EQ(events.size(), expected.size());
  history::HistoryDatabase database(Places::historyFile(cli));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(events[i].operation, expected[i].operation);
    EXPECT_EQ(events[i].result, expected[i].result);
    if (!expected[i].numberAfter.empty()) {
      EXPECT_EQ(events[i].numberAfter, expected[i].numberAfter);
    }
    EXPECT_EQ(events[i].device, device);
    EXPECT_EQ(events[i].model, "HX33");
    EXPECT_FALSE(events[i].user.empty());
    const auto whole = database.event(events[i].id);
    ASSERT_TRUE(whole);
    EXPECT_EQ(!whole->dataFile.empty(), expected[i].configuration);
    EXPECT_EQ(whole->image.size(), 1024u);
  }
  // The safe write knew what the radio held before it.
  EXPECT_EQ(events[3].numberBefore, "3262001201");
  EXPECT_NE(events[4].note.find("TA"), std::string::npos) << events[4].note;

  // The plain write against the first read: the fields written differ.
  cli.out.str("");
  DiffRequest diff{"#" + std::to_string(events[0].id), "#" + std::to_string(events[1].id)};
  diff.history = Places::historyFile(cli);
  EXPECT_EQ(cliDiff(diff, cli.io()), kExitFound) << cli.err.str();
  EXPECT_NE(cli.out.str().find("3262001201"), std::string::npos) << cli.out.str();
  // The same two as memories: the bytes the read found against the bytes the write left.
  cli.out.str("");
  diff.image = true;
  EXPECT_EQ(cliDiff(diff, cli.io()), kExitFound) << cli.err.str();
  EXPECT_NE(cli.out.str().find("个字节不同"), std::string::npos) << cli.out.str();
  // An entry against the file it wrote: nothing differs.
  cli.out.str("");
  diff.b = cli.dir / "a.ini";
  EXPECT_EQ(cliDiff(diff, cli.io()), kExitFound) << "the read's memory is not a.ini's";
  diff.a = "#" + std::to_string(events[1].id);
  EXPECT_EQ(cliDiff(diff, cli.io()), kExitDone) << cli.out.str() << cli.err.str();

  // Listing by number and result, and as JSON.
  cli.out.str("");
  EXPECT_EQ(cliHistory(Places::place(cli), {"3262001202", "", "", "", "", "mismatch"}, cli.io()),
            kExitDone);
  EXPECT_EQ(lineCount(cli.out.str()), 1) << cli.out.str();
  EXPECT_NE(cli.out.str().find("校验失败"), std::string::npos);
  cli.out.str("");
  HistoryQuery json;
  json.json = true;
  json.result = "failed";
  EXPECT_EQ(cliHistory(Places::place(cli), json, cli.io()), kExitDone);
  EXPECT_NE(cli.out.str().find("\"operation\":\"write\",\"result\":\"failed\""), std::string::npos)
      << cli.out.str();

  // Show and export give the entry as a data file.
  cli.out.str("");
  EXPECT_EQ(cliHistoryShow(Places::place(cli), std::to_string(events[1].id), cli.io()), kExitDone);
  EXPECT_NE(cli.out.str().find("Indivol=3262001201"), std::string::npos);
  EXPECT_EQ(cliHistoryExport(Places::place(cli), std::to_string(events[1].id), cli.dir / "out.ini",
                             cli.io()),
            kExitDone);
  EXPECT_NE(test::fileBytes(cli.dir / "out.ini")->find("Indivol=3262001201"), std::string::npos);
  if (test::kFileModes) {
    EXPECT_EQ(fs::status(cli.dir / "out.ini").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
  }
  // The reads with a backup are the backups listing.
  cli.out.str("");
  EXPECT_EQ(cliBackups(Places::place(cli), cli.io()), kExitDone);
  EXPECT_EQ(lineCount(cli.out.str()), 2) << cli.out.str();
}

TEST(CliHistory, ACommandGivenWhatItCannotUseSaysWhyAndExits2) {
  test::CliLine cli;
  const struct {
    const char* name;
    HistoryQuery query;
    const char* said;
  } cases[] = {
      {"date", {"", "", "2026-13-40"}, "--since"},
      {"result", {"", "", "", "", "", "ok"}, "--result"},
      {"fleet", {"", "", "", "", "abc"}, "--fleet"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    cli.err.str("");
    EXPECT_EQ(cliHistory(Places::place(cli), c.query, cli.io()), kExitUsageFileOrPort);
    EXPECT_NE(cli.err.str().find(c.said), std::string::npos) << cli.err.str();
  }
  for (const char* id : {"0", "x", "#999"}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(cliHistoryShow(Places::place(cli), id, cli.io()), kExitUsageFileOrPort);
  }
}

TEST(CliHistory, AHistoryThatCannotBeUsedNeverFailsATransferAndSaysWhy) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> spoil;
    const char* said;
  };
  const std::vector<Case> cases = {
      {"a folder in its place", [](const fs::path& f) { fs::create_directories(f); },
       "历史记录未写入"},
      {"a damaged file",
       [](const fs::path& f) {
         fs::create_directories(f.parent_path());
         std::ofstream(f) << "garbage, not a database";
       },
       "已移到"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::CliLine cli;
    c.spoil(Places::historyFile(cli));
    EXPECT_EQ(cliRead("/dev/ttyS1", cli.dir / "r.ini", cli.io(), Places::safety(cli)), kExitDone);
    EXPECT_NE(cli.err.str().find(c.said), std::string::npos) << cli.err.str();
    writeFile(cli.dir / "a.ini", "3262001201");
    EXPECT_EQ(cliWrite("/dev/ttyS1", cli.dir / "a.ini", cli.io(), Places::safety(cli)), kExitDone);
    // The read's backup is kept whatever became of the history.
    EXPECT_EQ(listBackups(cli.backups()).size(), 1u);
  }
}

// A fleet of three radios, and one radio of another model among them refused before writing.
struct CliHistoryFleet : test::CliRun {
  sim::RadioFleet radios;
  sim::SimulatedPort port{radios, virtualClock};
  explicit CliHistoryFleet(std::string_view model, int count)
      : radios([&] {
          sim::RadioFleet::Setup setup;
          setup.identity = *sim::identityOfModel(model);
          setup.count = count;
          return setup;
        }()) {}
  FleetRequest request(std::string numbers) {
    std::ofstream(dir / "templ.ini", std::ios::binary) << "[File0]\r\nIndivol=3262001201\r\n";
    return {dir / "templ.ini", std::move(numbers), {}, dir / "log.csv", false};
  }
};

TEST(CliHistory, AFleetRunIsAnEventOfItsOwnWithARowForEachRadio) {
  CliHistoryFleet fleet("HX33", 3);
  const FleetRequest request = fleet.request("3262001201-3262001203");
  ASSERT_EQ(
      cliFleet("/dev/ttyS1", request, fleet.io(fleet.port), Places::safety(fleet, false, true)),
      kExitDone)
      << fleet.err.str();
  const std::vector<Event> events = Places::events(fleet);
  ASSERT_EQ(events.size(), 3u);
  for (std::size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(events[i].operation, Operation::FleetRadio);
    EXPECT_EQ(events[i].result, Result::Verified);
    EXPECT_EQ(events[i].numberAfter, "326200120" + std::to_string(i + 1));
    EXPECT_EQ(events[i].fleetRun, events[0].fleetRun);
  }
  fleet.out.str("");
  HistoryQuery query;
  query.fleet = std::to_string(events[0].fleetRun);
  EXPECT_EQ(cliHistory(Places::place(fleet), query, fleet.io(fleet.port)), kExitDone);
  EXPECT_NE(fleet.out.str().find("3262001201-3262001203"), std::string::npos) << fleet.out.str();
  EXPECT_NE(fleet.out.str().find("--verify"), std::string::npos) << fleet.out.str();
}

TEST(CliHistory, AFleetForOneModelRefusesARadioOfAnotherBeforeWritingIt) {
  CliHistoryFleet fleet("HX34s", 1);
  FleetRequest request = fleet.request("3262001201-3262001201");
  request.model = "hx33";
  // The radio stays on the line; the run is stopped while it waits.
  fleet.clock.at({{SIGINT, [&fleet] { return fleet.virtualClock.nowMs() > 20000; }}});
  cliFleet("/dev/ttyS1", request, fleet.io(fleet.port), Places::safety(fleet));
  EXPECT_NE(fleet.err.str().find("这台电台是 HX34s，不是 HX33，没有写入"), std::string::npos)
      << fleet.err.str();
  EXPECT_EQ(test::handledBy(*fleet.radios.radio(), "chunk"), 0u);
  request.model = "HX99";
  fleet.err.str("");
  EXPECT_EQ(cliFleet("/dev/ttyS1", request, fleet.io(fleet.port), Places::safety(fleet)),
            kExitUsageFileOrPort);
  EXPECT_NE(fleet.err.str().find("没有型号“HX99”"), std::string::npos) << fleet.err.str();
  // Every model is offered, HX34 too (a name within another's, HX34s).
  EXPECT_NE(fleet.err.str().find("HX34s、HX34、HX33"), std::string::npos) << fleet.err.str();
}

}  // namespace
}  // namespace rcp::app
