#include "review/config_check.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/check.hpp"
#include "settings/data_file.hpp"
#include "support/saved_file.hpp"
#include "support/test_program.hpp"
#include "window/transfer_commands.hpp"

namespace rcp::app {

void PrintTo(const CheckWarning& w, std::ostream* os) {
  *os << w.field << " | " << w.path << " | " << w.value << " | " << w.caption << " | " << w.text;
}

namespace {

using test::KeyValues;

std::vector<CheckWarning> warningsOf(const std::filesystem::path& file) {
  const DataFileCheck check = checkDataFile(file);
  EXPECT_FALSE(check.openError) << check.openError->message;
  return check.warnings;
}

// The warnings of the window's own rules, without the write's check of what comes back
// ("读写数据", see write_round_trip_test.cpp).
std::vector<CheckWarning> ruleWarningsOf(const std::filesystem::path& file) {
  std::vector<CheckWarning> rules;
  for (CheckWarning& w : warningsOf(file))
    if (w.caption != "读写数据") rules.push_back(std::move(w));
  return rules;
}

TEST(CheckDataFile, WhatTheProgramSavesWarnsOfNothing) {
  test::TempDir dir;
  EXPECT_EQ(warningsOf(test::savedFile(dir / "fresh.ini")), std::vector<CheckWarning>{});
  {
    OfflineProgram cpsx;
    settings::Record(cpsx.state()).set("DiallingScheme", std::string("CPSX"));
    ASSERT_FALSE(settings::saveDataFile(cpsx.state(), dir / "cpsx.ini"));
  }
  EXPECT_EQ(warningsOf(dir / "cpsx.ini"), std::vector<CheckWarning>{});
  // A record as a read brings it back from each model, after a write of the fresh record.
  for (const sim::ModelIdentity& model : sim::modelIdentities()) {
    test::TestProgram program(true, model.model);
    TransferMemory memory;
    program.clock.pause(1000);
    ASSERT_EQ(WriteDataClick(program.state(), memory, {}, RestoreOffer::Ask).outcome,
              image::TransferOutcome::Done);
    ASSERT_EQ(ReadDataClick(program.state(), memory).outcome, image::TransferOutcome::Done);
    const auto file = dir / (std::string(model.model) + ".ini");
    ASSERT_FALSE(settings::saveDataFile(program.state(), file));
    EXPECT_EQ(warningsOf(file), std::vector<CheckWarning>{}) << model.model;
  }
}

struct PlantedFault {
  const char* what;
  KeyValues changes;
  std::vector<CheckWarning> warnings;
};

TEST(CheckDataFile, PlantedFaultsAreWarnedOfAsTheWindowShowsThem) {
  const PlantedFault faults[] = {
      {"a range end below its start",
       {{"FirstChannel", "100"}, {"FirstStop", "50"}},
       {{"FirstStop", "基本设置 › 信道设置 › 第一段终止", "50", "警告",
         "终止信道号应大于起始信道号"}}},
      {"the range warning window",
       {{"FirstChannel", "0"}},
       {{"FirstChannel", "基本设置 › 信道设置 › 第一段起始", "0", "警告", "最小值为 1"}}},
      // Leaving the group field classifies the own number once more; the window puts the focus
      // on the own number for that warning.
      {"a CPSX number of the wrong length",
       {{"DiallingScheme", "CPSX"}, {"Indivol", "3262020"}, {"Group1", "32620900"}},
       {{"Indivol", "用户信息 › CPSX › 个呼号", "3262020", "系统信息", "号码应为8位！"},
        {"Indivol", "用户信息 › CPSX › 个呼号", "3262020", "系统信息", "输入号码有误!"}}},
      {"a fleet member out of range",
       {{"Indivol", "3262001199"}},
       {{"Indivol", "用户信息 › MPT1343 › 个呼号", "3262001199", "系统信息",
         "个呼号超出范围!(200---899)"}}},
      {"a group outside the group range",
       {{"Group2", "3265500800"}},
       {{"Group2", "用户信息 › MPT1343 › 组呼号2", "3265500800", "系统信息",
         "组呼号超出范围!(900---999)"}}},
      // Leaving the own number checks the groups of its fleet level and puts the focus on the
      // group that fails; leaving that group finds the same again, which is given once.
      {"a CPSX group outside its fleet level",
       {{"DiallingScheme", "CPSX"}, {"Indivol", "32620201"}, {"Group1", "32621950"}},
       {{"Group1", "用户信息 › CPSX › 组呼号1", "32621950", "系统信息",
         "跨队组呼号超出范围(900--909)！"}}},
      // Leaving the own number first puts its fleet limits into these two; they are left
      // before it, holding the file's values.
      {"the largest individual number",
       {{"MaxIndivol", "950"}},
       {{"MaxIndivol", "用户信息 › MPT1343 › 最大个呼号", "950", "系统信息",
         "超出范围(200---900)!"}}},
      {"the largest group number",
       {{"MaxFleet", "50"}},
       {{"MaxFleet", "用户信息 › MPT1343 › 最大组呼号", "50", "系统信息", "超出范围(900---999)!"}}},
      {"the dialogs' own checks",
       {{"Simplex12RxFreq", "3610260"},
        {"HideGroup2", "1234"},
        {"无线局向号3", "300"},
        {"对应系统号3", "1"}},
       {{"Simplex12RxFreq", "基本设置 › 脱网信道 › 脱网频率设置 › 脱网频率12接收频率", "3610260",
         "系统信息", "应整除125！"},
        {"HideGroup2", "用户信息 › MPT1343 › 更多组及隐含组 › 隐含组二", "1234", "系统信息",
         "号码应大于9位！"},
        {"无线局向号3", "基本设置 › 信道设置 › 无线局向号列表框 › 无线局向号3", "300", "系统信息",
         "无线局向号应小于255!"}}},
  };
  for (const PlantedFault& fault : faults) {
    test::TempDir dir;
    EXPECT_EQ(ruleWarningsOf(test::savedFile(dir / "planted.ini", fault.changes)), fault.warnings)
        << fault.what;
  }
}

TEST(CheckDataFile, AFieldTheUserCannotReachIsNotLeft) {
  test::TempDir dir;
  // The dynamic group is entered only while its switch is on; the waiting groups only while
  // more groups are shown.
  const KeyValues hidden = {{"DynaGroup", "123"}, {"WaitGroup1", "1234"}};
  const auto hiddenFile = test::savedFile(dir / "hidden.ini", hidden);
  EXPECT_EQ(ruleWarningsOf(hiddenFile), std::vector<CheckWarning>{});
  // The write sends the waiting groups whether shown or not: its check names the one the radio
  // cannot hold.
  const auto all = warningsOf(hiddenFile);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].field, "WaitGroup1");
  KeyValues shown = hidden;
  shown.insert(shown.end(), {{"DynaCode", "True"}, {"MoreGrpDisp", "True"}});
  const auto warnings = ruleWarningsOf(test::savedFile(dir / "shown.ini", shown));
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_EQ(warnings[0].field, "DynaGroup");
  EXPECT_EQ(warnings[1].field, "WaitGroup1");
}

TEST(CliCheck, PrintsEachWarningAndACountOrNothing) {
  test::TempDir dir;
  std::ostringstream out, err;
  EXPECT_EQ(cliCheck(test::savedFile(dir / "good.ini"), {out, err}), kExitDone);
  EXPECT_EQ(out.str() + err.str(), "");

  const auto bad = test::savedFile(dir / "bad.ini", {{"Indivol", "3262001199"}});
  EXPECT_EQ(cliCheck(bad, {out, err}), kExitFound);
  EXPECT_EQ(out.str(),
            "用户信息 › MPT1343 › 个呼号 “3262001199”：[系统信息] 个呼号超出范围!(200---899)\n"
            "共 1 条警告：这些字段写入电台前应在窗口中改正（打开该文件，逐一改正后存储）。\n");
  EXPECT_EQ(err.str(), "");

  std::ostringstream none, why;
  EXPECT_EQ(cliCheck(dir / "missing.ini", {none, why}), kExitUsageFileOrPort);
  EXPECT_EQ(none.str(), "");
  EXPECT_EQ(why.str(), "文件“" + (dir / "missing.ini").string() + "”不存在！\n");
}

}  // namespace
}  // namespace rcp::app
