// rcp520-radio playing a fleet: rcp520-cli writes two radios one after another over the
// pseudo-terminal, and each radio's memory file holds what its write left; rcp520-cli fleet
// programs the whole fleet, logs it, and a rerun with the log finishes what was left.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "link/ini_document.hpp"
#include "processes.hpp"
#include "settings/data_file.hpp"
#include "support/test_program.hpp"

namespace rcp::e2e {
namespace {

std::filesystem::path scratch(const std::string& name) {
  return std::filesystem::temp_directory_path() /
         ("rcp520-e2e-fleet-" + std::to_string(getpid()) + "-" + name);
}

std::filesystem::path dataFile(const std::string& name, const std::string& firstChannel) {
  const auto file = scratch(name);
  test::TestProgram app;
  app.record().set("FirstChannel", firstChannel);
  EXPECT_FALSE(settings::saveDataFile(app.state(), file));
  return file;
}

// The memory `rcp520-cli image` shows for a data file, as the 1024 bytes of a memory file.
std::string imageOf(const std::filesystem::path& file) {
  const Finished image = run(RCP520_CLI, {"image", file.string()});
  EXPECT_EQ(image.exitCode, 0) << image.err;
  std::istringstream lines(image.out);
  std::string bytes;
  std::string line;
  while (std::getline(lines, line)) {
    const auto colon = line.find(": ");
    if (colon == std::string::npos) continue;
    for (std::size_t at = colon + 2; at + 1 < line.size(); at += 2)
      bytes += static_cast<char>(std::stoi(line.substr(at, 2), nullptr, 16));
  }
  return bytes;
}

std::string contents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(RadioFleet, EachWriteReachesTheNextRadioAndLandsInItsOwnMemoryFile) {
  const auto first = dataFile("first.ini", "25");
  const auto second = dataFile("second.ini", "40");
  const auto memories = scratch("memories");
  {
    RadioProcess radio({"--fleet", "2", "--swap-seconds", "0.2", "--memory", memories.string()});
    const Finished one = run(RCP520_CLI, {"write", "--port", radio.device(), first.string()});
    EXPECT_EQ(one.exitCode, 0) << one.err;
    // A quiet second unplugs radio 1; radio 2 comes 0.2 s later.
    std::this_thread::sleep_for(std::chrono::milliseconds(2000));
    const Finished two = run(RCP520_CLI, {"write", "--port", radio.device(), second.string()});
    EXPECT_EQ(two.exitCode, 0) << two.err;
    EXPECT_EQ(radio.stop(), 0);
  }
  const std::string image1 = imageOf(first);
  ASSERT_EQ(image1.size(), 1024u);
  EXPECT_EQ(contents(memories / "radio-1.bin"), image1);
  EXPECT_EQ(contents(memories / "radio-2.bin"), imageOf(second));
  EXPECT_NE(image1, imageOf(second));
  for (const auto& file : {first, second, memories}) std::filesystem::remove_all(file);
}

// ---- rcp520-cli fleet against the fleet radio ----------------------------------------------

const std::vector<std::string> kNumbers = {"3262001201", "3262001202", "3262001203", "3262001204",
                                           "3262001205"};

// The template with one radio's number, as a data file of its own.
std::filesystem::path memberFile(const std::filesystem::path& templ, const std::string& number) {
  link::IniDocument document(contents(templ));
  document.set("File0", "Indivol", number);
  const auto file = scratch("member-" + number + ".ini");
  std::ofstream(file, std::ios::binary) << document.fileBytes();
  return file;
}

std::size_t logRows(const std::filesystem::path& log) {
  std::istringstream lines(contents(log));
  std::size_t rows = 0;
  for (std::string line; std::getline(lines, line);) rows += !line.empty();
  return rows == 0 ? 0 : rows - 1;  // the header
}

TEST(FleetCommand, WritesEveryRadioItsOwnNumberAndARerunWritesNothing) {
  const auto templ = dataFile("template.ini", "25");
  const auto memories = scratch("fleet-memories");
  const auto log = scratch("fleet.csv");
  std::filesystem::remove(log);
  RadioProcess radio({"--fleet", "5", "--swap-seconds", "1", "--memory", memories.string()});
  const auto args = std::vector<std::string>{"fleet", "--port", radio.device(), templ.string(),
                                             "--numbers", "3262001201-3262001205", "--verify",
                                             "--log", log.string()};
  const Finished run1 = run(RCP520_CLI, args);
  EXPECT_EQ(run1.exitCode, 0) << run1.err;
  EXPECT_EQ(logRows(log), 5u);
  EXPECT_NE(run1.err.find("写好 5 台，失败 0 次，剩余 0 台"), std::string::npos) << run1.err;
  for (std::size_t k = 0; k < kNumbers.size(); ++k) {
    const auto member = memberFile(templ, kNumbers[k]);
    EXPECT_TRUE(contents(memories / ("radio-" + std::to_string(k + 1) + ".bin")) ==
                imageOf(member))
        << "radio " << k + 1;
    std::filesystem::remove(member);
  }
  const Finished run2 = run(RCP520_CLI, args);
  EXPECT_EQ(run2.exitCode, 0);
  EXPECT_EQ(logRows(log), 5u) << "nothing more written";
  for (const auto& file : {templ, memories, log}) std::filesystem::remove_all(file);
}

TEST(FleetCommand, ARadioLostAtTheThirdIsLoggedAndTheRerunFinishesTheRest) {
  const auto templ = dataFile("template2.ini", "25");
  const auto log = scratch("lost.csv");
  std::filesystem::remove(log);
  const auto memories = scratch("lost-memories");
  {
    RadioProcess radio({"--fleet", "5", "--swap-seconds", "1"});
    const Finished cut = run(
        RCP520_CLI,
        {"fleet", "--port", radio.device(), templ.string(), "--numbers", "3262001201-3262001205",
         "--log", log.string()},
        [&](pid_t cli) {
          // Radio 3 is being written a few seconds after the second row is logged.
          EXPECT_TRUE(waitUntil([&] { return logRows(log) >= 2; }, std::chrono::seconds(60)));
          std::this_thread::sleep_for(std::chrono::milliseconds(4000));
          radio.kill();
          EXPECT_TRUE(waitUntil([&] { return logRows(log) >= 3; }, std::chrono::seconds(60)));
          ::kill(cli, SIGINT);  // the technician gives up waiting for the next radio
        });
    EXPECT_EQ(cut.exitCode, 130);  // as every command after Ctrl+C
    EXPECT_NE(cut.err.find("写好 2 台，失败 1 次，剩余 3 台"), std::string::npos) << cut.err;
  }
  const std::string rows = contents(log);
  EXPECT_NE(rows.find("3262001202,写录完毕"), std::string::npos) << rows;
  EXPECT_NE(rows.find("3262001203,写录失败"), std::string::npos) << rows;

  RadioProcess radio({"--fleet", "3", "--swap-seconds", "1", "--memory", memories.string()});
  const Finished rerun =
      run(RCP520_CLI, {"fleet", "--port", radio.device(), templ.string(), "--numbers",
                       "3262001201-3262001205", "--log", log.string()});
  EXPECT_EQ(rerun.exitCode, 0) << rerun.err;
  for (std::size_t k = 2; k < kNumbers.size(); ++k) {
    const auto member = memberFile(templ, kNumbers[k]);
    EXPECT_TRUE(contents(memories / ("radio-" + std::to_string(k - 1) + ".bin")) ==
                imageOf(member))
        << kNumbers[k];
    std::filesystem::remove(member);
  }
  for (const auto& file : {templ, memories, log}) std::filesystem::remove_all(file);
}

}  // namespace
}  // namespace rcp::e2e
