// rcp520-radio playing a fleet: rcp520-cli writes two radios one after another over the
// pseudo-terminal, and each radio's memory file holds what its write left.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

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

}  // namespace
}  // namespace rcp::e2e
