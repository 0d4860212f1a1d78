#include "safety/history_import.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_dir.hpp"

namespace rcp::app {
namespace {

namespace fs = std::filesystem;

TEST(HistoryImport, EachBackupIsImportedOnceAndWhatIsNoBackupIsLeftAlone) {
  test::TempDir dir;
  const fs::path folder = dir / "backups";
  fs::create_directories(folder);
  const auto file = [&](const std::string& name, const std::string& text) {
    std::ofstream(folder / name, std::ios::binary) << text;
  };
  const std::string first = "[File0]\r\nIndivol=3262001201\r\n";
  const std::string second = "[File0]\r\nIndivol=3262001202\r\n";
  file("20261201-090000-HX33-3262001201.ini", first);
  file("20261202-100000-HX34s-3262001202.ini", second);
  // The same backup again under the name a repeated one gets: one read, not two.
  file("20261202-100000-HX34s-3262001202-2.ini", second);
  // Named as a backup, but no data file.
  file("20261203-110000-HX33-3262001203.ini",
       "\x7f"
       "ELF binary bytes");
  // Odd names: not backups at all.
  file("notes.txt", first);
  file("2026-12-01 HX33.ini", first);
  file("20261299-XXXXXX-HX33-1.ini", first);
  fs::create_directories(folder / "20261204-120000-HX33-3262001204.ini");
  // A link named as a backup (Windows makes links only with a privilege: then there is none).
  std::error_code noLink;
  fs::create_symlink(folder / "20261201-090000-HX33-3262001201.ini",
                     folder / "20261205-130000-HX33-3262001205.ini", noLink);

  history::HistoryDatabase database(dir / "history.sqlite");
  const ImportCount count = importBackups(database, folder);
  EXPECT_EQ(count.imported, 2u);
  EXPECT_EQ(count.known, 1u);
  EXPECT_EQ(count.skipped, noLink ? 1u : 2u);
  const auto events = database.list({});
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].model, "HX34s");
  EXPECT_EQ(events[0].numberAfter, "3262001202");
  EXPECT_EQ(events[0].time, "2026-12-02 10:00:00");
  EXPECT_EQ(events[1].operation, history::Operation::Read);
  EXPECT_EQ(database.event(events[1].id)->dataFile, first);

  // Once: a second import finds them all there.
  const ImportCount again = importBackups(database, folder);
  EXPECT_EQ(again.imported, 0u);
  EXPECT_EQ(database.list({}).size(), 2u);
}

}  // namespace
}  // namespace rcp::app
