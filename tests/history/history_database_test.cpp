// The history's database on its own: what is recorded comes back whole and filtered, compressed,
// and a damaged file or a newer schema is moved aside or refused. What other processes, file
// modes and a full disk do to it: history_processes_test.cpp.

#include "history/history_database.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "history/sample_event.hpp"
#include "link/path_text.hpp"
#include "support/temp_dir.hpp"

namespace rcp::history {
namespace {

namespace fs = std::filesystem;

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
      Event e = sampleEvent(n, n == 9 ? Operation::FleetRadio : Operation::Write,
                            n == 3 ? Result::VerifyFailed : Result::Done);
      if (n == 9) e.fleetRun = run.id;
      database.record(e);
      recorded.push_back(e);
    }
  }
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
      Event e = sampleEvent(n);
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
             Event e = sampleEvent(n);
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
    Event e = sampleEvent(1);
    database.record(e);
    EXPECT_EQ(database.list({}).size(), 1u);
  }
}

TEST(HistoryDatabase, ANewerSchemaIsRefusedAndTheFileLeftAlone) {
  test::TempDir dir;
  const fs::path file = dir / "history.sqlite";
  { HistoryDatabase database(file); }
  {
    // A later version of the tool moved the schema on.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(link::textOf(file).c_str(), &db), SQLITE_OK);
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
