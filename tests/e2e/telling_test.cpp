// rcp520-cli says exactly what happened: a verification that could not read back, a Ctrl+C
// during the backup read before a write, the common mistakes on the command line, in one
// language and without artefacts.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "processes.hpp"
#include "settings/data_file.hpp"
#include "support/test_program.hpp"

namespace rcp::e2e {
namespace {

namespace fs = std::filesystem;

fs::path scratch(const std::string& name) {
  return fs::temp_directory_path() /
         ("rcp520-e2e-telling-" + std::to_string(getpid()) + "-" + name);
}

fs::path dataFile(const std::string& name) {
  const fs::path file = scratch(name);
  test::TestProgram app;
  EXPECT_FALSE(settings::saveDataFile(app.state(), file));
  return file;
}

TEST(Telling, AVerificationThatCouldNotReadBackExitsFour) {
  const fs::path source = dataFile("silent.ini");
  // Silent after two READs: the write is taken, the read-back goes unanswered.
  RadioProcess radio({"--silent-after-reads", "2"});
  const Finished write = run(
      RCP520_CLI, {"write", "--verify", "--no-backup", "--port", radio.device(), source.string()});
  EXPECT_EQ(write.exitCode, 4) << write.err;
  EXPECT_NE(write.err.find("写后校验未完成"), std::string::npos) << write.err;
  EXPECT_EQ(write.err.find("校验正确"), std::string::npos) << write.err;
  fs::remove(source);
}

TEST(Telling, CtrlCDuringTheBackupReadWritesNothing) {
  const fs::path source = dataFile("backup-signal.ini");
  const fs::path trace = scratch("backup-signal-trace.txt");
  RadioProcess radio({"--trace", trace.string()});
  const Finished write =
      run(RCP520_CLI, {"write", "--backup", "--port", radio.device(), source.string()},
          [&trace](pid_t tool) {
            waitUntilRadioReceives(trace, "READ");  // the backup read has begun
            ::kill(tool, SIGINT);
          });
  radio.stop();
  EXPECT_EQ(write.exitCode, 130) << write.err;
  EXPECT_NE(write.err.find("写前备份尚未读完"), std::string::npos) << write.err;
  EXPECT_NE(write.err.find("写录没有开始，电台中的数据没有改动。"), std::string::npos) << write.err;
  EXPECT_EQ(receivedByRadio(trace).find("WRITE"), std::string::npos);
  for (const auto& file : {source, trace}) fs::remove(file);
}

// A multi-line message keeps its line breaks; nothing shows "\x0A".
TEST(Telling, TheCommonMistakesAreToldInOneLanguage) {
  const fs::path source = dataFile("mistakes.ini");
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string said;
  };
  for (const Case& c : std::vector<Case>{
           {{"image", "--model", "FOO", source.string()}, 2, "可用的型号：HX77"},
           {{"image", "--model", "", source.string()}, 2, "没有型号“”"},
           {{"fleet", "missing.ini", "--numbers", "3262001201"}, 2, "文件“missing.ini”不存在！"},
           {{"info", "--port", "/dev/null"}, 2, "/dev/null 不是串口设备。"},
           {{"fleet", source.string()}, 2, "需要 --numbers 或 --table"},
       }) {
    const Finished done = run(RCP520_CLI, c.args);
    EXPECT_EQ(done.exitCode, c.exitCode) << c.args.front() << done.err;
    EXPECT_NE(done.err.find(c.said), std::string::npos) << done.err;
    EXPECT_EQ(done.err.find("\\x0A"), std::string::npos) << done.err;
  }
  const Finished help = run(RCP520_CLI, {"--help-all"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.find("{false}"), std::string::npos);
  EXPECT_NE(help.out.find("  4  "), std::string::npos);
  for (const char* command :
       {"info", "read", "write", "image", "ports", "backups", "fleet", "check", "diff"}) {
    const Finished own = run(RCP520_CLI, {command, "--help"});
    EXPECT_EQ(own.exitCode, 0) << command;
    EXPECT_NE(own.out.find(std::string("Example: rcp520-cli ") + command), std::string::npos)
        << command;
  }
  fs::remove(source);
}

TEST(Telling, TheBackupsFolderThatCannotBeListedIsSaid) {
  const fs::path folder = testStateHome() / "rcp520" / "backups";
  fs::remove_all(folder);
  fs::create_directories(folder.parent_path());
  std::ofstream(folder) << "a file where the folder should be";
  const Finished file = run(RCP520_CLI, {"backups"});
  EXPECT_EQ(file.exitCode, 2);
  EXPECT_NE(file.err.find("不是文件夹"), std::string::npos) << file.err;
  fs::remove(folder);
  // A name with an escape byte is listed escaped.
  fs::create_directories(folder);
  std::ofstream(folder / "20261209-120000-HX33-3262001201\x1b[2J.ini") << "[File0]\n";
  const Finished listed = run(RCP520_CLI, {"backups"});
  EXPECT_EQ(listed.exitCode, 0);
  EXPECT_NE(listed.out.find("3262001201"), std::string::npos) << listed.out;
  EXPECT_EQ(listed.out.find('\x1b'), std::string::npos) << listed.out;
  fs::remove_all(folder);
}

}  // namespace
}  // namespace rcp::e2e
