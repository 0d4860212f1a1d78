// The command-line tool against the virtual radio program, over pseudo-terminals.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "link/clock.hpp"
#include "link/commands.hpp"
#include "link/greeting.hpp"
#include "link/hex_text.hpp"
#include "link/identification.hpp"
#include "link/port_opening.hpp"
#include "link/serial_port.hpp"
#include "processes.hpp"
#include "sim/radio_models.hpp"

namespace rcp::e2e {
namespace {

using Millis = std::chrono::milliseconds;

std::filesystem::path scratch(const std::string& name) {
  return std::filesystem::temp_directory_path() /
         ("rcp520-e2e-" + std::to_string(getpid()) + "-" + name);
}

TEST(CliInfo, NamesEveryModelTheRadioCanBe) {
  for (const auto& entry : sim::modelIdentities()) {
    RadioProcess radio({"--model", std::string(entry.model)});
    const Finished info = run(RCP520_CLI, {"info", "--port", radio.device()});
    const auto& row = link::matchModel(*sim::identityOfModel(entry.model));
    EXPECT_EQ(info.exitCode, 0) << entry.model << ": " << info.err;
    EXPECT_EQ(info.out, std::string(entry.identity) + "\n" + std::string(row.caption) + "\n");
    EXPECT_EQ(row.model, entry.model);
  }
}

TEST(CliInfo, IdentifiesARawIdentityByItsBytes) {
  RadioProcess radio({"--identity", "abc44S"});
  const Finished info = run(RCP520_CLI, {"info", "--port", radio.device()});
  EXPECT_EQ(info.exitCode, 0);
  EXPECT_EQ(info.out, "abc44S\nHX34s单工手持台参数设置\n");
}

TEST(CliInfo, ReportsASilentRadioAfterTheIdentityTimeOut) {
  RadioProcess radio({"--silent"});
  const auto start = std::chrono::steady_clock::now();
  const Finished info = run(RCP520_CLI, {"info", "--port", radio.device()});
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(info.exitCode, 1);
  EXPECT_EQ(info.err, "设备未开启！请检查电源及通讯口！\n");
  EXPECT_EQ(info.out, "");
  EXPECT_GE(took, Millis(10 + 380));
  EXPECT_LT(took, Millis(2000));
}

TEST(CliInfo, APortThatCannotBeOpenedOrBadArgumentsExitWithTwo) {
  const Finished missing = run(RCP520_CLI, {"info", "--port", "/dev/does-not-exist"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_EQ(missing.err, "通讯口被占用\n设备 /dev/does-not-exist 不存在，请检查数据线是否插好。\n");

  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"flash"}, {"info", "--port"}, {"info", "--speed", "9600"}}) {
    const Finished bad = run(RCP520_CLI, args);
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("用法：rcp520-cli"), std::string::npos);
  }
}

TEST(CliInfo, APortHeldByAnotherProgramDoesNotOpen) {
  RadioProcess radio({"--model", "HX77"});
  link::SerialPort holder;  // another program's hold, through its own open file
  ASSERT_TRUE(holder.open(radio.device()));
  const Finished busy = run(RCP520_CLI, {"info", "--port", radio.device()});
  EXPECT_EQ(busy.exitCode, 2);
  EXPECT_EQ(busy.err, "通讯口被占用\n" + radio.device() +
                          " 正被另一个程序占用：e2e_tests（进程号 " + std::to_string(getpid()) +
                          "）。\n")
      << "the lock's holder is named, not the radio that keeps the line open";
  holder.close();
  EXPECT_EQ(run(RCP520_CLI, {"info", "--port", radio.device()}).exitCode, 0);
}

TEST(RadioProgram, LinksTracesAndKeepsItsMemory) {
  const auto link = scratch("link");
  const auto trace = scratch("trace");
  const auto memory = scratch("memory");
  std::vector<char> initial(1024, 0);
  initial[0x0DC] = 0x33;
  std::ofstream(memory, std::ios::binary).write(initial.data(), 1024);

  {
    RadioProcess radio({"--model", "MX521", "--link", link.string(), "--trace", trace.string(),
                        "--memory", memory.string()});
    EXPECT_EQ(std::filesystem::read_symlink(link), radio.device());

    // A bulk write over the real line: the bulk greeting, "D", then 61 acknowledged chunks.
    link::SerialPort port;
    link::RealClock clock;
    link::RadioIdentity identity{};
    ASSERT_TRUE(port.open(link.string()));
    ASSERT_TRUE(link::greetBeforeBulkChunks(port, clock, identity));
    EXPECT_EQ(link::identityText(identity), "RCP21M MX521 V2.10");
    const std::vector<std::uint8_t> chunk = {0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5};
    for (int i = 0; i < 61; ++i) {
      ASSERT_TRUE(port.write(link::dumpChunk(chunk)));
      port.purgeReceive();
      std::uint8_t ack = 0;
      ASSERT_EQ(port.read(std::span(&ack, 1)), 1u) << "chunk " << i;
    }
    port.close();
    EXPECT_EQ(radio.stop(), 0);
  }
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));

  std::ifstream in(memory, std::ios::binary);
  const std::vector<char> saved((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(saved.size(), 1024u);
  EXPECT_EQ(static_cast<std::uint8_t>(saved[0x010]), 0xA5);
  EXPECT_EQ(static_cast<std::uint8_t>(saved[0x0DC]), 0x33);  // kept from the bulk stream
  EXPECT_EQ(static_cast<std::uint8_t>(saved[0x1F0]), 0x00);

  std::ifstream traced(trace);
  std::string first;
  std::string second;
  std::getline(traced, first);
  std::getline(traced, second);
  EXPECT_TRUE(first.ends_with(" < 51")) << first;    // "Q"
  EXPECT_TRUE(second.ends_with(" < 91")) << second;  // the wake byte, a burst of its own
  std::filesystem::remove(trace);
  std::filesystem::remove(memory);
}

TEST(RadioProgram, CanStopAcknowledgingChunks) {
  RadioProcess radio({"--no-ack-after", "2"});
  link::SerialPort port;
  link::RealClock clock;
  link::RadioIdentity identity{};
  ASSERT_TRUE(port.open(radio.device()));
  ASSERT_TRUE(link::greetBeforeBulkChunks(port, clock, identity));
  std::vector<std::size_t> acks;
  for (int i = 0; i < 3; ++i) {
    port.write(link::textBytes("0000000000000000"));
    std::uint8_t ack = 0;
    acks.push_back(port.read(std::span(&ack, 1)));
  }
  EXPECT_EQ(acks, (std::vector<std::size_t>{1, 1, 0}));
}

}  // namespace
}  // namespace rcp::e2e
