// A fleet of virtual radios swapped on the line, driven on virtual time as the tool drives it.

#include "sim/radio_fleet.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "link/clock.hpp"
#include "link/commands.hpp"
#include "link/greeting.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"

namespace rcp::sim {
namespace {

std::filesystem::path scratchDirectory() {
  const auto directory =
      std::filesystem::temp_directory_path() / ("rcp520-fleet-test-" + std::to_string(getpid()));
  std::filesystem::remove_all(directory);
  std::filesystem::create_directories(directory);
  return directory;
}

std::vector<std::uint8_t> contents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

bool answers(link::Port& port) {
  port.purgeBoth();
  port.write(link::progCommand());
  std::uint8_t identity[18] = {};
  return port.read(identity) == sizeof identity;
}

// The tool's bulk write of 61 chunks of `value`; how many chunks were acknowledged.
int bulkWrite(link::Port& port, link::Clock& clock, std::uint8_t value) {
  link::RadioIdentity identity{};
  if (!link::greetBeforeBulkChunks(port, clock, identity)) return 0;
  int acknowledged = 0;
  for (; acknowledged < 61; ++acknowledged) {
    port.write(link::dumpChunk(std::vector<std::uint8_t>(8, value)));
    port.purgeReceive();
    std::uint8_t ack = 0;
    if (port.read(std::span(&ack, 1)) != 1) break;
  }
  return acknowledged;
}

class Fleet : public ::testing::Test {
 protected:
  Fleet() { port.open("/dev/ttyS0"); }
  ~Fleet() override { std::filesystem::remove_all(directory); }

  static RadioFleet::Setup setupOf(const std::filesystem::path& directory) {
    RadioFleet::Setup setup;
    setup.identity = *identityOfModel("MX541");
    setup.count = 2;
    setup.directory = directory;
    return setup;
  }
  std::string readByte(std::uint16_t address) {
    port.write(link::readCommand(address, 1));
    std::string digits(2, '\0');
    digits.resize(port.read(std::span(reinterpret_cast<std::uint8_t*>(digits.data()), 2)));
    return digits;
  }
  // Time passes with the line quiet.
  void wait(int ms, RadioFleet& on) {
    clock.pause(ms);
    on.advance(clock.nowMs() * 1000);
  }
  void wait(int ms) { wait(ms, fleet); }

  std::filesystem::path directory = scratchDirectory();
  std::vector<std::string> reports;
  link::VirtualClock clock;
  RadioFleet fleet{setupOf(directory), [this](const std::string& line, bool failure) {
                     reports.push_back((failure ? "! " : "") + line);
                   }};
  SimulatedPort port{fleet, clock};
};

TEST_F(Fleet, EachRadioAnswersUntilWrittenAndQuietThenTheNextComesBlankAfterTheSwap) {
  ASSERT_TRUE(answers(port));
  EXPECT_EQ(fleet.connected(), 1);
  // Greetings and reads alone never unplug a radio, however long the line stays quiet.
  wait(60000);
  EXPECT_EQ(fleet.connected(), 1);

  ASSERT_EQ(bulkWrite(port, clock, 0x5A), 61);
  // The file follows once the line pauses.
  EXPECT_FALSE(std::filesystem::exists(directory / "radio-1.bin"));
  wait(150);
  std::vector<std::uint8_t> file = contents(directory / "radio-1.bin");
  ASSERT_EQ(file.size(), 1024u);
  EXPECT_EQ(file[0x010], 0x5A);

  // A read-back within the quiet second still reaches radio 1, and restarts the second.
  wait(750);
  EXPECT_EQ(readByte(0x010), "5A");
  port.write(link::writeCommand(0x300, std::vector<std::uint8_t>{0x77}));
  wait(900);
  EXPECT_EQ(fleet.connected(), 1);
  // What came after the bulk write is in the file at once.
  EXPECT_EQ(contents(directory / "radio-1.bin")[0x300], 0x77);
  wait(200);
  EXPECT_EQ(fleet.connected(), std::nullopt);
  EXPECT_FALSE(answers(port));

  wait(2000);
  EXPECT_EQ(fleet.connected(), std::nullopt);
  wait(1000);
  EXPECT_EQ(fleet.connected(), 2);
  EXPECT_EQ(readByte(0x010), "00");
  EXPECT_FALSE(std::filesystem::exists(directory / "radio-2.bin"));

  ASSERT_EQ(bulkWrite(port, clock, 0xA5), 61);
  wait(11100);
  EXPECT_EQ(fleet.connected(), std::nullopt);
  EXPECT_FALSE(answers(port));
  file = contents(directory / "radio-2.bin");
  ASSERT_EQ(file.size(), 1024u);
  EXPECT_EQ(file[0x010], 0xA5);
  EXPECT_EQ(file[0x300], 0x00);
  EXPECT_EQ(contents(directory / "radio-1.bin")[0x010], 0x5A);

  const std::string memory1 = (directory / "radio-1.bin").string();
  const std::string memory2 = (directory / "radio-2.bin").string();
  EXPECT_EQ(reports, (std::vector<std::string>{
                         "radio 1 of 2 connected",
                         "radio 1 of 2 unplugged, its memory in " + memory1,
                         "radio 2 of 2 connected",
                         "radio 2 of 2 unplugged, its memory in " + memory2,
                         "all 2 radios written; the line stays silent",
                     }));
}

TEST_F(Fleet, EveryRadioHasTheFaultsAndAnUnwritableDirectoryIsReported) {
  RadioFleet::Setup setup = setupOf(directory / "missing");
  setup.count = 1;
  setup.swap = 0;
  setup.faults.corruptAddresses = {0x010};
  std::vector<std::string> lines;
  RadioFleet single(setup, [&](const std::string& line, bool failure) {
    if (failure) lines.push_back(line);
  });
  SimulatedPort line(single, clock);
  line.open("/dev/ttyS1");
  ASSERT_EQ(bulkWrite(line, clock, 0x0F), 61);
  wait(150, single);
  line.write(link::writeCommand(0x300, std::vector<std::uint8_t>{0x77}));
  wait(150, single);
  ASSERT_NE(single.radio(), nullptr);
  EXPECT_EQ(single.radio()->memory()[0x010], 0xF0);
  EXPECT_EQ(single.radio()->memory()[0x011], 0x0F);
  EXPECT_EQ(single.radio()->memory()[0x300], 0x77);
  // Told once, not at every write.
  EXPECT_EQ(lines, std::vector<std::string>{"cannot write " +
                                            (directory / "missing" / "radio-1.bin").string() +
                                            ": No such file or directory"});
}

}  // namespace
}  // namespace rcp::sim
