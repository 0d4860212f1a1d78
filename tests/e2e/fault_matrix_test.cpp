// rcp520-cli against a radio that misbehaves part-way: it stops acknowledging, leaves requests
// unanswered, goes away, or the tool is interrupted. Every case ends in bounded time with its
// exit code and message, and never leaves a data file that looks like a good read.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "processes.hpp"
#include "safety/backups.hpp"
#include "settings/data_file.hpp"
#include "support/test_program.hpp"

namespace rcp::e2e {
namespace {

using Seconds = std::chrono::seconds;
using Millis = std::chrono::milliseconds;

const std::string kReadFailed = "读取失败！电台中途停止应答，窗口中的数据可能只有部分来自电台。\n";
const std::string kWritePartial = "写录失败！电台中现在可能只有部分配置。\n";

std::filesystem::path scratch(const std::string& name) {
  return std::filesystem::temp_directory_path() /
         ("rcp520-e2e-faults-" + std::to_string(getpid()) + "-" + name);
}

std::string contents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A data file of the start values, with one line replaced when asked.
std::filesystem::path dataFile(const std::string& name, const std::string& from = "",
                               const std::string& to = "") {
  const auto file = scratch(name);
  test::TestProgram app;
  EXPECT_FALSE(settings::saveDataFile(app.state(), file));
  if (!from.empty()) {
    std::string text = contents(file);
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
  }
  return file;
}

struct Timed {
  Finished finished;
  std::chrono::steady_clock::duration took;
  std::chrono::steady_clock::time_point ended;
};

// The tool run to its end; `meanwhile` runs beside it with the tool's process id.
Timed timedRun(const std::vector<std::string>& args,
               const std::function<void(pid_t)>& meanwhile = {}) {
  std::thread beside;
  const auto start = std::chrono::steady_clock::now();
  Finished finished = run(RCP520_CLI, args, [&](pid_t pid) {
    if (meanwhile) beside = std::thread(meanwhile, pid);
  });
  const auto ended = std::chrono::steady_clock::now();
  if (beside.joinable()) beside.join();
  return {std::move(finished), ended - start, ended};
}

// ---- The bulk block not acknowledged after chunk K ------------------------------------------

class AcknowledgedChunks : public ::testing::TestWithParam<int> {};

TEST_P(AcknowledgedChunks, TheWriteFailsWithItsMessage) {
  const auto source = dataFile("acks-" + std::to_string(GetParam()) + ".ini");
  RadioProcess radio({"--no-ack-after", std::to_string(GetParam())});
  const Timed write = timedRun({"write", "--port", radio.device(), source.string()});
  EXPECT_EQ(write.finished.exitCode, 1);
  // What the failure leaves behind; no read this run, so no backup to name.
  EXPECT_TRUE(write.finished.err.starts_with(kWritePartial)) << write.finished.err;
  EXPECT_LT(write.took, Seconds(15));
  std::filesystem::remove(source);
}

// Every K, with and without the backup and the read-back, runs in process (tests/safety); one over
// the pseudo-terminal.
INSTANTIATE_TEST_SUITE_P(FaultMatrix, AcknowledgedChunks, ::testing::Values(30));

// ---- Requests of a read left unanswered -----------------------------------------------------

struct ReadFault {
  std::vector<std::string> radio;
};

class UnansweredRead : public ::testing::TestWithParam<ReadFault> {};

TEST_P(UnansweredRead, TheReadFailsAndSavesNothing) {
  const auto target = scratch("unanswered.ini");
  RadioProcess radio(GetParam().radio);
  const Timed read = timedRun({"read", "--port", radio.device(), target.string()});
  EXPECT_EQ(read.finished.exitCode, 1);
  EXPECT_EQ(read.finished.err, kReadFailed);
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_LT(read.took, Seconds(30));
}

INSTANTIATE_TEST_SUITE_P(FaultMatrix, UnansweredRead,
                         ::testing::Values(ReadFault{{"--skip-read", "13"}},
                                           ReadFault{{"--silent-after-reads", "22"}}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

// ---- A radio silent from some point of a write ----------------------------------------------

class SilentDuringWrite : public ::testing::TestWithParam<int> {};

TEST_P(SilentDuringWrite, TheWriteFailsWithItsMessage) {
  const auto source = dataFile("silent-" + std::to_string(GetParam()) + ".ini");
  RadioProcess radio({"--silent-after-writes", std::to_string(GetParam())});
  const Timed write = timedRun({"write", "--port", radio.device(), source.string()});
  EXPECT_EQ(write.finished.exitCode, 1);
  // What the failure leaves behind; no read this run, so no backup to name.
  EXPECT_TRUE(write.finished.err.starts_with(kWritePartial)) << write.finished.err;
  EXPECT_LT(write.took, Seconds(15));
  std::filesystem::remove(source);
}

INSTANTIATE_TEST_SUITE_P(FaultMatrix, SilentDuringWrite, ::testing::Values(12));

// ---- The radio's process killed: its side of the line hangs up ------------------------------

TEST(FaultMatrix, ARadioKilledDuringAReadFailsTheRead) {
  const auto target = scratch("killed.ini");
  const auto trace = scratch("killed-read-trace.txt");
  RadioProcess radio({"--trace", trace.string()});
  const Timed read = timedRun({"read", "--port", radio.device(), target.string()}, [&](pid_t) {
    waitUntilRadioReceives(trace, "READ");
    radio.kill();
  });
  EXPECT_EQ(read.finished.exitCode, 1);
  EXPECT_EQ(read.finished.err, kReadFailed);
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_LT(read.took, Seconds(45));
}

TEST(FaultMatrix, ARadioKilledDuringAWriteFailsTheWrite) {
  const auto source = dataFile("killed-write.ini");
  const auto trace = scratch("killed-write-trace.txt");
  RadioProcess radio({"--trace", trace.string()});
  const Timed write = timedRun({"write", "--port", radio.device(), source.string()}, [&](pid_t) {
    waitUntilRadioReceives(trace, "WRITE");
    radio.kill();
  });
  EXPECT_EQ(write.finished.exitCode, 1);
  // What the failure leaves behind; no read this run, so no backup to name.
  EXPECT_TRUE(write.finished.err.starts_with(kWritePartial)) << write.finished.err;
  EXPECT_LT(write.took, Seconds(15));
  std::filesystem::remove(source);
}

// ---- Signals in the middle of a transfer ----------------------------------------------------

class SignalDuringWrite : public ::testing::TestWithParam<int> {};

TEST_P(SignalDuringWrite, IsHeldUntilTheWriteEnds) {
  const int signal = GetParam();
  const auto source = dataFile("signal-" + std::to_string(signal) + ".ini");
  const auto memory = scratch("signal-" + std::to_string(signal) + ".bin");
  const auto trace = scratch("signal-" + std::to_string(signal) + "-trace.txt");
  RadioProcess radio({"--memory", memory.string(), "--trace", trace.string()});
  const Timed write =
      timedRun({"write", "--port", radio.device(), source.string()}, [&](pid_t tool) {
        waitUntilRadioReceives(trace, "WRITE");  // in the middle of the write
        ::kill(tool, signal);
      });
  EXPECT_EQ(write.finished.exitCode, 128 + signal);
  EXPECT_NE(write.finished.err.find("写录尚未结束"), std::string::npos) << write.finished.err;
  EXPECT_EQ(write.finished.err.find("写录已中断"), std::string::npos) << write.finished.err;
  // The whole bulk block arrived: the radio saved its memory after it.
  EXPECT_EQ(contents(memory).size(), 1024u);
  radio.stop();
  for (const auto& file : {source, memory, trace}) std::filesystem::remove(file);
}

INSTANTIATE_TEST_SUITE_P(FaultMatrix, SignalDuringWrite,
                         ::testing::Values(SIGINT, SIGTERM, SIGHUP));

// The signal's exit code wins over the failure's; the failure's message is still printed.
TEST(FaultMatrix, ASignalHeldDuringAWriteThatThenFailsExitsWithTheSignal) {
  const auto source = dataFile("signal-failed.ini");
  const auto trace = scratch("signal-failed-trace.txt");
  RadioProcess radio({"--no-ack-after", "30", "--trace", trace.string()});
  const Timed write =
      timedRun({"write", "--port", radio.device(), source.string()}, [&](pid_t tool) {
        waitUntilRadioReceives(trace, "WRITE");
        ::kill(tool, SIGTERM);
      });
  EXPECT_EQ(write.finished.exitCode, 128 + SIGTERM);
  EXPECT_NE(write.finished.err.find("写录尚未结束"), std::string::npos) << write.finished.err;
  EXPECT_NE(write.finished.err.find(kWritePartial), std::string::npos) << write.finished.err;
  EXPECT_LT(write.took, Seconds(15));
  std::filesystem::remove(source);
}

TEST(FaultMatrix, ASecondCtrlCEndsTheWriteAtOnceWithAWarning) {
  const auto source = dataFile("twice.ini");
  const auto trace = scratch("twice-trace.txt");
  RadioProcess radio({"--trace", trace.string()});
  std::chrono::steady_clock::time_point second;
  const Timed write =
      timedRun({"write", "--port", radio.device(), source.string()}, [&](pid_t tool) {
        waitUntilRadioReceives(trace, "WRITE");
        ::kill(tool, SIGINT);
        std::this_thread::sleep_for(Millis(200));
        second = std::chrono::steady_clock::now();
        ::kill(tool, SIGINT);
      });
  EXPECT_EQ(write.finished.exitCode, 128 + SIGINT);
  EXPECT_NE(write.finished.err.find("写录已中断！电台中可能只有部分数据，请重新写录。"),
            std::string::npos)
      << write.finished.err;
  // At once: well before the rest of the bulk block could have been sent.
  EXPECT_LT(write.ended - second, Millis(1000));
  std::filesystem::remove(source);
}

// It saves nothing into its file; the read itself was whole, so its backup is kept as after any
// read.
TEST(FaultMatrix, ASignalDuringAReadSavesNothing) {
  const auto target = scratch("interrupted.ini");
  const auto backups = [] {
    return app::listBackups(testStateHome() / "rcp520" / "backups").size();
  };
  const std::size_t before = backups();
  const auto trace = scratch("interrupted-trace.txt");
  RadioProcess radio({"--trace", trace.string()});
  const Timed read = timedRun({"read", "--port", radio.device(), target.string()}, [&](pid_t tool) {
    waitUntilRadioReceives(trace, "READ");
    ::kill(tool, SIGTERM);
  });
  EXPECT_EQ(read.finished.exitCode, 128 + SIGTERM);
  EXPECT_NE(read.finished.err.find("读取尚未结束"), std::string::npos) << read.finished.err;
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_EQ(backups(), before + 1);
}

// ---- Input the tool refuses -----------------------------------------------------------------

TEST(FaultMatrix, ANumberTooLongForAnyFieldIsAMessageNotACrash) {
  RadioProcess radio({});
  for (const std::string key : {"FirstChannel", "SecondChannel", "FirstStop", "ThirdStop"}) {
    const auto source = dataFile("long.ini", "\n" + key + "=", "\n" + key + "=1234567890123456789");
    for (const std::string command : {"image", "write"}) {
      std::vector<std::string> args{command};
      if (command == "write") args.insert(args.end(), {"--port", radio.device()});
      args.push_back(source.string());
      const Finished finished = run(RCP520_CLI, args);
      EXPECT_EQ(finished.exitCode, 2) << key << ' ' << command << ": " << finished.err;
      EXPECT_NE(finished.err.find("1234567890123456789"), std::string::npos) << finished.err;
    }
    std::filesystem::remove(source);
  }
}

TEST(FaultMatrix, ADestinationThatCannotBeWrittenIsRefusedBeforeTheRead) {
  RadioProcess radio({});
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"/no/such/folder/radio.ini", "无法在文件夹“/no/such/folder”中存储"},
      {"/", "它不是普通文件"}};
  for (const auto& [target, why] : cases) {
    const Timed read = timedRun({"read", "--port", radio.device(), target});
    EXPECT_EQ(read.finished.exitCode, 2) << target;
    EXPECT_EQ(read.finished.err, "无法写入文件“" + target + "”：" + why + "\n");
    EXPECT_LT(read.took, Millis(1000)) << target;
  }
}

TEST(FaultMatrix, ADanglingLinkAsDestinationGetsTheFileItPointsAt) {
  const auto link = scratch("link.ini");
  const auto target = scratch("target.ini");
  std::filesystem::create_symlink(target, link);
  RadioProcess radio({});
  const Finished read = run(RCP520_CLI, {"read", "--port", radio.device(), link.string()});
  EXPECT_EQ(read.exitCode, 0) << read.err;
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(std::filesystem::is_regular_file(target));
  for (const auto& file : {link, target}) std::filesystem::remove(file);
}

TEST(FaultMatrix, ControlBytesInAMessageAreNotPrintedRaw) {
  const Finished finished = run(RCP520_CLI, {"image", "/no/such/\x1b[2J\x07.ini"});
  EXPECT_EQ(finished.exitCode, 2);
  EXPECT_EQ(finished.err.find('\x1b'), std::string::npos) << finished.err;
  EXPECT_EQ(finished.err.find('\x07'), std::string::npos) << finished.err;
  EXPECT_NE(finished.err.find("\\x1B[2J\\x07"), std::string::npos) << finished.err;
}

}  // namespace
}  // namespace rcp::e2e
