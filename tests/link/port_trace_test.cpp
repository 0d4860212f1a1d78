// The protocol trace: a decorator around the port and the clock that writes one line per event.

#include "link/port_trace.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "link/port_opening.hpp"
#include "program/trace_setup.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"
#include "sim/virtual_radio.hpp"
#include "support/scoped_variable.hpp"
#include "support/temp_dir.hpp"

namespace rcp::link {
namespace {

// The trace without its two header lines.
std::string events(const std::string& trace) {
  std::size_t at = 0;
  for (int line = 0; line < 2; ++line) at = trace.find('\n', at) + 1;
  return trace.substr(at);
}

std::string slurp(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

struct PortTraceTest : ::testing::Test {
  VirtualClock clock;
  sim::VirtualRadio radio{*sim::identityOfModel("HX77")};
  sim::SimulatedPort simulated{radio, clock};
  std::ostringstream out;
  TraceLog log{out, clock};
  TracedPort port{simulated, log};
  TracedClock tracedClock{clock, log};
};

TEST_F(PortTraceTest, TheStartUpGreetingIsTracedEventByEvent) {
  clock.pause(500);  // time before the open does not count
  RadioIdentity identity{};
  EXPECT_EQ(openPort(port, tracedClock, "/dev/ttyUSB0", identity), PortOpening::RadioAnswered);
  EXPECT_EQ(out.str().substr(0, out.str().find('\n')).substr(0, 33),
            "# rcp520 protocol trace, started ");
  EXPECT_EQ(events(out.str()),
            "       0 open /dev/ttyUSB0\n"
            "       0 purge both\n"
            "       0 purge both\n"
            "       0 > 91  |.|\n"
            "       0 pause 10 ms\n"
            "      10 purge receive\n"
            "      10 > 50 52 4F 47 0D  |PROG.|\n"
            "      10 < 52 43 50 37 37 44 20 48 58 37 37 20 20 56 32 2E 31 30  "
            "|RCP77D HX77  V2.10|  18 of 18 bytes in 29 ms\n");
  // The simulated port saw exactly what the program did.
  EXPECT_EQ(simulated.events().size(), 7u);
}

TEST_F(PortTraceTest, ShortReadsAndSilenceAreTimeOuts) {
  radio.faults().silent = true;
  RadioIdentity identity{};
  EXPECT_EQ(openPort(port, tracedClock, "/dev/ttyUSB0", identity), PortOpening::NoRadio);
  const std::string trace = events(out.str());
  EXPECT_NE(trace.find("      10 < time-out: 0 of 18 bytes in 380 ms\n"), std::string::npos)
      << trace;
}

TEST_F(PortTraceTest, AFailedOpenAndACloseAreTraced) {
  simulated.setOpenable(false);
  EXPECT_FALSE(port.open("/dev/ttyUSB9"));
  port.close();  // not open: nothing to trace
  simulated.setOpenable(true);
  clock.pause(7);
  ASSERT_TRUE(port.open("/dev/ttyUSB0"));
  clock.pause(25);
  EXPECT_TRUE(port.write(std::vector<std::uint8_t>{'Q'}));
  port.close();
  EXPECT_EQ(events(out.str()),
            "       0 open /dev/ttyUSB9 failed\n"
            "       0 open /dev/ttyUSB0\n"  // the time starts anew
            "      25 > 51  |Q|\n"
            "      25 close\n");
}

TEST_F(PortTraceTest, BytesShowAsHexAndPrintableText) {
  EXPECT_EQ(traceBytes(std::vector<std::uint8_t>{'A', 0x00, 0x7F, 0xB5, 0xE7, ' ', '~'}),
            "41 00 7F B5 E7 20 7E  |A.... ~|");
}

TEST(TraceFile, EveryLineIsInTheFileAsSoonAsItIsWritten) {
  test::TempDir dir;
  VirtualClock clock;
  TraceLog log(dir / "trace.txt", clock);
  ASSERT_TRUE(log.ok());
  log.opened("/dev/ttyUSB0", true);
  clock.pause(30);
  log.paused(30);
  // Read while the log is still open: nothing waits in a buffer.
  EXPECT_EQ(events(slurp(dir / "trace.txt")), "       0 open /dev/ttyUSB0\n      30 pause 30 ms\n");
  EXPECT_FALSE(TraceLog(dir / "no-such-folder" / "trace.txt", clock).ok());
}

TEST(TraceOption, IsTakenOutOfTheArgumentsWhereverItStands) {
  const test::ScopedVariable none(app::kTraceVariable, "");
  std::vector<std::string_view> args = {"write",   "--port", "/dev/ttyUSB0",
                                        "--trace", "t.txt",  "radio.ini"};
  EXPECT_EQ(app::takeTraceOption(args), "t.txt");
  EXPECT_EQ(args, (std::vector<std::string_view>{"write", "--port", "/dev/ttyUSB0", "radio.ini"}));

  args = {"--trace=a.txt", "info", "--trace", "b.txt"};
  EXPECT_EQ(app::takeTraceOption(args), "b.txt") << "the last one counts";
  EXPECT_EQ(args, (std::vector<std::string_view>{"info"}));

  args = {"info"};
  EXPECT_EQ(app::takeTraceOption(args), "") << "no trace";
  for (auto bad : {std::vector<std::string_view>{"info", "--trace"},
                   std::vector<std::string_view>{"info", "--trace="}})
    EXPECT_EQ(app::takeTraceOption(bad), std::nullopt);
}

TEST(TraceOption, TheEnvironmentNamesTheFileWhenTheArgumentsDoNot) {
  const test::ScopedVariable named(app::kTraceVariable, "env.txt");
  std::vector<std::string_view> args = {"info"};
  EXPECT_EQ(app::takeTraceOption(args), "env.txt");
  args = {"info", "--trace", "arg.txt"};
  EXPECT_EQ(app::takeTraceOption(args), "arg.txt");
}

TEST(TracedLink, WithoutAFileThePortAndClockAreTheGivenOnes) {
  VirtualClock clock;
  sim::VirtualRadio radio(*sim::identityOfModel("HX33"));
  sim::SimulatedPort port(radio, clock);
  app::TracedLink untraced(port, clock, "");
  EXPECT_EQ(&untraced.port(), &port);
  EXPECT_EQ(&untraced.clock(), &clock);
  EXPECT_FALSE(untraced.failed());

  app::TracedLink unwritable(port, clock, "/no/such/folder/trace.txt");
  EXPECT_TRUE(unwritable.failed());
  EXPECT_EQ(unwritable.failureMessage(), "无法写入跟踪文件“/no/such/folder/trace.txt”");
  EXPECT_EQ(&unwritable.port(), &port);

  test::TempDir dir;
  app::TracedLink traced(port, clock, (dir / "t.txt").string());
  EXPECT_NE(&traced.port(), &port);
  ASSERT_TRUE(traced.port().open("/dev/ttyUSB0"));
  traced.clock().pause(30);
  EXPECT_EQ(events(slurp(dir / "t.txt")), "       0 open /dev/ttyUSB0\n       0 pause 30 ms\n");
}

}  // namespace
}  // namespace rcp::link
