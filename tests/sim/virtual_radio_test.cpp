// The virtual radio's protocol, driven over the simulated line as the tool drives a radio.

#include "sim/virtual_radio.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "link/clock.hpp"
#include "link/hex_text.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"

namespace rcp::sim {
namespace {

class RadioLine : public ::testing::Test {
 protected:
  RadioLine() { port.open("/dev/ttyS1"); }

  void send(std::string_view text) {
    port.write(std::vector<std::uint8_t>(text.begin(), text.end()));
  }
  std::string answer(std::size_t n) {
    std::string buffer(n, '\0');
    const std::size_t got =
        port.read(std::span(reinterpret_cast<std::uint8_t*>(buffer.data()), buffer.size()));
    buffer.resize(got);
    return buffer;
  }
  // What the radio took, in order; refused words are marked with '!'.
  std::vector<std::string> handled() const {
    std::vector<std::string> texts;
    for (const auto& entry : radio.handled())
      texts.push_back((entry.accepted ? "" : "!") + entry.text);
    return texts;
  }

  link::VirtualClock clock;
  VirtualRadio radio{*identityOfModel("HX77")};
  SimulatedPort port{radio, clock};
};

using Texts = std::vector<std::string>;

TEST_F(RadioLine, ProgNeedsAnIntroducerEitherAttachedOrAsAnEarlierWakeByte) {
  send("PROG\r");
  EXPECT_EQ(answer(18), "");
  send("\x91");
  clock.pause(10);
  port.purgeReceive();
  send("PROG\r");
  EXPECT_EQ(answer(18), "RCP77D HX77  V2.10");
  send("\x91PROG\r");
  EXPECT_EQ(answer(18), "RCP77D HX77  V2.10");
  EXPECT_EQ(handled(), (Texts{"!PROG", "PROG", "PROG"}));
  EXPECT_EQ(radio.state(), VirtualRadio::State::Programming);
}

TEST_F(RadioLine, ALetterAloneIsAModeLetterAndWithMoreTextTheStartOfACommand) {
  send("T");
  EXPECT_EQ(answer(1), "T");
  EXPECT_EQ(radio.state(), VirtualRadio::State::Test);
  send("TXMD\r");
  send("TC1\r");
  clock.pause(30);
  send("TALK\r");
  EXPECT_EQ(answer(1), "");  // none of them is answered
  send("U\r");               // power adjustment, not the bulk request
  EXPECT_EQ(answer(1), "");
  send("Q");
  port.settle();
  EXPECT_EQ(radio.state(), VirtualRadio::State::Idle);
  EXPECT_EQ(handled(), (Texts{"T", "TXMD", "TC1", "TALK", "U", "Q"}));
}

TEST_F(RadioLine, AModeLetterRunTogetherWithTheNextCommandCountsAsBoth) {
  // Entering the test state: "T" and the channel command leave back to back.
  send("T");
  port.purgeReceive();
  send("CH120\r");
  clock.pause(20);
  // Writing: the scrambler command and "Q" leave back to back too.
  send("PN1\r");
  send("Q");
  port.settle();
  EXPECT_EQ(handled(), (Texts{"T", "CH120", "PN1", "Q"}));
  EXPECT_EQ(radio.state(), VirtualRadio::State::Idle);
}

TEST_F(RadioLine, ALetterStraightFollowedByTheWakeByteIsAModeLetter) {
  // Leaving the test state and greeting at once, as a read started from the Test tab does.
  send("T");
  EXPECT_EQ(answer(1), "T");
  send("Q");
  send("\x91PROG\r");
  EXPECT_EQ(answer(18), "RCP77D HX77  V2.10");
  // Back into the test state and out again with no pause at all.
  send("T\x91");
  send("Q\x91PROG\r");
  port.settle();
  EXPECT_EQ(handled(), (Texts{"T", "Q", "PROG", "T", "Q", "PROG"}));
  EXPECT_EQ(radio.state(), VirtualRadio::State::Programming);
  // Two letters before the wake byte are no mode letter.
  send("QT\x91PROG\r");
  port.settle();
  EXPECT_EQ(handled().back(), "PROG");
  EXPECT_EQ(handled().size(), 7u);
}

TEST_F(RadioLine, BulkRequestAnswersULetterAndTheDigitsOfTheBlock) {
  for (std::size_t a = 0; a < VirtualRadio::kMemorySize; ++a) {
    radio.memory()[a] = static_cast<std::uint8_t>(a * 7);
  }
  send("U");
  EXPECT_EQ(answer(1), "U");
  const std::string digits = answer(992);
  EXPECT_EQ(digits, link::hexDigits(std::span(radio.memory()).subspan(0x010, 496)));
  // 993 bytes at 9600 baud take about a second of (virtual) line time.
  EXPECT_GT(clock.nowMs(), 1000);
}

TEST_F(RadioLine, WriteStoresTheDataThatArrivesWhateverItsLengthFieldSays) {
  radio.memory()[0x23F] = 0x5A;
  // Fifteen bytes under a length field of 0x10, as the off-network frequencies are sent.
  send("\x91WRITE023010" + std::string(30, '1') + "\r");
  // Sixteen digits (eight bytes) under 0x10, as the range limits are sent.
  send(
      "\x91WRITE027010"
      "0102030405060708\r");
  // Sent in pieces: the text, the data, the CR.
  send("\x91WRITE02C203");
  send("A1B2C3");
  send("\r");
  port.settle();
  EXPECT_EQ(radio.memory()[0x230], 0x11);
  EXPECT_EQ(radio.memory()[0x23E], 0x11);
  EXPECT_EQ(radio.memory()[0x23F], 0x5A);
  EXPECT_EQ(radio.memory()[0x277], 0x08);
  EXPECT_EQ(radio.memory()[0x278], 0x00);
  EXPECT_EQ(radio.memory()[0x2C4], 0xC3);

  send("\x91WRITE00070a01\r");  // lower-case digits are not the radio's
  port.settle();
  EXPECT_EQ(radio.memory()[0x007], 0x00);
  EXPECT_EQ(handled().back(), "!WRITE00070a01");
}

TEST_F(RadioLine, ReadAnswersTwoDigitsPerByteAndNothingElse) {
  radio.memory()[0x007] = 0x01;
  radio.memory()[0x3FF] = 0xEE;
  send("\x91READ000701\r");
  // Asked for 16 while 2 come: the read ends 20 ms after the second digit.
  const std::int64_t start = clock.nowMs();
  EXPECT_EQ(answer(16), "01");
  // 12 bytes out and 2 back at 1.042 ms each, 5 ms to answer, 20 ms gap: 39.6 ms.
  EXPECT_EQ(clock.nowMs() - start, 40);
  send("\x91READ03FF04\r");
  EXPECT_EQ(answer(8), "EE");  // memory ends at 0x3FF
}

TEST_F(RadioLine, SettingCommandsSetTheModeBytes) {
  radio.memory()[0x0DC] = 0x35;
  send("STANDARD1\r");
  send("MODE1\r");
  send("PN1\r");
  port.settle();
  EXPECT_EQ(radio.memory()[0x1F1], 1);
  EXPECT_EQ(radio.memory()[0x1F0], 1);
  EXPECT_EQ(radio.memory()[0x0DC], 0x38);
  send("STANDARD0\r");
  send("MODE0\r");
  send("PN0\r");
  port.settle();
  EXPECT_EQ(radio.memory()[0x1F1], 0);
  EXPECT_EQ(radio.memory()[0x1F0], 0);
  EXPECT_EQ(radio.memory()[0x0DC], 0x30);
}

TEST_F(RadioLine, TestAndAlignmentCommandsAreTakenAndRecorded) {
  send("T");
  clock.pause(10);
  for (const char* command :
       {"TXAD",   "TXDT",   "RXAD",   "MUTE",   "CH5", "TC0", "VR112", "VR47", "SS255",  "BF000",
        "PWR128", "PP0007", "PP3100", "LM2999", "I1",  "I5",  "VR4",   "SS12", "CH1000", "XYZ"}) {
    send(std::string(command) + "\r");
  }
  port.settle();
  EXPECT_EQ(handled(), (Texts{"T",      "TXAD", "TXDT",  "RXAD",  "MUTE",   "CH5",     "TC0",
                              "VR112",  "VR47", "SS255", "BF000", "PWR128", "PP0007",  "PP3100",
                              "LM2999", "I1",   "I5",    "!VR4",  "!SS12",  "!CH1000", "!XYZ"}));
}

TEST_F(RadioLine, TestStateCommandsLandWhereAReadFindsThem) {
  auto& memory = radio.memory();
  memory[0x0DC] = 0x38;
  memory[0x0DD] = 0xA0;
  send("T");
  clock.pause(10);
  for (const char* command :
       {"VR112", "VR23", "VR315", "VR46", "TC1", "SS255", "PP0007", "BF001", "PWR128", "PP1010",
        "PP2020", "PP3030", "LM1100", "LM2200", "LM3999", "I1", "I5"}) {
    send(std::string(command) + "\r");
  }
  port.settle();
  EXPECT_EQ(memory[0x0DC], 0x38) << "the scrambler is not touched";
  EXPECT_EQ(memory[0x0DD], 0xA6) << "VR4 in the low half, the high half kept";
  EXPECT_EQ(memory[0x0DE], 0x3C);
  EXPECT_EQ(memory[0x0DF], 0x8F);
  const std::vector<std::uint8_t> alignment(memory.begin() + 0x2DD, memory.begin() + 0x2E7);
  EXPECT_EQ(alignment, (std::vector<std::uint8_t>{255, 7, 1, 128, 10, 20, 30, 100, 200, 255}));
  for (std::size_t a = 0x2C5; a <= 0x2C8; ++a) EXPECT_NE(memory[a], 0) << a;

  send("TC0\r");
  send("VR119\r");  // more than a half-byte holds
  send("\x91WRITE02C50400000000\r");
  port.settle();
  EXPECT_EQ(memory[0x0DF], 0x0F);
  EXPECT_EQ(memory[0x0DE], 0x3F);
  for (std::size_t a = 0x2C5; a <= 0x2C8; ++a) EXPECT_EQ(memory[a], 0) << a;
}

TEST_F(RadioLine, TestStateCommandsAreRefusedOutsideTheTestState) {
  const auto before = radio.memory();
  for (const char* command : {"VR112", "TC1", "SS255", "I1", "CH5", "TXMD"})
    send(std::string(command) + "\r");
  send("PN0\r");  // a mode setting of the write transfer, taken in any state
  clock.pause(100);
  send("T");
  clock.pause(10);
  send("Q");
  clock.pause(10);
  send("VR47\r");
  send("\x91PROG\r");  // programming mode is not the test state either
  EXPECT_EQ(answer(18).size(), 18u);
  send("LM1100\r");
  port.settle();
  EXPECT_EQ(handled(), (Texts{"!VR112", "!TC1", "!SS255", "!I1", "!CH5", "!TXMD", "PN0", "T", "Q",
                              "!VR47", "PROG", "!LM1100"}));
  auto expected = before;
  expected[0x0DC] = 0x00;  // PN0
  EXPECT_EQ(radio.memory(), expected);
}

class BulkWrite : public RadioLine {
 protected:
  // The tool's side of the bulk write: "D", then each chunk followed by a purge, 30 ms and a
  // read. Returns how many chunks were acknowledged.
  int writeChunks(const std::vector<std::uint8_t>& image) {
    send("D");
    port.purgeReceive();
    answer(1);
    int acknowledged = 0;
    for (std::size_t i = 0; i < 61; ++i) {
      send(link::hexDigits(std::span(image).subspan(8 * i, 8)));
      port.purgeReceive();
      clock.pause(30);
      if (answer(1).empty()) break;
      ++acknowledged;
    }
    return acknowledged;
  }
};

TEST_F(BulkWrite, StoresSixtyOneChunksAndKeepsTheModeAndAlignmentBytes) {
  for (std::size_t a = 0x0DC; a <= 0x0DF; ++a) radio.memory()[a] = 0x42;
  for (std::size_t a = 0x1F0; a <= 0x1F7; ++a) radio.memory()[a] = 0x24;
  std::vector<std::uint8_t> image(488);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i + 1);

  const auto realStart = std::chrono::steady_clock::now();
  EXPECT_EQ(writeChunks(image), 61);
  EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::milliseconds(500));

  EXPECT_EQ(radio.bulkWrites(), 1);
  EXPECT_EQ(radio.state(), VirtualRadio::State::Programming);
  EXPECT_EQ(radio.memory()[0x010], 1);
  EXPECT_EQ(radio.memory()[0x0DB], image[0x0DB - 0x010]);
  EXPECT_EQ(radio.memory()[0x0DC], 0x42);
  EXPECT_EQ(radio.memory()[0x0DF], 0x42);
  EXPECT_EQ(radio.memory()[0x0E0], image[0x0E0 - 0x010]);
  EXPECT_EQ(radio.memory()[0x1EF], image[0x1EF - 0x010]);
  EXPECT_EQ(radio.memory()[0x1F0], 0x24);
  EXPECT_EQ(radio.memory()[0x1F7], 0x24);
}

TEST_F(BulkWrite, ARadioThatStopsAcknowledgingEndsTheStream) {
  radio.faults().ackChunks = 11;
  EXPECT_EQ(writeChunks(std::vector<std::uint8_t>(488, 0x77)), 11);
  EXPECT_EQ(radio.bulkWrites(), 0);
  // The twelfth chunk reached the radio.
  EXPECT_EQ(radio.handled().back().text, "chunk 11");
}

TEST_F(BulkWrite, ACorruptAddressTakesEveryWriteInvertedAndNoOtherAddressDoes) {
  radio.faults().corruptAddresses = {0x0CF, 0x231};
  const std::vector<std::uint8_t> image(488, 0x3C);
  EXPECT_EQ(writeChunks(image), 61);
  send("\x91WRITE023003A1B2C3\r");
  port.settle();

  VirtualRadio::Memory expected{};
  std::fill(expected.begin() + 0x010, expected.begin() + 0x1F8, 0x3C);
  std::fill(expected.begin() + 0x0DC, expected.begin() + 0x0E0, 0x00);  // kept from the bulk
  std::fill(expected.begin() + 0x1F0, expected.begin() + 0x1F8, 0x00);
  expected[0x0CF] = 0xC3;
  expected[0x230] = 0xA1;
  expected[0x231] = 0x4D;  // 0xB2 inverted
  expected[0x232] = 0xC3;
  EXPECT_EQ(radio.memory(), expected);

  // A small write to the bulk block's bad byte is inverted too, and a read returns what is kept.
  send("\x91WRITE00CF0100\r");
  send("\x91READ00CE03\r");
  EXPECT_EQ(answer(6), "3CFF3C");
}

TEST_F(RadioLine, FaultsSilenceCutOrSpoilTheAnswers) {
  radio.faults().answerDigits = 3;
  send("\x91READ000004\r");
  EXPECT_EQ(answer(8), "000");
  radio.faults().garbageDigits = true;
  send("\x91READ000002\r");
  EXPECT_EQ(answer(4), "ZZZ");
  radio.faults().silent = true;
  send("T");
  EXPECT_EQ(answer(1), "");
  EXPECT_EQ(radio.state(), VirtualRadio::State::Test);  // it still obeys
}

TEST_F(RadioLine, AStoppedRadioAnswersNothingUntilItGoesOnThenWhatCameMeanwhile) {
  radio.memory()[0x007] = 0x01;
  radio.faults().pause = RadioPause{2, 2000000};  // at the second request, for 2 s
  send("\x91READ000701\r");
  EXPECT_EQ(answer(2), "01");
  const std::int64_t stopped = clock.nowMs();
  send("\x91READ000701\r");
  EXPECT_EQ(answer(2), "");
  send("T");  // while stopped
  EXPECT_EQ(answer(1), "");
  EXPECT_EQ(radio.state(), VirtualRadio::State::Idle);
  clock.pause(2000);
  EXPECT_EQ(answer(3), "01T");
  EXPECT_EQ(radio.state(), VirtualRadio::State::Test);
  EXPECT_GE(clock.nowMs() - stopped, 2000);
  // Once only.
  send("\x91READ000701\r");
  EXPECT_EQ(answer(2), "01");
}

TEST_F(RadioLine, APurgeDropsOnlyWhatHasArrived) {
  send("T");
  port.purgeReceive();  // at once: the answer is still to come
  EXPECT_EQ(answer(1), "T");
  send("T");
  clock.pause(30);
  port.purgeReceive();  // the answer came meanwhile
  EXPECT_EQ(answer(1), "");
}

}  // namespace
}  // namespace rcp::sim

namespace rcp::sim {
namespace {

// A pseudo-terminal hands the whole request over at once; a 9600-baud line takes 1.042 ms a byte.
// The answer comes no sooner than the request's last byte could have crossed the line.
TEST(LinePace, ARequestHandedOverAtOnceIsTakenAtTheLinesPace) {
  const std::string prog = std::string("\x91") + "PROG\r";
  for (const Micros byteTime : {Micros{1042}, Micros{0}}) {
    SCOPED_TRACE(byteTime);
    RadioTiming timing;
    timing.byteTime = byteTime;
    VirtualRadio radio(*identityOfModel("HX77"), timing);
    radio.receive(std::vector<std::uint8_t>(prog.begin(), prog.end()), 100000);
    const Micros lastByte = 100000 + 5 * byteTime;
    EXPECT_EQ(radio.received().back().at, lastByte);
    EXPECT_EQ(radio.burstEnd(), lastByte + timing.burstGap);
    radio.advance(lastByte + timing.burstGap - 1);
    EXPECT_TRUE(radio.takeAnswers().empty());
    radio.advance(lastByte + timing.burstGap);
    const auto answers = radio.takeAnswers();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].notBefore, lastByte + timing.processingDelay);
    // A byte handed over later than the pace needs is taken when it comes.
    radio.receive(std::vector<std::uint8_t>{'T'}, 200000);
    EXPECT_EQ(radio.received().back().at, 200000);
  }
}

// A bulk chunk of 16 digits: its acknowledgement cannot come before the 16 bytes crossed
// (16.7 ms), so a tool held up 11 ms between the chunk and its purge still finds it.
TEST(LinePace, AChunksAcknowledgementComesNoSoonerThanTheChunkCouldCross) {
  VirtualRadio radio(*identityOfModel("HX77"));
  const auto feed = [&radio](std::string_view text, Micros at) {
    radio.receive(std::vector<std::uint8_t>(text.begin(), text.end()), at);
    radio.advance(at + 100000);
    return radio.takeAnswers();
  };
  feed("\x91PROG\r", 0);
  feed("D", 200000);
  const auto acks = feed("0123456789ABCDEF", 400000);
  ASSERT_EQ(acks.size(), 1u);
  EXPECT_GE(acks[0].notBefore, 400000 + 15 * 1042 + 5000);
}

}  // namespace
}  // namespace rcp::sim

namespace rcp::sim {
namespace {

// Where the wait for a chunk to cross belongs. A radio that answers 1 ms after the chunk's last
// byte, a tool held up between the chunk and its purge: when the purge waits for the chunk to
// cross first (a drained write), a hold-up of a few milliseconds purges the acknowledgement; when
// it does not (the write returns once the bytes are handed over, as the serial port's does), the
// purge happens while the chunk is still on the line and the acknowledgement survives any hold-up
// shorter than the chunk's 16.7 ms.
TEST(LinePace, APurgeThatDoesNotWaitForTheChunkToCrossKeepsAQuickRadiosAcknowledgement) {
  struct Row {
    bool drainedWrite;
    int holdUpMs;
    bool acknowledged;
  };
  for (const Row row : {Row{false, 0, true}, Row{false, 8, true}, Row{false, 15, true},
                        Row{true, 0, true}, Row{true, 3, false}, Row{true, 8, false}}) {
    link::VirtualClock clock;
    VirtualRadio radio(*identityOfModel("HX77"), RadioTiming{.processingDelay = 1000});
    SimulatedPort port{radio, clock};
    port.open("/dev/ttyS1");
    const auto send = [&port](std::string_view text) {
      return port.write(std::vector<std::uint8_t>(text.begin(), text.end()));
    };
    std::uint8_t answer[18] = {};
    send("\x91PROG\r");
    ASSERT_EQ(port.read(answer), 18u);
    send("D");
    ASSERT_EQ(port.read(std::span(answer, 1)), 1u);

    send("0123456789ABCDEF");
    if (row.drainedWrite) clock.pause(17);  // the 16 bytes' time on the line
    clock.pause(row.holdUpMs);
    port.purgeReceive();
    clock.pause(30);
    EXPECT_EQ(port.read(std::span(answer, 1)) == 1, row.acknowledged)
        << (row.drainedWrite ? "drained" : "handed over") << ", held up " << row.holdUpMs << " ms";
  }
}

}  // namespace
}  // namespace rcp::sim
