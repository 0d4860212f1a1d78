// The virtual radio behind a pseudo-terminal, fed the way a real line may deliver bytes.

#include "sim/pty_radio.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "link/serial_port.hpp"
#include "sim/radio_models.hpp"

namespace rcp::sim {
namespace {

using Millis = std::chrono::milliseconds;

// Serves a radio on a pseudo-terminal in a thread until the test is done with it.
class ServedRadio {
 public:
  ServedRadio() {
    EXPECT_EQ(pty_.open(), std::nullopt);
    EXPECT_EQ(::pipe(stop_), 0);
    thread_ = std::thread([this] { pty_.serve(stop_[0]); });
  }
  ~ServedRadio() { stop(); }

  const std::string& device() const { return pty_.slavePath(); }
  // Ends serving; the radio's records may be read after this.
  VirtualRadio& stop() {
    if (thread_.joinable()) {
      EXPECT_EQ(::write(stop_[1], "x", 1), 1);
      thread_.join();
      ::close(stop_[0]);
      ::close(stop_[1]);
    }
    return radio_;
  }

 private:
  VirtualRadio radio_{*identityOfModel("HX77")};
  PtyRadio pty_{radio_};
  int stop_[2] = {-1, -1};
  std::thread thread_;
};

std::vector<std::string> acceptedTexts(const VirtualRadio& radio) {
  std::vector<std::string> texts;
  for (const auto& entry : radio.handled())
    if (entry.accepted) texts.push_back(entry.text);
  return texts;
}

TEST(PtyRadioLine, TakesEveryModeLetterWhenWritesArriveOneByteAtATimeBackToBack) {
  ServedRadio served;
  link::SerialPort port;
  ASSERT_TRUE(port.open(served.device()));
  const auto sendBytewise = [&](const std::string& text) {
    for (const char c : text) {
      const std::uint8_t byte[1] = {static_cast<std::uint8_t>(c)};
      port.write(byte);
    }
  };
  sendBytewise("T");
  std::this_thread::sleep_for(Millis(30));
  port.purgeReceive();
  sendBytewise("Q\x91PROG\r");
  std::uint8_t identity[18] = {};
  EXPECT_EQ(port.read(identity), sizeof identity);
  sendBytewise("T\x91");
  sendBytewise("Q\x91PROG\r");
  std::uint8_t echoAndIdentity[1 + 18] = {};
  EXPECT_EQ(port.read(echoAndIdentity), sizeof echoAndIdentity);
  port.close();
  const VirtualRadio& radio = served.stop();
  EXPECT_EQ(acceptedTexts(radio), (std::vector<std::string>{"T", "Q", "PROG", "T", "Q", "PROG"}));
}

// A pseudo-terminal delivers a chunk at once, where a 9600-baud line takes 16.7 ms for its 16
// bytes; the radio keeps the line's pace, so a tool taken off the processor for 11 ms between
// sending the chunk (drained) and purging its receive buffer still finds the acknowledgement.
TEST(PtyRadioLine, AToolStalledBetweenTheChunkAndThePurgeStillGetsTheAcknowledgement) {
  ServedRadio served;
  link::SerialPort port;
  ASSERT_TRUE(port.open(served.device()));
  const auto send = [&port](const std::string& text) {
    return port.write(std::vector<std::uint8_t>(text.begin(), text.end()));
  };
  ASSERT_TRUE(send("D"));
  std::uint8_t ack = 0;
  ASSERT_EQ(port.read(std::span(&ack, 1)), 1u);
  for (int chunk = 0; chunk < 5; ++chunk) {
    ASSERT_TRUE(send("0123456789ABCDEF"));
    const auto sent = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(Millis(9));
    port.purgeReceive();
    const bool stalledLonger = std::chrono::steady_clock::now() - sent > Millis(18);
    ack = 0;
    const std::size_t got = port.read(std::span(&ack, 1));
    // A machine so loaded that the stall grew past the chunk's line time proves nothing here.
    if (stalledLonger) continue;
    EXPECT_EQ(got, 1u) << "chunk " << chunk;
    EXPECT_EQ(ack, 'D');
  }
  port.close();
}

}  // namespace
}  // namespace rcp::sim
