// Every Port keeps the same contract: the serial port over a pseudo-terminal and the simulated
// port on the virtual clock run the same cases. Times are asserted from below exactly and from
// above within what each line allows for lateness.

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <string>
#include <type_traits>

#include "link/port_line.hpp"
#include "link/port_timings.hpp"
#include "link/pty_line.hpp"
#include "link/simulated_line.hpp"

namespace rcp::link::test {
namespace {

using namespace std::chrono_literals;
using Bytes = PortLine::Bytes;
using Micros = PortLine::Micros;

Bytes bytesOf(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

template <typename Line>
class PortConformance : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(line.device().empty()); }

  Port& port() { return line.port(); }
  void openPort() { ASSERT_TRUE(port().open(line.device())); }

  struct Read {
    std::string bytes;
    Micros took;  // from `from` until the read returned
  };
  Read read(std::size_t count, Micros from) {
    Bytes buffer(count);
    const std::size_t got = port().read(buffer);
    return {std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got)),
            line.now() - from};
  }
  Read read(std::size_t count) { return read(count, line.now()); }

  // An operation due `due` after its start ends no earlier, and no later than the line allows.
  void expectTook(Micros took, Micros due) {
    EXPECT_GE(took, due);
    EXPECT_LE(took, due + line.lateness());
  }

  Line line;
};

struct LineNames {
  template <typename Line>
  static std::string GetName(int) {
    return std::is_same_v<Line, PtyLine> ? "SerialPortOnPty" : "SimulatedPort";
  }
};
using Lines = ::testing::Types<PtyLine, SimulatedLine>;
TYPED_TEST_SUITE(PortConformance, Lines, LineNames);

TYPED_TEST(PortConformance, OpensClosesAndReopens) {
  Port& port = this->port();
  EXPECT_FALSE(port.isOpen());
  ASSERT_TRUE(port.open(this->line.device()));
  EXPECT_TRUE(port.isOpen());
  port.close();
  EXPECT_FALSE(port.isOpen());
  port.close();
  EXPECT_FALSE(port.isOpen());

  ASSERT_TRUE(port.open(this->line.device()));
  EXPECT_TRUE(port.write(bytesOf("PROG\r")));
  EXPECT_EQ(this->line.received(), bytesOf("PROG\r"));
}

TYPED_TEST(PortConformance, EveryOperationOnAClosedPortFailsQuietlyAndAtOnce) {
  Port& port = this->port();
  auto check = [&](const char* when) {
    SCOPED_TRACE(when);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.write(bytesOf("Q")));
    port.purgeBoth();
    port.purgeReceive();
    const auto [bytes, took] = this->read(4);
    EXPECT_EQ(bytes, "");
    this->expectTook(took, 0us);
    EXPECT_TRUE(this->line.received().empty());
  };
  check("never opened");
  this->openPort();
  this->line.sendAt(this->line.now(), bytesOf("late"));
  port.close();
  check("closed again");
}

TYPED_TEST(PortConformance, AHeldDeviceDoesNotOpenASecondTimeUntilReleased) {
  std::string why;
  const auto second = this->line.secondPort(why);
  if (!second) GTEST_SKIP() << why;
  this->openPort();
  EXPECT_FALSE(second->open(this->line.device()));
  EXPECT_FALSE(second->isOpen());
  EXPECT_TRUE(this->port().isOpen());
  this->port().close();
  EXPECT_TRUE(second->open(this->line.device()));
  second->close();
}

// Every byte value passes unchanged both ways, in order across writes: no line editing, no
// flow control, no translation of CR or LF.
TYPED_TEST(PortConformance, TheLineIsRawAndKeepsOrder) {
  this->openPort();
  Bytes all(256);
  std::iota(all.begin(), all.end(), 0);
  EXPECT_TRUE(this->port().write(Bytes(all.begin(), all.begin() + 128)));
  EXPECT_TRUE(this->port().write(Bytes(all.begin() + 128, all.end())));
  EXPECT_EQ(this->line.received(), all);

  const Bytes reversed(all.rbegin(), all.rend());
  this->line.sendAt(this->line.now(), reversed);
  EXPECT_EQ(this->read(256).bytes, std::string(reversed.begin(), reversed.end()));
}

TYPED_TEST(PortConformance, AReadReturnsAsSoonAsAllBytesAreThere) {
  this->openPort();
  this->line.sendAt(this->line.now(), bytesOf("RCP77D HX77  V2.10"));
  const auto [bytes, took] = this->read(18);
  EXPECT_EQ(bytes, "RCP77D HX77  V2.10");
  // The time-out would allow 380 ms.
  this->expectTook(took, this->line.lineTime(18));
}

TYPED_TEST(PortConformance, AReadOnASilentLineEndsAtItsTimeOut) {
  this->openPort();
  for (const std::size_t count : {1u, 5u}) {
    SCOPED_TRACE(count);
    const auto [bytes, took] = this->read(count);
    EXPECT_EQ(bytes, "");
    this->expectTook(took, PortTimings::readTimeout(count));
  }
}

TYPED_TEST(PortConformance, AReadEndsAtTheByteGapAfterTheLastByte) {
  this->openPort();
  const Micros start = this->line.now();
  this->line.sendAt(start + 30ms, bytesOf("ab"));
  this->line.sendAt(start + 40ms, bytesOf("c"));
  const auto [bytes, took] = this->read(18, start);
  EXPECT_EQ(bytes, "abc");
  this->expectTook(took, 40ms + this->line.lineTime(1) + PortTimings::kByteGap);
}

// A byte that comes late leaves less than the gap before the whole read's time-out: the
// time-out ends the read.
TYPED_TEST(PortConformance, AShortReadEndsAtTheTimeOutEvenWithinTheGap) {
  this->openPort();
  const Micros start = this->line.now();
  this->line.sendAt(start + 50ms, bytesOf("x"));
  const auto [bytes, took] = this->read(2, start);
  EXPECT_EQ(bytes, "x");
  this->expectTook(took, PortTimings::readTimeout(2));
}

TYPED_TEST(PortConformance, PurgesDropWhatCameInButNeverWhatWasSent) {
  Port& port = this->port();
  this->openPort();
  for (const bool both : {false, true}) {
    SCOPED_TRACE(both ? "purge both" : "purge receive");
    this->line.sendAt(this->line.now(), bytesOf("stale"));
    this->line.pass(10ms);
    if (both) {
      port.purgeBoth();
    } else {
      port.purgeReceive();
    }
    EXPECT_EQ(this->read(1).bytes, "");
  }
  this->line.sendAt(this->line.now(), bytesOf("fresh"));
  EXPECT_EQ(this->read(5).bytes, "fresh");

  // A purge straight after a write, as before the bulk chunks: the far end still gets every byte.
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(port.write(Bytes{0x91}));
    port.purgeBoth();
  }
  EXPECT_EQ(this->line.received(), Bytes(20, 0x91));
}

}  // namespace
}  // namespace rcp::link::test
