// rcp520-cli writes a data file into rcp520-radio and reads it back, over a pseudo-terminal.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "link/ini_document.hpp"
#include "processes.hpp"
#include "settings/data_file.hpp"
#include "support/test_program.hpp"

namespace rcp::e2e {
namespace {

std::filesystem::path scratch(const std::string& name) {
  return std::filesystem::temp_directory_path() /
         ("rcp520-e2e-transfer-" + std::to_string(getpid()) + "-" + name);
}

std::string contents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A data file with values away from the start values all over the record.
void writeDataFile(const std::filesystem::path& file) {
  test::TestProgram app;
  settings::Record r = app.record();
  for (const auto& [field, value] :
       std::vector<std::pair<std::string, std::string>>{{"FirstChannel", "25"},
                                                        {"FirstStop", "300"},
                                                        {"RegCode", "1234"},
                                                        {"Hunt07", "77"},
                                                        {"ZoneData", "123"},
                                                        {"系统告警号", "*12345678901"},
                                                        {"Group2", "3262001301"},
                                                        {"PhoneNumber3", "123456789"}})
    r.set(field, value);
  r.set("TA", std::int64_t{7});
  r.set("Callback", true);
  r.set("AutoRoam", true);
  r.set("Talk", true);
  r.set("SingalCode", std::string("Enhanced"));
  ASSERT_FALSE(settings::saveDataFile(app.state(), file));
}

// Two values of a key are the same when equal as text or, both being decimal numbers, as
// numbers: a data file keeps a number as typed, the radio keeps its value.
bool same(const std::string& a, const std::string& b) {
  const auto decimal = [](const std::string& s) {
    return !s.empty() && s.size() < 10 && s.find_first_not_of("0123456789") == std::string::npos;
  };
  return a == b || (decimal(a) && decimal(b) && std::stol(a) == std::stol(b));
}

TEST(CliTransfers, AWriteReadsBackEqualAndLeavesTheMemoryTheImageShows) {
  const auto source = scratch("source.ini");
  const auto readBack = scratch("read.ini");
  const auto memory = scratch("memory.bin");
  writeDataFile(source);
  {
    RadioProcess radio({"--memory", memory.string()});
    const Finished write = run(RCP520_CLI, {"write", "--port", radio.device(), source.string()});
    EXPECT_EQ(write.exitCode, 0) << write.err;
    EXPECT_EQ(write.err, "");
    const Finished read = run(RCP520_CLI, {"read", "--port", radio.device(), readBack.string()});
    EXPECT_EQ(read.exitCode, 0) << read.err;
    EXPECT_EQ(read.err, "");
    EXPECT_EQ(radio.stop(), 0);
  }

  // Every key comes back: the file holds only what the radio keeps, or start values that the
  // opening leaves alone (the start-up text) or the radio cannot tell apart (the new version).
  const link::IniDocument written(contents(source));
  const link::IniDocument read(contents(readBack));
  int compared = 0;
  for (const std::string& key : written.keys("File0")) {
    const auto back = read.value("File0", key);
    ASSERT_TRUE(back) << key;
    EXPECT_TRUE(same(*written.value("File0", key), *back))
        << key << ": " << *written.value("File0", key) << " came back as " << *back;
    ++compared;
  }
  EXPECT_GT(compared, 250);
  EXPECT_EQ(read.value("File0", "系统告警号"), "*12345678901");

  const Finished image = run(RCP520_CLI, {"image", source.string()});
  EXPECT_EQ(image.exitCode, 0) << image.err;
  std::istringstream lines(image.out);
  std::string saved = contents(memory);
  ASSERT_EQ(saved.size(), 1024u);
  std::string line;
  for (std::size_t at = 0; at < 1024; at += 16) {
    ASSERT_TRUE(std::getline(lines, line));
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, "%04zX: ", at);
    std::string digits;
    for (std::size_t i = 0; i < 16; ++i) {
      char pair[3];
      std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(saved[at + i]));
      digits += pair;
    }
    EXPECT_EQ(line, prefix + digits);
  }
  EXPECT_FALSE(std::getline(lines, line));
  for (const auto& file : {source, readBack, memory}) std::filesystem::remove(file);
}

TEST(CliTransfers, FailuresGiveTheWindowsMessageAndTheirExitCode) {
  const auto source = scratch("fail.ini");
  writeDataFile(source);

  RadioProcess stopsAcknowledging({"--no-ack-after", "11"});
  const Finished failed =
      run(RCP520_CLI, {"write", "--port", stopsAcknowledging.device(), source.string()});
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_EQ(failed.err,
            "写录失败！电台中现在可能只有部分配置。\n"
            "本次运行没有读取过电台，没有可写回的备份。请检查连线和电池后重新写录。"
            "以往读取的备份可用 rcp520-cli backups 列出。\n");

  RadioProcess silent({"--silent"});
  const Finished absent = run(RCP520_CLI, {"read", "--port", silent.device(), "never.ini"});
  EXPECT_EQ(absent.exitCode, 1);
  EXPECT_EQ(absent.err, "设备未开启！请检查电源及通讯口！\n");
  EXPECT_FALSE(std::filesystem::exists("never.ini"));

  const Finished missing =
      run(RCP520_CLI, {"write", "--port", stopsAcknowledging.device(), "/no/such/file.ini"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("/no/such/file.ini"), std::string::npos) << missing.err;

  for (const auto& args :
       std::vector<std::vector<std::string>>{{"read"},
                                             {"write", "--port", "x"},
                                             {"image", "a.ini", "b.ini"},
                                             {"image", "--port", "x", "a.ini"}}) {
    EXPECT_EQ(run(RCP520_CLI, args).exitCode, 2);
  }
  EXPECT_EQ(run(RCP520_CLI, {"image", "--model", "ZX81", source.string()}).exitCode, 2);
  std::filesystem::remove(source);
}

}  // namespace
}  // namespace rcp::e2e
