// Command forms, the greeting and its short forms on the wire, and model identification.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/commands.hpp"
#include "link/greeting.hpp"
#include "link/hex_text.hpp"
#include "link/identification.hpp"
#include "link/port_opening.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"
#include "sim/virtual_radio.hpp"

namespace rcp::link {
namespace {

std::string text(const Bytes& bytes) {
  return {bytes.begin(), bytes.end()};
}

TEST(Commands, HaveTheirWireForms) {
  EXPECT_EQ(text(writeCommand(0x0007, std::vector<std::uint8_t>{0x01})), "\x91WRITE00070101\r");
  // A record whose length field says 0x10 while it carries 15 bytes.
  const std::vector<std::uint8_t> fifteen(15, 0xAB);
  EXPECT_EQ(text(writeCommand(0x0230, 0x10, fifteen)),
            "\x91WRITE023010" + hexDigits(fifteen) + "\r");
  EXPECT_EQ(text(readCommand(0x02C9, 0x28)), "\x91READ02C928\r");
  EXPECT_EQ(text(settingCommand("STANDARD1")), "STANDARD1\r");
  EXPECT_EQ(text(modeLetter(ModeLetter::EnterTest)), "T");
  const std::vector<std::uint8_t> chunk = {0x00, 0x1F, 0xA0, 0xFF, 1, 2, 3, 4, 5};
  EXPECT_EQ(text(dumpChunk(chunk)), "001FA0FF01020304");
}

TEST(HexText, DecodesTheRadiosDigitsByTheToolsRule) {
  EXPECT_EQ(bytesFromHex("00FF4E7"), (std::vector<std::uint8_t>{0x00, 0xFF, 0x4E}));
  EXPECT_EQ(hexDigitValue('G'), 16);  // any character above '9' counts as its code minus 55
  EXPECT_EQ(hexDigitValue(' '), -16);
  EXPECT_EQ(hexWord(0x4E71), "4E71");
}

// The virtual radio behind the modelled line on the virtual clock.
struct Bench {
  explicit Bench(const std::string& model)
      : radio(*sim::identityOfModel(model)), port(radio, clock) {
    port.open("/dev/ttyS1");
    port.clearEvents();
  }
  VirtualClock clock;
  sim::VirtualRadio radio;
  sim::SimulatedPort port;
  RadioIdentity identity{};
};

TEST(Greeting, OpeningThePortSendsWakeByteThenProgAfterTenMilliseconds) {
  sim::VirtualRadio radio(*sim::identityOfModel("MX541"));
  VirtualClock clock;
  sim::SimulatedPort port(radio, clock);
  RadioIdentity identity{};
  EXPECT_EQ(openPort(port, clock, "/dev/ttyS1", identity), PortOpening::RadioAnswered);
  // The identity's 18 bytes arrive from 20.2 ms on at 1.042 ms each.
  EXPECT_EQ(port.transcript(),
            "0 open /dev/ttyS1\n"
            "0 purge both\n"
            "0 purge both\n"
            "0 > <91>\n"
            "10 purge receive\n"
            "10 > PROG<CR>\n"
            "10 read 18 -> 18 at 39\n");
  EXPECT_EQ(identityText(identity), "RCP41M MX541 V2.10");
}

TEST(Greeting, OpeningABusyPortSendsNothing) {
  sim::VirtualRadio radio(*sim::identityOfModel("HX77"));
  VirtualClock clock;
  sim::SimulatedPort port(radio, clock);
  port.setOpenable(false);
  RadioIdentity identity{};
  EXPECT_EQ(openPort(port, clock, "/dev/ttyS0", identity), PortOpening::PortBusy);
  EXPECT_TRUE(port.sent().empty());
}

TEST(Greeting, NoRadioAtStartUpWaitsOutTheIdentityTimeOut) {
  Bench bench("HX77");
  bench.radio.faults().silent = true;
  const GreetingResult result =
      greet(bench.port, bench.clock, GreetingPurpose::StartUp, bench.identity);
  EXPECT_FALSE(result.radioAnswered);
  EXPECT_EQ(result.identityBytes, 0u);
  EXPECT_EQ(bench.clock.nowMs(), 10 + 380);
}

TEST(Greeting, ReadingAndWritingCheckTheirAnswerLetter) {
  Bench reading("HX33");
  EXPECT_TRUE(
      greet(reading.port, reading.clock, GreetingPurpose::Read, reading.identity).radioAnswered);
  EXPECT_EQ(reading.port.transcript(),
            "0 purge both\n"
            "0 > <91>\n"
            "20 purge receive\n"
            "20 > PROG<CR>\n"
            "20 read 18 -> 18 at 49\n"
            "49 purge receive\n"
            "49 > U\n"
            "49 read 1 -> 1 at 57\n");

  Bench writing("HX33");
  EXPECT_TRUE(
      greet(writing.port, writing.clock, GreetingPurpose::Write, writing.identity).radioAnswered);
  EXPECT_EQ(text(writing.port.sent()), "\x91PROG\rT");
  // "T" is followed at once by the purge; the radio's answer comes later and is read.
  const auto& events = writing.port.events();
  ASSERT_EQ(events.size(), 8u);
  EXPECT_EQ(events[2].atMs, 30);
  EXPECT_EQ(events[6].kind, sim::SimulatedPort::Event::Kind::PurgeReceive);
  EXPECT_EQ(events[6].atMs, events[5].atMs);

  Bench wrong("HX33");
  wrong.radio.faults().wrongLetter = 'X';
  EXPECT_FALSE(
      greet(wrong.port, wrong.clock, GreetingPurpose::Write, wrong.identity).radioAnswered);
  // The identity itself is not checked by the transfers' greetings.
  Bench shortIdentity("HX33");
  shortIdentity.radio.faults().identityBytes = 4;
  const auto result =
      greet(shortIdentity.port, shortIdentity.clock, GreetingPurpose::Read, shortIdentity.identity);
  EXPECT_TRUE(result.radioAnswered);
  EXPECT_EQ(result.identityBytes, 4u);
}

TEST(Greeting, AFailedGreetingKeepsTheEarlierIdentityBytes) {
  Bench first("HX77");
  ASSERT_TRUE(
      greet(first.port, first.clock, GreetingPurpose::StartUp, first.identity).radioAnswered);

  sim::VirtualRadio other(sim::identityFromText("abcdefghijklmnopqr"));
  other.faults().identityBytes = 3;
  sim::SimulatedPort port(other, first.clock);
  port.open("/dev/ttyS1");
  EXPECT_FALSE(greet(port, first.clock, GreetingPurpose::StartUp, first.identity).radioAnswered);
  EXPECT_EQ(identityText(first.identity), "abc77D HX77  V2.10");
  EXPECT_EQ(matchModel(first.identity).model, "HX77");

  other.faults().silent = true;
  EXPECT_FALSE(greet(port, first.clock, GreetingPurpose::Write, first.identity).radioAnswered);
  EXPECT_EQ(identityText(first.identity), "abc77D HX77  V2.10");
}

TEST(ShortGreetings, SendTheirOwnByteStreams) {
  const Bytes channel = settingCommand("CH5");

  Bench entry("HX34");
  std::size_t shown = 0;
  enterTestState(entry.port, entry.identity,
                 [&] { shown = entry.port.events().back().bytes.size(); });
  EXPECT_EQ(shown, 18u);  // shown right after the identity was read
  EXPECT_EQ(text(entry.port.sent()), "\x91PROG\rT");

  Bench afterRead("HX34");
  returnToTestState(afterRead.port, afterRead.clock, afterRead.identity, AfterTransfer::Reading,
                    channel);
  EXPECT_EQ(text(afterRead.port.sent()), "\x91PROG\rTCH5\r");
  Bench afterWrite("HX34");
  returnToTestState(afterWrite.port, afterWrite.clock, afterWrite.identity, AfterTransfer::Writing,
                    channel);
  EXPECT_EQ(text(afterWrite.port.sent()), "\x91\x91PROG\rTCH5\r");
  EXPECT_EQ(afterWrite.port.events()[2].atMs, 30);

  Bench calibration("HX34");
  greetAfterCalibrationReset(calibration.port, calibration.clock, calibration.identity);
  EXPECT_EQ(text(calibration.port.sent()), "\x91\x91PROG\rT");

  Bench bulk("HX34");
  EXPECT_TRUE(greetBeforeBulkChunks(bulk.port, bulk.clock, bulk.identity));
  EXPECT_EQ(text(bulk.port.sent()), "Q\x91PROG\rD");
  EXPECT_EQ(bulk.port.transcript(),
            "0 > Q\n"
            "50 purge receive\n"
            "50 > <91>\n"
            "50 purge both\n"
            "100 purge receive\n"
            "100 > PROG<CR>\n"
            "100 read 18 -> 18 at 129\n"
            "129 > D\n"
            "129 purge receive\n"
            "129 read 1 -> 1 at 137\n");
  EXPECT_EQ(bulk.radio.state(), sim::VirtualRadio::State::TakingBulk);
}

TEST(Identification, FollowsTheRowsInOrder) {
  const auto model = [](const std::string& identity) {
    return std::string(matchModel(sim::identityFromText(identity)).model);
  };
  EXPECT_EQ(model("xxx77"), "HX77");
  EXPECT_EQ(model("xxx43"), "MX543");
  EXPECT_EQ(model("xxxAN"), "MX520");
  EXPECT_EQ(model("xxx44"), "HX34");    // rows 2 to 4 need byte 4 to be 1, 2 or 3
  EXPECT_EQ(model("xxx74S"), "HX34s");  // byte 3 does not matter
  EXPECT_EQ(model("xxx24S"), "HX34s");
  EXPECT_EQ(model("xxx34s"), "HX34");  // "S" is compared exactly
  EXPECT_EQ(model(""), "HX33");
  EXPECT_EQ(model("xxx7"), "HX33");

  // Every identity the virtual radio gives lands on its own row.
  for (const auto& entry : sim::modelIdentities()) {
    EXPECT_EQ(model(std::string(entry.identity)), entry.model);
  }
}

TEST(Identification, ThePurposeDecidesTheWelcomeAndThePresets) {
  const RadioIdentity mx543 = *sim::identityOfModel("MX543");
  const RadioIdentity mx521 = *sim::identityOfModel("MX521");
  const Identification atStart = identify(mx543, IdentifyPurpose::StartUp);
  EXPECT_EQ(atStart.welcome, "欢迎使用MX543双工数传车载电台!");
  EXPECT_FALSE(atStart.presetSimplex);
  EXPECT_EQ(atStart.model->caption, "MX543双工数传车载台参数设置");
  EXPECT_EQ(atStart.model->duplexSpacing, 450000);

  EXPECT_TRUE(identify(mx543, IdentifyPurpose::Write).presetSimplex);
  EXPECT_FALSE(identify(mx543, IdentifyPurpose::Write).welcome);
  EXPECT_FALSE(identify(mx521, IdentifyPurpose::Write).presetSimplex);
  EXPECT_EQ(identify(mx521, IdentifyPurpose::Read).model->duplexSpacing, 100000);
  EXPECT_FALSE(identify(mx521, IdentifyPurpose::Read).model->packedPhoneBook);
}

TEST(IdentityText, StopsAtZeroAndIsAlwaysValidText) {
  RadioIdentity identity = sim::identityFromText("AB");
  EXPECT_EQ(identityText(identity), "AB");
  identity = {'O', 'K', 0x01, 0xFF, 0xC9, 0xE8, 0x7F, 0x00, 'X'};
  // A control byte, a byte that is no text, then a GB2312 character, a DEL, and the end.
  EXPECT_EQ(identityText(identity), "OK\xEF\xBF\xBD\xEF\xBF\xBD设\xEF\xBF\xBD");
}

}  // namespace
}  // namespace rcp::link
