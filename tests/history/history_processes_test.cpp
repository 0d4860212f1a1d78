// The history's database among processes and the system's limits (POSIX: fork, kill, file modes,
// RLIMIT_FSIZE): two writers at once, a writer killed, a full disk and a folder that cannot be
// written each leave either a whole event or none and an error in words; the file is private.

#include <gtest/gtest.h>
#include <signal.h>
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

#include "history/history_database.hpp"
#include "history/sample_event.hpp"
#include "support/temp_dir.hpp"

namespace rcp::history {
namespace {

namespace fs = std::filesystem;

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

TEST(HistoryDatabase, TheFileAndItsFolderArePrivate) {
  test::TempDir dir;
  const fs::path file = dir / "state" / "history.sqlite";
  {
    HistoryDatabase database(file);
    Event e = sampleEvent(0);
    database.record(e);
  }
  EXPECT_EQ(mode(file), 0600);
  EXPECT_EQ(mode(file.parent_path()), 0700);
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
          Event e = sampleEvent(process * 1000 + n);
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
        Event e = sampleEvent(n);
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
    Event after = sampleEvent(7);
    database.record(after);  // and the history goes on
  }
}

TEST(HistoryDatabase, AFullDiskFailsTheEventWithItsReasonAndKeepsTheEarlierOnes) {
  test::TempDir dir;
  const fs::path file = dir / "history.sqlite";
  {
    HistoryDatabase database(file);
    Event e = sampleEvent(0);
    database.record(e);
  }
  // The child may write no file beyond a few bytes more than there is: as a full disk does.
  const int code = inChild([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    HistoryDatabase database(file);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    for (int n = 1; n < 200; ++n) {
      Event e = sampleEvent(n);
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

}  // namespace
}  // namespace rcp::history
