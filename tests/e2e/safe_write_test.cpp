// The safe write from the command line against rcp520-radio over a pseudo-terminal: every read
// keeps a backup, a write with both safeties reads, writes and reads back, a radio that stores a
// byte wrongly is caught, and a write that fails half-way names the backup to restore from.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "link/ini_document.hpp"
#include "processes.hpp"
#include "safety/backups.hpp"

namespace rcp::e2e {
namespace {

namespace fs = std::filesystem;

fs::path scratch(const std::string& name) {
  return fs::temp_directory_path() / ("rcp520-e2e-safe-" + std::to_string(getpid()) + "-" + name);
}

std::string contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

fs::path backupsFolder() {
  return testStateHome() / "rcp520" / "backups";
}

// A data file the radio can hold exactly: one read out of a radio the tool wrote.
fs::path radioFile(const std::string& name) {
  const fs::path file = scratch(name);
  RadioProcess radio({});
  EXPECT_EQ(
      run(RCP520_CLI, {"read", "--no-backup", "--port", radio.device(), file.string()}).exitCode,
      0);
  return file;
}

TEST(SafeWriteCli, AReadKeepsABackupEqualToTheFileItSaved) {
  fs::remove_all(backupsFolder());
  const fs::path saved = scratch("read.ini");
  RadioProcess radio({});
  const Finished read = run(RCP520_CLI, {"read", "--port", radio.device(), saved.string()});
  ASSERT_EQ(read.exitCode, 0) << read.err;
  const auto kept = app::listBackups(backupsFolder());
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].model, "HX33");
  const link::IniDocument a(contents(saved)), b(contents(kept[0].file));
  EXPECT_EQ(a.keys("File0"), b.keys("File0"));
  for (const std::string& key : a.keys("File0"))
    EXPECT_EQ(a.value("File0", key), b.value("File0", key)) << key;

  const Finished listed = run(RCP520_CLI, {"backups"});
  EXPECT_EQ(listed.exitCode, 0);
  EXPECT_NE(listed.out.find(kept[0].file.string()), std::string::npos) << listed.out;
  fs::remove(saved);
}

TEST(SafeWriteCli, BothSafetiesReadThenWriteThenReadBackAndSayItVerified) {
  const fs::path source = radioFile("both.ini");
  fs::remove_all(backupsFolder());
  const fs::path trace = scratch("both-trace.txt");
  RadioProcess radio({"--trace", trace.string()});
  const Finished write =
      run(RCP520_CLI, {"write", "--backup", "--verify", "--port", radio.device(), source.string()});
  EXPECT_EQ(write.exitCode, 0) << write.err;
  EXPECT_TRUE(write.err.ends_with("校验正确\n")) << write.err;
  EXPECT_EQ(app::listBackups(backupsFolder()).size(), 1u);
  radio.stop();
  // On the line: the reads' last request before the first WRITE and again after the bulk block.
  const std::string line = receivedByRadio(trace);
  const std::size_t firstRead = line.find("READ02C928");
  const std::size_t firstWrite = line.find("WRITE");
  const std::size_t readBack = line.rfind("READ02C928");
  EXPECT_LT(firstRead, firstWrite);
  EXPECT_GT(readBack, line.rfind("WRITE"));
  fs::remove(source);
  fs::remove(trace);
}

TEST(SafeWriteCli, AByteStoredWronglyExitsThreeNamingTheField) {
  const fs::path source = radioFile("corrupt.ini");
  RadioProcess radio({"--corrupt", "0x0CF"});
  const Finished write =
      run(RCP520_CLI, {"write", "--verify", "--port", radio.device(), source.string()});
  EXPECT_EQ(write.exitCode, 3) << write.err;
  EXPECT_NE(write.err.find("写后校验失败"), std::string::npos) << write.err;
  // A line of its own, the bytes alone: the window would show the value clamped.
  EXPECT_NE(write.err.find("\n用户信息 › 时间常数 › TA：地址 0x0CF：写入 0A，读回 F5\n"),
            std::string::npos)
      << write.err;
  EXPECT_EQ(write.err.find("\\x0A"), std::string::npos) << write.err;
  fs::remove(source);
}

// The radio stops acknowledging at chunk 30: the command names the backup it took first, and
// writing that backup back leaves the radio as it was before.
TEST(SafeWriteCli, AWriteFailingHalfWayNamesTheBackupThatPutsTheRadioBack) {
  const fs::path memory = scratch("memory.bin");
  const fs::path first = radioFile("first.ini");
  {
    RadioProcess radio({"--memory", memory.string()});
    ASSERT_EQ(run(RCP520_CLI, {"write", "--port", radio.device(), first.string()}).exitCode, 0);
    radio.stop();
  }
  const std::string before = contents(memory);
  fs::remove_all(backupsFolder());
  std::string backup;
  {
    RadioProcess radio({"--memory", memory.string(), "--no-ack-after", "30"});
    const fs::path second = scratch("second.ini");
    link::IniDocument changed(contents(first));
    changed.set("File0", "TA", "33");
    std::ofstream(second, std::ios::binary) << changed.fileBytes();
    const Finished write =
        run(RCP520_CLI, {"write", "--backup", "--port", radio.device(), second.string()});
    fs::remove(second);
    EXPECT_EQ(write.exitCode, 1);
    EXPECT_TRUE(write.err.starts_with("写录失败！电台中现在可能只有部分配置。")) << write.err;
    const auto kept = app::listBackups(backupsFolder());
    ASSERT_EQ(kept.size(), 1u);
    backup = kept[0].file.string();
    EXPECT_NE(write.err.find(backup), std::string::npos) << write.err;
    // The command as printed, with the port used, on lines of their own.
    EXPECT_NE(write.err.find("\n写回：rcp520-cli write --port \"" + radio.device() + "\" \"" +
                             backup + "\"\n"),
              std::string::npos)
        << write.err;
    radio.stop();
  }
  EXPECT_TRUE(contents(memory) != before) << "the failed write changed nothing";
  RadioProcess radio({"--memory", memory.string()});
  EXPECT_EQ(run(RCP520_CLI, {"write", "--port", radio.device(), backup}).exitCode, 0);
  radio.stop();
  EXPECT_TRUE(contents(memory) == before);
  fs::remove(memory);
  fs::remove(first);
}

}  // namespace
}  // namespace rcp::e2e
