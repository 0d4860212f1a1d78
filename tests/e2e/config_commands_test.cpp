// rcp520-cli check and diff as a user runs them: what they print and how they exit.

#include <gtest/gtest.h>

#include <string>

#include "processes.hpp"
#include "support/saved_file.hpp"

namespace rcp::e2e {
namespace {

TEST(ConfigCommands, CheckAndDiffExitByWhatTheyFound) {
  test::TempDir dir;
  const std::string good = test::savedFile(dir / "good.ini").string();
  const std::string bad = test::savedFile(dir / "bad.ini", {{"Group2", "3265500800"}}).string();
  const std::string missing = (dir / "missing.ini").string();

  const Finished clean = run(RCP520_CLI, {"check", good});
  EXPECT_EQ(clean.exitCode, 0);
  EXPECT_EQ(clean.out + clean.err, "");
  const Finished warned = run(RCP520_CLI, {"check", bad});
  EXPECT_EQ(warned.exitCode, 1);
  EXPECT_EQ(warned.out.rfind("用户信息 › MPT1343 › 组呼号2 “3265500800”：[系统信息] "
                             "组呼号超出范围!(900---999)\n共 1 条警告",
                             0),
            0u)
      << warned.out;
  EXPECT_EQ(run(RCP520_CLI, {"check", missing}).exitCode, 2);

  EXPECT_EQ(run(RCP520_CLI, {"diff", good, good}).exitCode, 0);
  EXPECT_EQ(run(RCP520_CLI, {"diff", "--image", "--model", "HX77", good, good}).exitCode, 0);
  const Finished differs = run(RCP520_CLI, {"diff", good, bad});
  EXPECT_EQ(differs.exitCode, 1);
  EXPECT_NE(differs.out.find("  用户信息 › MPT1343 › 组呼号2：A “”，B “3265500800”\n"),
            std::string::npos)
      << differs.out;
  EXPECT_EQ(run(RCP520_CLI, {"diff", good, missing}).exitCode, 2);
  EXPECT_EQ(run(RCP520_CLI, {"diff", "--image", "--model", "HX99", good, good}).exitCode, 2);
}

TEST(ConfigCommands, WhereAnswersOnStandardOutputAndRefusesWhatItDoesNotKnow) {
  const Finished address = run(RCP520_CLI, {"where", "0x0CF"});
  EXPECT_EQ(address.exitCode, 0) << address.err;
  EXPECT_EQ(address.out, "0x0CF（byte）：字段 TA，用户信息 › 时间常数 › TA，数据文件键：TA\n");
  const Finished field = run(RCP520_CLI, {"where", "TA"});
  EXPECT_EQ(field.exitCode, 0) << field.err;
  EXPECT_NE(field.out.find("电台存储：0x0CF（byte）\n"), std::string::npos) << field.out;
  const Finished unknown = run(RCP520_CLI, {"where", "0x400"});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_EQ(unknown.out, "");
  EXPECT_NE(unknown.err.find("“0x400”不是电台存储中的地址"), std::string::npos) << unknown.err;
}

TEST(ConfigCommands, AFileAgainstTheRadioItWasWrittenIntoDiffersOnlyInWhatTheRadioDoesNotKeep) {
  test::TempDir dir;
  // The call-back menu setting is saved as the box shows it; the radio keeps the switch only.
  const std::string file = test::savedFile(dir / "fleet.ini", {{"Callback", "True"}}).string();
  const std::string changed =
      test::savedFile(
          dir / "changed.ini",
          {{"Callback", "True"}, {"TA", "30"}, {"Hunt05", "12"}, {"Group2", "3265500901"}})
          .string();
  RadioProcess radio({});
  const Finished write = run(RCP520_CLI, {"write", "--port", radio.device(), file});
  ASSERT_EQ(write.exitCode, 0) << write.err;

  const Finished same = run(RCP520_CLI, {"diff", "--port", radio.device(), file, "radio"});
  EXPECT_EQ(same.exitCode, 0) << same.err;
  EXPECT_EQ(
      same.out,
      "[附加功能]\n"
      "  附加功能 › 中文菜单及其它功能 › 回叫功能（键 回叫功能）：A “回叫功能无效”，B 电台不保存\n"
      "共 0 项不同，1 项电台不保存（A：" +
          file + "，B：电台 " + radio.device() + "）。\n");

  const Finished three = run(RCP520_CLI, {"diff", "--port", radio.device(), "radio", changed});
  EXPECT_EQ(three.exitCode, 1) << three.err;
  EXPECT_EQ(
      three.out,
      "[基本设置]\n"
      "  基本设置 › 信道设置 › 控制信道5：A “0”，B “12”\n"
      "[用户信息]\n"
      "  用户信息 › MPT1343 › 组呼号2：A “”，B “3265500901”\n"
      "  用户信息 › 时间常数 › TA：A “60”，B “30”\n"
      "[附加功能]\n"
      "  附加功能 › 中文菜单及其它功能 › 回叫功能（键 回叫功能）：A 电台不保存，B “回叫功能无效”\n"
      "共 3 项不同，1 项电台不保存（A：电台 " +
          radio.device() + "，B：" + changed + "）。\n");
  EXPECT_EQ(radio.stop(), 0);
}

}  // namespace
}  // namespace rcp::e2e
