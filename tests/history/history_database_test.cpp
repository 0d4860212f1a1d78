// The history's database on its own: what is recorded comes back whole and filtered, the file is
// private, and whatever befalls it (two writers, a writer killed, a damaged file, a folder that
// cannot be written, a full disk) leaves either a whole event or none, and an error in words.

#include "history/history_database.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.hpp"

namespace rcp::history {
namespace {

namespace fs = std::filesystem;

// A configuration that differs from event to event, as real ones do (the number, a value).
Event sample(int n, Operation operation = Operation::Read, Result result = Result::Done) {
  Event e;
  e.unixTime = 1796810400 + n * 60;
  e.time = localTimeText(e.unixTime);
  e.user = "tech";
  e.device = "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0";
  e.identity = "RCP33H HX33  V2.10";
  e.model = n % 2 ? "HX34s" : "HX33";
  e.numberBefore = "32620012" + std::to_string(10 + n % 50);
  e.numberAfter = "32620013" + std::to_string(10 + n % 50);
  e.operation = operation;
  e.result = result;
  e.version = "3.9";
  e.dataFile = "[File0]\r\nVersion=New\r\nIndivol=" + e.numberAfter +
               "\r\nTA=" + std::to_string(n % 200) + "\r\n";
  for (int key = 0; key < 300; ++key) e.dataFile += "Key" + std::to_string(key) + "=0\r\n";
  e.image.assign(1024, 0);
  for (std::size_t i = 0; i < e.image.size(); i += 7) e.image[i] = static_cast<std::uint8_t>(n + i);
  return e;
}

int mode(const fs::path& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 0777;
}

// Runs `body` in a child process; its exit code (-signal when a signal ended it).
int inChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    int code = 99;
    try {
      code = body();
    } catch (...) {
    }
    std::_Exit(code);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

TEST(HistoryDatabase, AnEventComesBackWholeAndTheListingFiltersNewestFirst) {
  test::TempDir dir;
  const fs::path file = dir / "state" / "history.sqlite";
  std::vector<Event> recorded;
  {
    HistoryDatabase database(file);
    FleetRun run;
    run.members = "3262001201-3262001203";
    database.recordRun(run);
    for (int n = 0; n < 10; ++n) {
      Event e = sample(n, n == 9 ? Operation::FleetRadio : Operation::Write,
                       n == 3 ? Result::VerifyFailed : Result::Done);
      if (n == 9) e.fleetRun = run.id;
      database.record(e);
      recorded.push_back(e);
    }
  }
  EXPECT_EQ(mode(file), 0600);
  EXPECT_EQ(mode(file.parent_path()), 0700);
  HistoryDatabase database(file);
  const auto back = database.event(recorded[4].id);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->dataFile, recorded[4].dataFile);
  EXPECT_EQ(back->image, recorded[4].image);
  EXPECT_EQ(back->numberBefore, recorded[4].numberBefore);
  EXPECT_EQ(back->device, recorded[4].device);
  EXPECT_FALSE(database.event(999));

  struct Case {
    const char* name;
    std::function<void(Filter&)> set;
    std::vector<int> expected;  // indexes into recorded, newest first
  };
  const std::vector<Case> cases = {
      {"everything", [](Filter&) {}, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
      {"number after", [&](Filter& f) { f.number = recorded[2].numberAfter; }, {2}},
      {"number before", [&](Filter& f) { f.number = recorded[5].numberBefore; }, {5}},
      {"model, any case", [](Filter& f) { f.model = "hx34S"; }, {9, 7, 5, 3, 1}},
      {"since and until",
       [&](Filter& f) {
         f.since = recorded[2].unixTime;
         f.until = recorded[5].unixTime;
       },
       {4, 3, 2}},
      {"result", [](Filter& f) { f.result = Result::VerifyFailed; }, {3}},
      {"fleet run", [&](Filter& f) { f.fleetRun = recorded[9].fleetRun; }, {9}},
      {"operation", [](Filter& f) { f.operation = Operation::FleetRadio; }, {9}},
      {"limit", [](Filter& f) { f.limit = 2; }, {9, 8}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Filter filter;
    c.set(filter);
    std::vector<int> got;
    for (const Event& e : database.list(filter))
      for (int i = 0; i < static_cast<int>(recorded.size()); ++i)
        if (recorded[i].id == e.id) got.push_back(i);
    EXPECT_EQ(got, c.expected);
  }
  ASSERT_TRUE(database.run(recorded[9].fleetRun));
  EXPECT_EQ(database.run(recorded[9].fleetRun)->members, "3262001201-3262001203");
}

TEST(HistoryDatabase, ConfigurationsAreStoredCompressedWellBelowTheirSize) {
  test::TempDir dir;
  {
    HistoryDatabase database(dir / "history.sqlite");
    for (int n = 0; n < 200; ++n) {
      Event e = sample(n);
      database.record(e);
    }
  }
  // Each event keeps a text of about 3 KB and a 1 KB image; closed, the log is folded in.
  EXPECT_FALSE(fs::exists(dir / "history.sqlite-wal"));
  EXPECT_LT(fs::file_size(dir / "history.sqlite"), 200u * 1500u);
}

TEST(HistoryDatabase, ADamagedFileIsMovedAsideAndANewHistoryStarted) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> damage;
  };
  const std::vector<Case> cases = {
      {"not a database", [](const fs::path& f) { std::ofstream(f) << "not a database at all"; }},
      {"pages overwritten",
       [](const fs::path& f) {
         {
           HistoryDatabase database(f);
           for (int n = 0; n < 20; ++n) {
             Event e = sample(n);
             database.record(e);
           }
         }
         std::fstream out(f, std::ios::in | std::ios::out | std::ios::binary);
         out.seekp(0);
         out << std::string(200, 'x');
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    const fs::path file = dir / "history.sqlite";
    c.damage(file);
    const auto before = fs::file_size(file);
    HistoryDatabase database(file);
    ASSERT_TRUE(database.movedAside());
    EXPECT_EQ(fs::file_size(*database.movedAside()), before);
    EXPECT_NE(database.movedAside()->filename().string().find("history.sqlite.damaged-"),
              std::string::npos);
    Event e = sample(1);
    database.record(e);
    EXPECT_EQ(database.list({}).size(), 1u);
  }
}

TEST(HistoryDatabase, AFolderThatCannotBeWrittenIsAnErrorInWords) {
  test::TempDir dir;
  std::ofstream(dir / "file") << "x";
  // A file where the folder should be, a folder of a read-only file system, and (for a user the
  // system holds to permissions) a folder without write permission.
  std::vector<fs::path> places = {dir / "file" / "history.sqlite",
                                  "/proc/rcp520-no-such/history.sqlite"};
  if (::geteuid() != 0) {
    fs::create_directories(dir / "locked");
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    places.push_back(dir / "locked" / "history.sqlite");
  }
  for (const fs::path& place : places) {
    SCOPED_TRACE(place.string());
    try {
      HistoryDatabase database(place);
      ADD_FAILURE() << "opened";
    } catch (const HistoryError& e) {
      EXPECT_NE(std::string(e.what()).find("无法使用"), std::string::npos) << e.what();
    }
  }
}

TEST(HistoryDatabase, ANewerSchemaIsRefusedAndTheFileLeftAlone) {
  test::TempDir dir;
  const fs::path file = dir / "history.sqlite";
  { HistoryDatabase database(file); }
  {
    // A later version of the tool moved the schema on.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "UPDATE schema_version SET version = 99", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
  }
  try {
    HistoryDatabase database(file);
    ADD_FAILURE() << "opened";
  } catch (const HistoryError& e) {
    EXPECT_NE(std::string(e.what()).find("更新版本"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(fs::exists(file));
}

TEST(HistoryDatabase, TwoProcessesRecordingAtOnceBothKeepEveryEvent) {
  test::TempDir dir;
  const fs::path file = dir / "history.sqlite";
  { HistoryDatabase database(file); }
  constexpr int kEach = 40;
  std::vector<pid_t> children;
  for (int process = 0; process < 2; ++process) {
    const pid_t child = ::fork();
    if (child == 0) {
      int failures = 0;
      for (int n = 0; n < kEach; ++n) {
        try {
          HistoryDatabase database(file);  // each event opens it, as the tools do
          Event e = sample(process * 1000 + n);
          database.record(e);
        } catch (...) {
          ++failures;
        }
      }
      std::_Exit(failures);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  HistoryDatabase database(file);
  const auto events = database.list({});
  EXPECT_EQ(events.size(), 2u * kEach);
  for (const Event& listed : events) EXPECT_TRUE(database.event(listed.id));
}

TEST(HistoryDatabase, AProcessKilledWhileRecordingLeavesEachEventWholeOrAbsent) {
  test::TempDir dir;
  const fs::path file = dir / "history.sqlite";
  { HistoryDatabase database(file); }
  for (const int afterMs : {5, 20, 60}) {
    SCOPED_TRACE(afterMs);
    const pid_t child = ::fork();
    if (child == 0) {
      HistoryDatabase database(file);
      for (int n = 0;; ++n) {
        Event e = sample(n);
        database.record(e);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    HistoryDatabase database(file);
    EXPECT_FALSE(database.movedAside());
    for (const Event& listed : database.list({})) {
      const auto whole = database.event(listed.id);
      ASSERT_TRUE(whole);
      ASSERT_EQ(whole->image.size(), 1024u);
      EXPECT_NE(whole->dataFile.find("Indivol=" + whole->numberAfter), std::string::npos);
    }
    Event after = sample(7);
    database.record(after);  // and the history goes on
  }
}

TEST(HistoryDatabase, AFullDiskFailsTheEventWithItsReasonAndKeepsTheEarlierOnes) {
  test::TempDir dir;
  const fs::path file = dir / "history.sqlite";
  {
    HistoryDatabase database(file);
    Event e = sample(0);
    database.record(e);
  }
  // The child may write no file beyond a few bytes more than there is: as a full disk does.
  const int code = inChild([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    HistoryDatabase database(file);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    for (int n = 1; n < 200; ++n) {
      Event e = sample(n);
      try {
        database.record(e);
      } catch (const HistoryError& error) {
        const std::string why = error.what();
        return why.find("磁盘") != std::string::npos ? 10 : 11;
      }
    }
    return 12;
  });
  EXPECT_EQ(code, 10);
  HistoryDatabase database(file);
  EXPECT_FALSE(database.movedAside());
  EXPECT_GE(database.list({}).size(), 1u);
  for (const Event& listed : database.list({})) EXPECT_TRUE(database.event(listed.id));
}

TEST(HistoryEvent, DatesAndResultsAreReadAsTheCommandLineWritesThem) {
  EXPECT_TRUE(parseLocalTime("2026-12-09", false));
  EXPECT_EQ(*parseLocalTime("2026-12-09", true) - *parseLocalTime("2026-12-09", false), 86400);
  EXPECT_EQ(*parseLocalTime("2026-12-09 14:30", false) - *parseLocalTime("2026-12-09", false),
            14 * 3600 + 30 * 60);
  for (const char* bad : {"", "2026-13-01", "09.12.2026", "2026-12-09x", "yesterday"})
    EXPECT_FALSE(parseLocalTime(bad, false)) << bad;
  EXPECT_EQ(resultNamed("mismatch"), Result::VerifyFailed);
  EXPECT_EQ(resultNamed("校验正确"), Result::Verified);
  EXPECT_FALSE(resultNamed("ok"));
}

}  // namespace
}  // namespace rcp::history
