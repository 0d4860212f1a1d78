// The command-line conventions of rcp520-cli and rcp520-radio: help on stdout with exit 0, the
// version of the build, and usage errors as one line and the usage hint on stderr with exit 2.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "processes.hpp"
#include "version.hpp"

namespace rcp::e2e {
namespace {

int lines(const std::string& text) {
  int count = 0;
  for (const char c : text) count += c == '\n';
  return count;
}

TEST(CommandLine, HelpGoesToStandardOutputAndExitsZero) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"--help"},
                                                                {"-h"},
                                                                {"--help-all"},
                                                                {"info", "--help"},
                                                                {"read", "-h"},
                                                                {"write", "--help"},
                                                                {"image", "--help"}}) {
    const Finished help = run(RCP520_CLI, args);
    EXPECT_EQ(help.exitCode, 0) << args.front();
    EXPECT_EQ(help.err, "") << args.front();
    EXPECT_EQ(help.out.rfind("Usage: rcp520-cli", 0), 0u) << help.out;
  }
  const Finished image = run(RCP520_CLI, {"image", "--help"});
  EXPECT_EQ(image.out.rfind("Usage: rcp520-cli image [--model NAME] FILE.ini\n", 0), 0u)
      << image.out;
  const Finished all = run(RCP520_CLI, {"--help"});
  for (const char* command : {"info [--port DEVICE|COM1..COM4]\n", "read [--port", "write [--port",
                              "image [--model", "Exit status"})
    EXPECT_NE(all.out.find(command), std::string::npos) << command;

  // --help-all: every command with its usage line and its example; no CLI11 marks.
  const Finished every = run(RCP520_CLI, {"--help-all"});
  for (const char* command :
       {"info", "read", "write", "image", "ports", "backups", "fleet", "check", "diff"}) {
    const std::string name = std::string("rcp520-cli ") + command;
    EXPECT_NE(every.out.find("  Usage: " + name), std::string::npos) << command;
    EXPECT_NE(every.out.find("  Example: " + name), std::string::npos) << command;
  }
  for (const char* mark : {"{false}", "{true}", "{0}", "{1}"})
    EXPECT_EQ(every.out.find(mark), std::string::npos) << mark;

  const Finished radio = run(RCP520_RADIO, {"--help"});
  EXPECT_EQ(radio.exitCode, 0);
  EXPECT_EQ(radio.err, "");
  EXPECT_EQ(radio.out.rfind("Usage: rcp520-radio [--model NAME | --identity TEXT] [OPTIONS]\n", 0),
            0u);
  for (const char* option :
       {"--model", "--identity", "--memory", "--link", "--trace", "--silent", "--no-ack-after",
        "--delay", "--skip-read", "--silent-after-reads", "--silent-after-writes", "HX34s"})
    EXPECT_NE(radio.out.find(option), std::string::npos) << option;
}

TEST(CommandLine, VersionIsTheBuildsOne) {
  const std::string version(kVersion);
  EXPECT_EQ(run(RCP520_CLI, {"--version"}).out, "rcp520-cli " + version + "\n");
  EXPECT_EQ(run(RCP520_CLI, {"--version"}).exitCode, 0);
  EXPECT_EQ(run(RCP520_RADIO, {"--version"}).out, "rcp520-radio " + version + "\n");
  EXPECT_EQ(run(RCP520_RADIO, {"--version"}).exitCode, 0);
}

TEST(CommandLine, UsageErrorsAreOneLineAndTheHintOnStandardError) {
  struct Case {
    std::vector<std::string> args;
    std::string firstLine;
    std::string usage;
  };
  for (const Case& c : std::vector<Case>{
           {{}, "rcp520-cli: 缺少命令", "用法：rcp520-cli COMMAND"},
           {{"flash"}, "rcp520-cli: 没有这个命令：flash", "用法：rcp520-cli COMMAND"},
           {{"info", "--speed", "9600"},
            "rcp520-cli: 多余的参数：--speed 9600",
            "用法：rcp520-cli info [--port DEVICE|COM1..COM4]"},
           {{"write", "--verfy", "a.ini"},
            "rcp520-cli: 多余的参数：--verfy",
            "用法：rcp520-cli write"},
           {{"read", "--port"},
            "rcp520-cli: --port 后面缺少 DEVICE|COM1..COM4",
            "用法：rcp520-cli read [--port DEVICE|COM1..COM4] FILE.ini"},
           {{"write"}, "rcp520-cli: 缺少 FILE.ini", "用法：rcp520-cli write"},
           {{"fleet", "t.ini", "--numbers", "1-2", "--table", "t.csv"},
            "rcp520-cli: --numbers 和 --table 不能同时使用",
            "用法：rcp520-cli fleet"},
       }) {
    const Finished bad = run(RCP520_CLI, c.args);
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.out, "");
    std::istringstream err(bad.err);
    std::string first;
    std::string usage;
    std::getline(err, first);
    std::getline(err, usage);
    EXPECT_EQ(first, c.firstLine);
    EXPECT_EQ(usage.rfind(c.usage, 0), 0u) << usage;
    EXPECT_NE(bad.err.find(" --help”。"), std::string::npos) << bad.err;
    EXPECT_EQ(lines(bad.err), 3) << bad.err;
  }

  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--bogus"}, {"--delay"}, {"--delay", "x"}, {"--skip-read", "0x10"}, {"extra"}}) {
    const Finished bad = run(RCP520_RADIO, args);
    EXPECT_EQ(bad.exitCode, 2) << args.front();
    EXPECT_EQ(bad.out, "") << args.front();
    EXPECT_EQ(bad.err.rfind("rcp520-radio: ", 0), 0u) << bad.err;
    EXPECT_NE(bad.err.find("用法：rcp520-radio"), std::string::npos) << bad.err;
  }
}

}  // namespace
}  // namespace rcp::e2e
