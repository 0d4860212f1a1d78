#include "review/config_diff.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/check.hpp"
#include "cli/diff.hpp"
#include "cli/written_image.hpp"
#include "link/ini_profile.hpp"
#include "program/data_file_opening.hpp"
#include "support/saved_file.hpp"
#include "support/test_program.hpp"
#include "window/transfer_commands.hpp"

namespace rcp::app {
namespace {

struct CliDiffTest : ::testing::Test {
  test::TempDir dir;
  std::filesystem::path fresh = test::savedFile(dir / "a.ini");
  std::ostringstream out, err;

  int diff(const std::filesystem::path& b, bool image = false) {
    out.str("");
    err.str("");
    return cliDiff({fresh, b, image}, {out, err});
  }
};

TEST_F(CliDiffTest, AFileAgainstItselfIsEqual) {
  EXPECT_EQ(diff(fresh), kExitDone);
  EXPECT_EQ(diff(fresh, true), kExitDone);
  EXPECT_EQ(out.str() + err.str(), "");
}

TEST_F(CliDiffTest, ExactlyTheChangedFieldsAreListedUnderTheirTabs) {
  // A number written another way ("0060") is the same value and no difference.
  const auto b = test::savedFile(
      dir / "b.ini",
      {{"TA", "30"}, {"Hunt05", "12"}, {"StartUp-Infomation", "ABC"}, {"TB", "0002"}});
  EXPECT_EQ(diff(b), kExitFound);
  EXPECT_EQ(out.str(),
            "[基本设置]\n"
            "  基本设置 › 信道设置 › 控制信道5：A “0”，B “12”\n"
            "[用户信息]\n"
            "  用户信息 › 个人信息 › 启动信息：A “Veltraco”，B “ABC”\n"
            "  用户信息 › 时间常数 › TA：A “60”，B “30”\n"
            "共 3 项不同（A：" +
                fresh.string() + "，B：" + b.string() + "）。\n");
  EXPECT_EQ(err.str(), "");
}

TEST_F(CliDiffTest, AKeyOnlyOneSideCarriesIsListedAsSuch) {
  // Under an all-channel search the search range is not kept; the window names both ends as the
  // range, so each is told by its key.
  const auto b = test::savedFile(dir / "b.ini", {{"SearchWay", "全信道搜索"}});
  EXPECT_EQ(diff(b), kExitFound);
  EXPECT_EQ(out.str(),
            "[基本设置]\n"
            "  基本设置 › 信道设置 › 控制信道搜索方式：A “指定范围搜索”，B “全信道搜索”\n"
            "  基本设置 › 信道设置 › 控制信道搜索范围（键 SearchStartChannel）：A “0”，B 无此项\n"
            "  基本设置 › 信道设置 › 控制信道搜索范围（键 SearchStopChannel）：A “0”，B 无此项\n"
            "共 3 项不同（A：" +
                fresh.string() + "，B：" + b.string() + "）。\n");
}

TEST_F(CliDiffTest, ImagesDifferByTheBytesOfTheChangedFields) {
  const auto b = test::savedFile(dir / "b.ini", {{"TA", "30"}, {"StartUp-Infomation", "ABC"}});
  EXPECT_EQ(diff(b, true), kExitFound);
  EXPECT_EQ(out.str(),
            "00CF：A 3C，B 1E  用户信息 › 时间常数 › TA\n"
            "共 1 个字节不同（型号 HX33）。\n");
  EXPECT_EQ(diff(dir / "missing.ini", true), kExitUsageFileOrPort);
  EXPECT_EQ(err.str(), "文件“" + (dir / "missing.ini").string() + "”不存在！\n");
}

TEST(CompareImages, BytesAreNamedUnderTheSchemesOfTheTwoMemories) {
  test::TempDir dir;
  RadioMemory mpt{}, cpsx{};
  std::ostringstream out, err;
  ASSERT_EQ(writtenImage("HX33", test::savedFile(dir / "mpt.ini"), {out, err}, mpt), kExitDone);
  ASSERT_EQ(writtenImage("HX33",
                         test::savedFile(dir / "cpsx.ini", {{"DiallingScheme", "CPSX"},
                                                            {"Indivol", "32620201"},
                                                            {"Group1", "32620900"},
                                                            {"IndivolStart", "20200"},
                                                            {"IndivolStop", "20899"},
                                                            {"GrpStart", "20900"},
                                                            {"GrpStop", "20998"}}),
                         {out, err}, cpsx),
            kExitDone)
      << err.str();
  EXPECT_FALSE(holdsCpsx(mpt));
  EXPECT_TRUE(holdsCpsx(cpsx));
  EXPECT_FALSE(compareImages(mpt, cpsx).empty());
  OfflineProgram namer;
  // Bytes the CPSX layout leaves unused hold a field under MPT1343.
  const std::string mptOnly = ownerOfByte(namer.state(), 0x074, false, false);
  const std::string cpsxOnly = ownerOfByte(namer.state(), 0x074, true, true);
  EXPECT_EQ(cpsxOnly, "填充（unused under CPSX, written 0）");
  EXPECT_EQ(mptOnly.find("填充"), std::string::npos) << mptOnly;
  EXPECT_EQ(ownerOfByte(namer.state(), 0x074, false, true), mptOnly + "；" + cpsxOnly);
}

TEST(CompareValues, WhatARadioBringsBackDiffersOnlyInWhatItDoesNotKeep) {
  test::TempDir dir;
  // The call-back menu setting says otherwise than the call-back switch, which a read follows.
  const auto file = test::savedFile(dir / "written.ini", {{"FirstStop", "300"},
                                                          {"SearchWay", "全信道搜索"},
                                                          {"GrpWay", "当前有效"},
                                                          {"Callback", "True"},
                                                          {"Group2", "3265500901"}});
  test::TestProgram writer;
  ASSERT_FALSE(openDataFileAndCheck(writer.state(), file));
  writer.main().userClick("Often_OK");  // the menu preset is no part of the radio's memory
  const KeptValues written = dataFileValues(writer.state(), link::loadIniFile(file).document);
  TransferMemory memory;
  writer.clock.pause(1000);
  ASSERT_EQ(WriteDataClick(writer.state(), memory, {}, RestoreOffer::Ask).outcome,
            image::TransferOutcome::Done);

  test::TestProgram reader;
  reader.radio.memory() = writer.radio.memory();
  reader.clock.pause(1000);
  ASSERT_EQ(ReadDataClick(reader.state(), memory).outcome, image::TransferOutcome::Done);
  std::vector<std::string> notKept;
  for (const FieldDifference& d :
       compareValues(written, savedValues(reader.state()), writer.state())) {
    EXPECT_FALSE(radioKeeps(d.field)) << d.key;
    notKept.push_back(d.key);
  }
  EXPECT_EQ(notKept, (std::vector<std::string>{"回叫功能", "常用菜单"}));
}

}  // namespace
}  // namespace rcp::app
