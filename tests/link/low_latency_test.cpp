// Low latency on USB serial adaptors: the driver's flag and an FTDI adaptor's latency timer.

#include "link/low_latency.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

#include "cli/ports.hpp"
#include "support/fake_system.hpp"
#include "support/temp_dir.hpp"

namespace rcp::link {
namespace {

TEST(LowLatency, TheTimerIsReadAndLoweredAndThePortsListShowsAHighOne) {
  test::TempDir dir;
  test::FakeSystem system(dir.path());
  system.addUsb(
      {"ttyUSB0", "1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A1", "ftdi_sio", "", "16"});
  system.addUsb({"ttyACM0", "1-3", "1234", "5678", "", "", "", "cdc_acm", ""});
  EXPECT_EQ(latencyTimer("ttyUSB0", system.roots()), 16);
  EXPECT_EQ(latencyTimer("ttyACM0", system.roots()), std::nullopt);

  std::ostringstream out, err;
  app::cliPorts({}, {out, err}, system.roots(), dir / "Com.ini");
  EXPECT_NE(out.str().find("16 ms"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find(highLatencyText("ttyUSB0", 16)), std::string::npos) << out.str();

  // A terminal that is no serial driver's (here /dev/null) takes no flag; the timer is set.
  const int fd = ::open("/dev/null", O_RDWR);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(askLowLatency(fd, "/dev/ttyUSB0", system.roots()),
            "low latency: ASYNC_LOW_LATENCY not supported, latency_timer 16 -> 1 ms");
  EXPECT_EQ(latencyTimer("ttyUSB0", system.roots()), 1);
  EXPECT_EQ(askLowLatency(fd, "/dev/ttyACM0", system.roots()),
            "low latency: ASYNC_LOW_LATENCY not supported");
  ::close(fd);
  std::ostringstream again;
  app::cliPorts({}, {again, err}, system.roots(), dir / "Com.ini");
  EXPECT_EQ(again.str().find("延迟计时器为"), std::string::npos) << again.str();
}

}  // namespace
}  // namespace rcp::link
