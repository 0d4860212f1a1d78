// The files the tool writes: only regular files are written over (links followed, devices and
// FIFOs refused), private from their first byte, never at a predictable name in a shared folder,
// and never an input of the same command.

#include "link/private_files.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/fleet.hpp"
#include "cli/info.hpp"
#include "cli/output_clash.hpp"
#include "cli/read.hpp"
#include "cli/write.hpp"
#include "fleet/fleet_plan.hpp"
#include "fleet/fleet_run.hpp"
#include "link/com_ini.hpp"
#include "link/ini_profile.hpp"
#include "link/port_trace.hpp"
#include "safety/backups.hpp"
#include "settings/data_file.hpp"
#include "sim/memory_file.hpp"
#include "support/temp_dir.hpp"
#include "support/test_program.hpp"

namespace rcp::app {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void spit(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

mode_t modeOf(const fs::path& file) {
  struct stat info {};
  EXPECT_EQ(::lstat(file.c_str(), &info), 0) << file;
  return info.st_mode & 07777;
}

// A node that is not a regular file, made in the test's own folder: a character device like
// /dev/null when the test may make one (root), a FIFO otherwise.
fs::path specialNode(const fs::path& file) {
  if (::mknod(file.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    EXPECT_EQ(::mkfifo(file.c_str(), 0666), 0);
  }
  return file;
}

bool stillSpecial(const fs::path& file) {
  struct stat info {};
  return ::lstat(file.c_str(), &info) == 0 && (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode));
}

// Every save of the tool, each given the path to write.
struct Save {
  const char* what;
  std::function<bool(test::TestProgram&, const fs::path&)> save;  // true when it wrote
};

const std::vector<Save>& everySave() {
  static const std::vector<Save> saves = {
      {"data file",
       [](test::TestProgram& p, const fs::path& f) {
         return !settings::saveDataFile(p.state(), f).has_value();
       }},
      {"Com.ini", [](test::TestProgram&,
                     const fs::path& f) { return !link::writePortName(f, "COM1").has_value(); }},
      {"fleet log",
       [](test::TestProgram&, const fs::path& f) {
         return appendLogRow(f, {"2026-12-09 10:00:00", "COM1", "RCP", "HX33", "3262001201",
                                 FleetResult::Written, 1.0});
       }},
      {"trace",
       [](test::TestProgram& p, const fs::path& f) {
         link::TraceLog log(f, p.clock);
         log.paused(10);
         return log.ok();
       }},
      {"radio memory",
       [](test::TestProgram&, const fs::path& f) {
         return !sim::saveMemoryFile(f, sim::VirtualRadio::Memory{}).has_value();
       }},
  };
  return saves;
}

TEST(PrivateFiles, EverySaveRefusesADeviceOrFifoBehindALinkAndLeavesItInPlace) {
  for (const Save& save : everySave()) {
    SCOPED_TRACE(save.what);
    test::TestProgram program;
    const fs::path node = specialNode(program.dir / "node");
    fs::create_symlink(node, program.dir / "link");
    for (const fs::path& target : {program.dir / "link", node}) {
      EXPECT_FALSE(save.save(program, target)) << target;
      EXPECT_TRUE(stillSpecial(node));
      EXPECT_TRUE(fs::is_symlink(program.dir / "link"));
    }
    // Nothing left beside it either (no temporary file of a failed save).
    for (const auto& entry : fs::directory_iterator(program.dir.path())) {
      const std::string name = entry.path().filename().string();
      EXPECT_TRUE(name.find(".tmp") == std::string::npos && name.find(".part") == std::string::npos)
          << name;
    }
  }
}

TEST(PrivateFiles, EverySaveWritesThroughALinkToARegularFileAndKeepsTheLink) {
  for (const Save& save : everySave()) {
    SCOPED_TRACE(save.what);
    test::TestProgram program;
    spit(program.dir / "target", "");
    fs::create_symlink("target", program.dir / "link");
    EXPECT_TRUE(save.save(program, program.dir / "link"));
    EXPECT_TRUE(fs::is_symlink(program.dir / "link"));
    EXPECT_GT(fs::file_size(program.dir / "target"), 0u);
  }
}

TEST(PrivateFiles, NewFilesArePrivateFromTheirFirstByteAndReplacedOnesKeepTheirMode) {
  const mode_t previous = ::umask(022);
  for (const Save& save : everySave()) {
    SCOPED_TRACE(save.what);
    test::TestProgram program;
    ASSERT_TRUE(save.save(program, program.dir / "new"));
    EXPECT_EQ(modeOf(program.dir / "new"), 0600u);
    spit(program.dir / "shared", "");
    fs::permissions(program.dir / "shared", static_cast<fs::perms>(0640));
    ASSERT_TRUE(save.save(program, program.dir / "shared"));
    EXPECT_EQ(modeOf(program.dir / "shared"), 0640u);
  }
  ::umask(previous);
}

TEST(PrivateFiles, ConfigAndBackupFoldersAreMadePrivateAndTheBackupsToo) {
  const mode_t previous = ::umask(022);
  test::TestProgram program;
  const fs::path comIni = program.dir / "config" / "rcp520" / "Com.ini";
  ASSERT_FALSE(link::writePortName(comIni, "COM3"));
  EXPECT_EQ(modeOf(comIni.parent_path()), 0700u);
  EXPECT_EQ(modeOf(comIni.parent_path().parent_path()), 0700u);
  EXPECT_EQ(modeOf(comIni), 0600u);

  const fs::path folder = program.dir / "state" / "rcp520" / "backups";
  const BackupOutcome outcome = keepBackup(program.state(), folder, 1765000000);
  ASSERT_TRUE(outcome.backup) << outcome.error;
  EXPECT_EQ(modeOf(folder), 0700u);
  EXPECT_EQ(modeOf(folder.parent_path()), 0700u);
  EXPECT_EQ(modeOf(outcome.backup->file), 0600u);
  ::umask(previous);
}

// Another user of the machine plants links named like the next backup: one to a file of the
// victim's, one to a name where the victim has no file yet.
TEST(PrivateFiles, ABackupNeverFollowsALinkPlantedAtItsName) {
  test::TestProgram program;
  const fs::path folder = program.dir / "backups";
  fs::create_directories(folder);
  spit(program.dir / "victim", "victim's own");
  std::tm when{};
  const std::time_t at = 1765000000;
  localtime_r(&at, &when);
  const std::string name =
      backupFileName(when, "HX33", settings::Record(program.state()).text("Indivol"));
  const std::string second = name.substr(0, name.size() - 4) + "-2.ini";
  fs::create_symlink(program.dir / "victim", folder / name);
  fs::create_symlink(program.dir / "planted", folder / second);
  const BackupOutcome outcome = keepBackup(program.state(), folder, at);
  ASSERT_TRUE(outcome.backup) << outcome.error;
  EXPECT_EQ(outcome.backup->file.filename().string(), name.substr(0, name.size() - 4) + "-3.ini");
  EXPECT_EQ(slurp(program.dir / "victim"), "victim's own");
  EXPECT_FALSE(fs::exists(program.dir / "planted"));
  EXPECT_TRUE(fs::is_symlink(folder / name));
  EXPECT_TRUE(fs::is_symlink(folder / second));
}

// Links planted at the names the fleet once used for its members in the shared temporary folder.
TEST(PrivateFiles, TheFleetWritesNoMemberRecordToASharedFolder) {
  test::TestProgram program;
  spit(program.dir / "victim", "victim's own");
  const fs::path tmp = fs::temp_directory_path();
  const std::string pid = std::to_string(::getpid());
  const std::vector<fs::path> planted = {tmp / ("rcp520-fleet-check-" + pid + ".ini"),
                                         tmp / ("rcp520-fleet-" + pid + ".ini")};
  for (const fs::path& link : planted) {
    fs::remove(link);
    fs::create_symlink(program.dir / "victim", link);
  }
  const link::IniDocument templ(std::string("[File0]\r\nIndivol=3262001201\r\n"));
  FleetPlanError error;
  const auto members = numbersInRange("3262001201-3262001202", error);
  ASSERT_TRUE(members);
  (void)checkFleet(templ, *members);
  EXPECT_EQ(slurp(program.dir / "victim"), "victim's own");
  for (const fs::path& link : planted) {
    EXPECT_TRUE(fs::is_symlink(link));
    fs::remove(link);
  }
}

TEST(OutputClash, AnOutputThatIsAnInputOrAnotherOutputIsNamedLinksResolved) {
  test::TempDir dir;
  spit(dir / "a.ini", "[File0]\r\n");
  spit(dir / "b.ini", "[File0]\r\n");
  fs::create_symlink(dir / "a.ini", dir / "alias");
  fs::create_hard_link(dir / "b.ini", dir / "hard");
  EXPECT_FALSE(outputClash({{"跟踪文件", dir / "t.txt"}}, {{"数据文件", dir / "a.ini"}}));
  EXPECT_FALSE(outputClash({{"跟踪文件", ""}}, {{"数据文件", ""}}));
  EXPECT_EQ(outputClash({{"跟踪文件", dir / "alias"}}, {{"数据文件", dir / "a.ini"}}),
            "跟踪文件“" + (dir / "alias").string() + "”与数据文件“" + (dir / "a.ini").string() +
                "”是同一个文件：输出会毁掉它，未做任何操作。");
  EXPECT_TRUE(
      outputClash({{"日志", dir / "hard"}}, {{"模板", dir / "a.ini"}, {"号码表", dir / "b.ini"}}));
  EXPECT_TRUE(outputClash({{"跟踪文件", dir / "a.ini"}, {"日志", dir / "alias"}}, {}));
}

// The commands refuse before anything is opened: the input is intact, nothing was sent.
TEST(OutputClash, CommandsRefuseATraceOrLogThatIsTheirInput) {
  test::TempDir dir;
  const std::string data = "[File0]\r\nIndivol=3262001201\r\n";
  spit(dir / "data.ini", data);
  spit(dir / "table.csv", "Indivol\r\n3262001201\r\n");
  const CliSafety safety{false, false, false, dir / "backups"};
  {
    std::ostringstream out, err;
    EXPECT_EQ(
        cliWrite(dir / "no-port", dir / "data.ini", {out, err, false, dir / "data.ini"}, safety),
        kExitUsageFileOrPort);
    EXPECT_NE(err.str().find("是同一个文件"), std::string::npos) << err.str();
  }
  {
    std::ostringstream out, err;
    EXPECT_EQ(
        cliRead(dir / "no-port", dir / "data.ini", {out, err, false, dir / "data.ini"}, safety),
        kExitUsageFileOrPort);
  }
  {
    std::ostringstream out, err;
    FleetRequest request{dir / "data.ini", "", dir / "table.csv", dir / "table.csv", false};
    EXPECT_EQ(cliFleet(dir / "no-port", request, {out, err}, safety), kExitUsageFileOrPort);
    request = {dir / "data.ini", "3262001201-3262001202", "", dir / "data.ini", false};
    EXPECT_EQ(cliFleet(dir / "no-port", request, {out, err}, safety), kExitUsageFileOrPort);
  }
  EXPECT_EQ(slurp(dir / "data.ini"), data);
  EXPECT_EQ(slurp(dir / "table.csv"), "Indivol\r\n3262001201\r\n");
}

// A FIFO somebody keeps open for reading would take the trace for ever; a device swallows it.
TEST(OutputsThatHang, ATraceOrLogThatIsNoRegularFileIsRefusedWithAMessage) {
  test::TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  const int reader = ::open((dir / "fifo").c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const CliSafety safety{false, false, false, dir / "backups"};
  {
    std::ostringstream out, err;
    EXPECT_EQ(cliInfo(dir / "no-port", {out, err, false, dir / "fifo"}), kExitUsageFileOrPort);
    EXPECT_EQ(err.str(), "无法写入跟踪文件“" + (dir / "fifo").string() + "”：它不是普通文件\n");
  }
  spit(dir / "data.ini", "[File0]\r\nIndivol=3262001201\r\n");
  const fs::path null = specialNode(dir / "null");
  for (const fs::path& log : {dir / "fifo", null}) {
    std::ostringstream out, err;
    const FleetRequest request{dir / "data.ini", "3262001201-3262001202", "", log, false};
    EXPECT_EQ(cliFleet(dir / "no-port", request, {out, err}, safety), kExitUsageFileOrPort);
    EXPECT_EQ(err.str(), "无法写入日志 " + log.string() + "：它不是普通文件\n");
  }
  ::close(reader);
}

TEST(FleetLog, AppendingStartsANewLineAndReadingSkipsAndNamesBrokenRows) {
  test::TempDir dir;
  const fs::path log = dir / "log.csv";
  spit(log, std::string(kLogHeader) + "\n" +
                "2026-12-09 10:00:00,COM1,RCP,HX33,3262001201,写录完毕,1.0\n"
                "2026-12-09 10:01:00,COM1,RCP,HX33,3262001202,校验正确,1.0");
  ASSERT_TRUE(
      appendLogRow(log, {"t", "COM1", "RCP", "HX33", "3262001203", FleetResult::Written, 1.0}));
  EXPECT_EQ(readFleetLog(log).done,
            (std::set<std::string>{"3262001201", "3262001202", "3262001203"}));

  // A row ending in binary bytes, and half a row.
  spit(log, std::string(kLogHeader) + "\n" + "t,COM1,RCP,HX33,3262001201,写录完毕,1.0\x01\xff" +
                "\n" + "t,COM1,RCP\n");
  ASSERT_TRUE(
      appendLogRow(log, {"t", "COM1", "RCP", "HX33", "3262001204", FleetResult::Written, 1.0}));
  const FleetLogReading reading = readFleetLog(log);
  EXPECT_EQ(reading.done, std::set<std::string>{"3262001204"});
  EXPECT_EQ(reading.skippedLines, (std::vector<std::size_t>{2, 3}));
  EXPECT_EQ(skippedRowsText(log, reading.skippedLines),
            "日志 " + log.string() + " 第 2、3 行不是完整的记录，已跳过。");

  // An empty log (made by the check before the run) gets its header with the first row.
  spit(log, "");
  ASSERT_TRUE(
      appendLogRow(log, {"t", "COM1", "RCP", "HX33", "3262001205", FleetResult::Failed, 1.0}));
  EXPECT_EQ(slurp(log), std::string(kLogHeader) + "\nt,COM1,RCP,HX33,3262001205,写录失败,1.0\n");
}

TEST(SaveRefusal, AReadOnlyOrSpecialTargetOrAClosedFolderIsFoundBeforeTheTransfer) {
  test::TempDir dir;
  spit(dir / "ro.ini", "");
  fs::permissions(dir / "ro.ini", static_cast<fs::perms>(0444));
  EXPECT_EQ(link::saveRefusal(dir / "ro.ini")->message(),
            "无法写入文件“" + (dir / "ro.ini").string() + "”：文件是只读的");
  EXPECT_EQ(link::saveRefusal(specialNode(dir / "node"))->message(),
            "无法写入文件“" + (dir / "node").string() + "”：它不是普通文件");
  EXPECT_TRUE(link::saveRefusal(dir / "missing" / "x.ini"));
  EXPECT_FALSE(link::saveRefusal(dir / "new.ini"));
  // The read stops before it opens the port.
  std::ostringstream out, err;
  EXPECT_EQ(
      cliRead(dir / "no-port", dir / "ro.ini", {out, err}, {false, false, false, dir / "backups"}),
      kExitUsageFileOrPort);
  EXPECT_EQ(err.str(), "无法写入文件“" + (dir / "ro.ini").string() + "”：文件是只读的\n");
}

}  // namespace
}  // namespace rcp::app
