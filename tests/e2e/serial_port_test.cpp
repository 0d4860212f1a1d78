// The serial port on a pseudo-terminal whose other side the test plays.

#include "link/serial_port.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace rcp::link {
namespace {

using Millis = std::chrono::milliseconds;

class PtyLine : public ::testing::Test {
 protected:
  void SetUp() override {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    device_ = ptsname(master_);
    ASSERT_TRUE(port_.open(device_));
  }
  void TearDown() override {
    port_.close();
    close(master_);
  }

  void sendFromRadio(const std::string& bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  std::string takenByRadio() {
    std::string bytes;
    pollfd entry{master_, POLLIN, 0};
    while (poll(&entry, 1, 50) > 0) {
      char buffer[256];
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
  }
  // Reads n bytes; returns them and how long the read took.
  std::pair<std::string, Millis> timedRead(std::size_t n) {
    std::string buffer(n, '\0');
    const auto start = std::chrono::steady_clock::now();
    const std::size_t got =
        port_.read(std::span(reinterpret_cast<std::uint8_t*>(buffer.data()), n));
    const auto took = std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - start);
    buffer.resize(got);
    return {buffer, took};
  }

  int master_ = -1;
  std::string device_;
  SerialPort port_;
};

TEST_F(PtyLine, AOneByteReadWithNoRadioFailsAfterAboutFortyMilliseconds) {
  const auto [bytes, took] = timedRead(1);
  EXPECT_EQ(bytes, "");
  EXPECT_GE(took, Millis(39));
  EXPECT_LT(took, Millis(150));
}

TEST_F(PtyLine, AReadEndsTwentyMillisecondsAfterTheLastByte) {
  std::thread radio([&] {
    std::this_thread::sleep_for(Millis(30));
    sendFromRadio("ab");
    std::this_thread::sleep_for(Millis(10));
    sendFromRadio("c");
  });
  const auto [bytes, took] = timedRead(18);  // the total would allow 380 ms
  radio.join();
  EXPECT_EQ(bytes, "abc");
  EXPECT_GE(took, Millis(30 + 10 + 19));
  EXPECT_LT(took, Millis(200));
}

TEST_F(PtyLine, AReadReturnsAsSoonAsAllBytesAreThere) {
  sendFromRadio("RCP77D HX77  V2.10");
  const auto [bytes, took] = timedRead(18);
  EXPECT_EQ(bytes, "RCP77D HX77  V2.10");
  EXPECT_LT(took, Millis(100)) << "far below the 380 ms the time-out would allow";
}

// The reading process is taken off the processor (here: a signal handler that sleeps) while
// the acknowledgement arrives and stays off past the read's deadline. What arrived meanwhile is
// still the answer.
int descheduledMaster = -1;
void answerWhileDescheduled(int) {
  const char ack = 'T';
  (void)!write(descheduledMaster, &ack, 1);
  const timespec away{0, 150 * 1000 * 1000};
  nanosleep(&away, nullptr);
}

TEST_F(PtyLine, AnAnswerThatCameWhileTheReaderWasDescheduledIsNotATimeOut) {
  struct sigaction action {};
  action.sa_handler = answerWhileDescheduled;  // no SA_RESTART: the wait sees EINTR
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
  descheduledMaster = master_;
  const pthread_t reader = pthread_self();
  std::thread scheduler([reader] {
    std::this_thread::sleep_for(Millis(10));
    pthread_kill(reader, SIGUSR1);
  });
  const auto [bytes, took] = timedRead(1);
  scheduler.join();
  sigaction(SIGUSR1, &previous, nullptr);
  EXPECT_EQ(bytes, "T");
  EXPECT_GE(took, Millis(150));
}

TEST_F(PtyLine, PurgesDropWhatCameInButNeverWhatWasSent) {
  sendFromRadio("stale");
  std::this_thread::sleep_for(Millis(5));
  port_.purgeReceive();
  EXPECT_EQ(timedRead(1).first, "");

  // The write is followed at once by a purge of both buffers, as in the greeting before the bulk
  // chunks: the radio still gets every byte.
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(port_.write(std::vector<std::uint8_t>{0x91}));
    port_.purgeBoth();
  }
  EXPECT_EQ(takenByRadio(), std::string(20, '\x91'));
}

TEST_F(PtyLine, TheLineIsRaw) {
  ASSERT_TRUE(port_.write(std::vector<std::uint8_t>{'P', 0x0D, 0x0A, 0x91, 0x00, 0x11, 0x13}));
  EXPECT_EQ(takenByRadio(), std::string("P\r\n\x91\0\x11\x13", 7));
  sendFromRadio(std::string("\r\x03\x11\x7F", 4));
  EXPECT_EQ(timedRead(4).first, std::string("\r\x03\x11\x7F", 4));
}

TEST_F(PtyLine, APortHeldElsewhereDoesNotOpenUntilReleased) {
  SerialPort second;
  EXPECT_FALSE(second.open(device_));

  // Another process holds it.
  port_.close();
  int ready[2];
  int release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  const pid_t child = fork();
  if (child == 0) {
    close(release[1]);
    SerialPort holder;
    const char opened = holder.open(device_) ? 1 : 0;
    (void)!write(ready[1], &opened, 1);
    char c;
    (void)!read(release[0], &c, 1);
    _exit(0);
  }
  char opened = 0;
  ASSERT_EQ(read(ready[0], &opened, 1), 1);
  ASSERT_EQ(opened, 1);
  EXPECT_FALSE(second.open(device_));
  close(release[1]);
  waitpid(child, nullptr, 0);
  EXPECT_TRUE(second.open(device_));
  for (const int fd : {ready[0], ready[1], release[0]}) close(fd);
}

TEST(SerialPortDevices, OnlyExistingTerminalsOpen) {
  SerialPort port;
  EXPECT_FALSE(port.open("/dev/does-not-exist"));
  EXPECT_FALSE(port.open("/etc/hostname"));
  EXPECT_FALSE(port.isOpen());
  EXPECT_FALSE(port.write(std::vector<std::uint8_t>{'Q'}));
  std::uint8_t byte = 0;
  EXPECT_EQ(port.read(std::span(&byte, 1)), 0u);
}

}  // namespace
}  // namespace rcp::link
