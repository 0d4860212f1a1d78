// The protocol trace of real runs: a full write through the command line against rcp520-radio,
// the environment variable, and the desktop tool's --trace.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "link/hex_text.hpp"
#include "processes.hpp"
#include "program/data_file_opening.hpp"
#include "settings/data_file.hpp"
#include "support/temp_dir.hpp"
#include "support/test_program.hpp"
#include "window/transfer_commands.hpp"

namespace rcp::e2e {
namespace {

std::string contents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// One event of the tool's trace: "   1234 > 50 52 4F 47 0D  |PROG.|".
struct TraceLine {
  long ms = 0;
  std::string what;  // ">", "<", "pause", "purge", "open", ...
  std::vector<std::uint8_t> bytes;
  int pauseMs = 0;
};

std::vector<TraceLine> parseToolTrace(const std::string& trace) {
  std::vector<TraceLine> lines;
  std::istringstream in(trace);
  for (std::string text; std::getline(in, text);) {
    if (text.starts_with("#")) continue;
    std::istringstream words(text);
    TraceLine line;
    words >> line.ms >> line.what;
    std::string word;
    if (line.what == "pause") words >> line.pauseMs;
    if (line.what == ">" || line.what == "<") {
      while (words >> word && word.size() == 2 && link::isHexDigit(word[0]) &&
             link::isHexDigit(word[1]))
        line.bytes.push_back(link::bytesFromHex(word).front());
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

// What rcp520-radio received, from its own trace ("812 < 50 52 4F 47 0D").
std::vector<std::uint8_t> radioReceived(const std::string& trace) {
  std::vector<std::uint8_t> bytes;
  std::istringstream in(trace);
  for (std::string text; std::getline(in, text);) {
    std::istringstream words(text);
    std::string at, direction, word;
    words >> at >> direction;
    if (direction != "<") continue;
    while (words >> word) bytes.push_back(link::bytesFromHex(word).front());
  }
  return bytes;
}

TEST(ProtocolTrace, AFullWriteHoldsEveryByteInOrderAndItsPauses) {
  test::TempDir dir;
  const auto source = dir / "radio.ini";
  const auto toolTrace = dir / "tool-trace.txt";
  const auto radioTrace = dir / "radio-trace.txt";

  // The bytes the same write sends in process, on the virtual radio of the same model.
  test::TestProgram app;
  settings::Record(app.state()).set("FirstChannel", "25");
  ASSERT_FALSE(settings::saveDataFile(app.state(), source));
  ASSERT_FALSE(app::openDataFileAndCheck(app.state(), source));
  app::TransferMemory memory;
  ASSERT_EQ(app::WriteDataClick(app.state(), memory, {}, app::RestoreOffer::Ask).outcome,
            image::TransferOutcome::Done);
  const std::vector<std::uint8_t> expected = app.port.sent();

  {
    RadioProcess radio({"--trace", radioTrace.string()});
    const Finished write = run(RCP520_CLI, {"write", "--port", radio.device(), "--trace",
                                            toolTrace.string(), source.string()});
    ASSERT_EQ(write.exitCode, 0) << write.err;
    EXPECT_EQ(radio.stop(), 0);
  }

  const auto lines = parseToolTrace(contents(toolTrace));
  std::vector<std::uint8_t> sent;
  for (const auto& line : lines)
    if (line.what == ">") sent.insert(sent.end(), line.bytes.begin(), line.bytes.end());
  EXPECT_GT(sent.size(), 1000u);
  EXPECT_EQ(sent, expected) << "every byte of the write stream, in order";
  EXPECT_EQ(sent, radioReceived(contents(radioTrace))) << "what the radio received";

  // Timestamps: in order, and a pause of 30 ms is a gap of at least 30 ms before the next event.
  int pauses = 0;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    EXPECT_LE(lines[i].ms, lines[i + 1].ms) << "line " << i;
    if (lines[i].what != "pause") continue;
    EXPECT_GE(lines[i + 1].ms - lines[i].ms, lines[i].pauseMs) << "line " << i;
    if (lines[i].pauseMs == 30) ++pauses;
  }
  EXPECT_GT(pauses, 100);
  EXPECT_EQ(lines.front().what, "open");
  EXPECT_EQ(lines.front().ms, 0);
}

TEST(ProtocolTrace, TheEnvironmentVariableTracesTheCommandLine) {
  test::TempDir dir;
  const auto trace = dir / "env-trace.txt";
  RadioProcess radio({"--model", "HX77"});
  setenv("RCP520_TRACE", trace.c_str(), 1);
  const Finished info = run(RCP520_CLI, {"info", "--port", radio.device()});
  unsetenv("RCP520_TRACE");
  EXPECT_EQ(info.exitCode, 0) << info.err;
  const std::string traced = contents(trace);
  EXPECT_NE(traced.find("       0 open " + radio.device() + "\n"), std::string::npos) << traced;
  EXPECT_NE(traced.find("> 50 52 4F 47 0D  |PROG.|"), std::string::npos) << traced;
  EXPECT_NE(traced.find("|RCP77D HX77  V2.10|  18 of 18 bytes in "), std::string::npos) << traced;

  const Finished unwritable =
      run(RCP520_CLI, {"info", "--port", radio.device(), "--trace", "/no/such/folder/t.txt"});
  EXPECT_EQ(unwritable.exitCode, 2);
  EXPECT_EQ(unwritable.err, "无法写入跟踪文件“/no/such/folder/t.txt”\n");
  EXPECT_EQ(run(RCP520_CLI, {"info", "--trace"}).exitCode, 2) << "--trace needs a file";
}

#ifdef RCP520_DESKTOP
// The desktop tool with --trace, started on the radio through its Com.ini, then ended.
TEST(ProtocolTrace, TheDesktopToolTracesItsStartUpGreeting) {
  test::TempDir dir;
  const auto trace = dir / "desktop-trace.txt";
  RadioProcess radio({"--model", "HX77"});
  std::filesystem::create_directories(dir / "rcp520");
  std::ofstream(dir / "rcp520" / "Com.ini")
      << "[ComStatus]\nComport=COM3\n[ComDevices]\nCOM3=" << radio.device() << "\n";
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string savedConfig = config ? config : "";
  setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::string traced;
  run(RCP520_DESKTOP, {"--trace", trace.string()}, [&](pid_t pid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline &&
           contents(trace).find("18 of 18 bytes") == std::string::npos)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    traced = contents(trace);  // the trace is complete while the program still runs
    kill(pid, SIGTERM);
  });
  if (config)
    setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
  unsetenv("QT_QPA_PLATFORM");
  EXPECT_NE(traced.find("       0 open " + radio.device() + "\n"), std::string::npos) << traced;
  EXPECT_NE(traced.find("|RCP77D HX77  V2.10|  18 of 18 bytes in "), std::string::npos) << traced;
}
#endif

}  // namespace
}  // namespace rcp::e2e
