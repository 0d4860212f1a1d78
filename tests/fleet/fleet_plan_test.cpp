#include "fleet/fleet_plan.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "link/cp936.hpp"
#include "support/temp_dir.hpp"

namespace rcp::app {
namespace {

TEST(FleetPlan, ARangeGivesEveryNumberInOrderAndRefusesWhatIsNoRange) {
  FleetPlanError error;
  const auto members = numbersInRange("0326200199-0326200201", error);
  ASSERT_TRUE(members);
  ASSERT_EQ(members->size(), 3u);
  EXPECT_EQ((*members)[0].number, "0326200199");  // leading zeros kept
  EXPECT_EQ((*members)[2].values,
            (std::vector<std::pair<std::string, std::string>>{{"Indivol", "0326200201"}}));
  for (const char* bad : {"3262001205-3262001201", "3262001201-326200130", "32620012a1-3262001205",
                          "1-99999", "", "-3262001201"}) {
    EXPECT_FALSE(numbersInRange(bad, error)) << bad;
    EXPECT_FALSE(error.message.empty());
  }
  // One radio: a single number, or a range from a number to itself.
  for (const char* one : {"3262001201", "3262001201-3262001201"}) {
    const auto single = numbersInRange(one, error);
    ASSERT_TRUE(single) << one;
    ASSERT_EQ(single->size(), 1u);
    EXPECT_EQ((*single)[0].number, "3262001201");
  }
}

// A table saved by a spreadsheet in either code page, quoted fields and a blank line included.
TEST(FleetPlan, ATableInUtf8OrGb2312GivesOneMemberARow) {
  const test::TempDir dir;
  const std::string text =
      "Indivol,StartUp-Infomation,StartUp-Password\r\n"
      "3262001201,\"一车队, 甲\",1234\r\n"
      "\r\n"
      "3262001202,二车队,5678\r\n";
  for (const std::string& bytes : {text, link::encodeCp936(text), "\xEF\xBB\xBF" + text}) {
    const auto table = dir / "radios.csv";
    std::ofstream(table, std::ios::binary) << bytes;
    FleetPlanError error;
    const auto members = membersInTable(table, error);
    ASSERT_TRUE(members) << error.message;
    ASSERT_EQ(members->size(), 2u);
    EXPECT_EQ((*members)[0].number, "3262001201");
    EXPECT_EQ((*members)[0].values[1],
              (std::pair<std::string, std::string>{"StartUp-Infomation", "一车队, 甲"}));
    EXPECT_EQ((*members)[1].row, 4u);  // the blank row counted
    EXPECT_EQ((*members)[1].values[2].second, "5678");
  }
  std::ofstream(dir / "no-number.csv") << "StartUp-Infomation\n甲\n";
  FleetPlanError error;
  EXPECT_FALSE(membersInTable(dir / "no-number.csv", error));
  EXPECT_NE(error.message.find("Indivol"), std::string::npos);
}

// Whatever the table says that the fleet would not apply, or would apply twice, refuses it
// before anything is sent, naming the column or the rows.
TEST(FleetPlan, ATableThatWouldWriteOtherwiseThanItSaysIsRefusedNamingWhere) {
  const test::TempDir dir;
  struct Case {
    std::string text;
    std::string named;  // in the message
  };
  for (const Case& c : std::vector<Case>{
           {"Indivol,Infomation,password\n3262001201,甲,1\n", "第 2 列“Infomation”"},
           {"Indivoll,TA\n3262001201,30\n", "第 1 列“Indivoll”"},
           {"Indivol,TA,Foo\n3262001201,30,1\n", "第 3 列“Foo”"},
           {"Indivol,TA,Indivol\n3262001201,30,3262001202\n", "第 3 列“Indivol”重复"},
           {"Indivol\n3262001251\n3262001252\n3262001251\n",
            "第 2 行和第 4 行的个人号都是 3262001251"},
           {"Indivol,TA\n3262001201,30,40\n", "第 2 行有 3 个值，表头只有 2 列"},
           {"Indivol,TA\n,30\n", "第 2 行没有个人号"},
           {"Indivol\n,,\n \n", "中没有电台"},
       }) {
    const auto table = dir / "radios.csv";
    std::ofstream(table, std::ios::binary | std::ios::trunc) << c.text;
    FleetPlanError error;
    EXPECT_FALSE(membersInTable(table, error)) << c.text;
    EXPECT_NE(error.message.find(c.named), std::string::npos) << error.message;
  }
  // A table of more than 10000 radios is refused at once.
  std::string big = "Indivol\n";
  for (int i = 0; i <= 10000; ++i) big += std::to_string(3262000000 + i) + "\n";
  std::ofstream(dir / "big.csv", std::ios::binary) << big;
  FleetPlanError error;
  EXPECT_FALSE(membersInTable(dir / "big.csv", error));
  EXPECT_NE(error.message.find("10000"), std::string::npos);
  // A template that is not there is named as the other commands name a missing file.
  EXPECT_FALSE(templateDocument("missing.ini", error));
  EXPECT_EQ(error.message, "文件“missing.ini”不存在！");
}

TEST(FleetPlan, TheLogNamesOnlyTheNumbersWrittenAsDone) {
  const test::TempDir dir;
  const auto log = dir / "fleet.csv";
  for (const auto& [number, result] :
       std::vector<std::pair<std::string, FleetResult>>{{"3262001201", FleetResult::Verified},
                                                        {"3262001202", FleetResult::Failed},
                                                        {"3262001203", FleetResult::Written},
                                                        {"3262001204", FleetResult::Mismatch},
                                                        {"3262001205", FleetResult::Kept},
                                                        {"3262001206", FleetResult::Unverified}})
    ASSERT_TRUE(appendLogRow(
        log, {"2026-12-09 10:00:00", "/dev/ttyUSB0", "RCP77D, HX77", "HX77", number, result, 6.8}));
  EXPECT_EQ(numbersDone(log), (std::set<std::string>{"3262001201", "3262001203", "3262001205"}));
  std::ifstream in(log);
  std::string header;
  std::getline(in, header);
  EXPECT_EQ(header, kLogHeader);
}

// The results' texts are what logs hold: every text an earlier run wrote reads back as its result
// (written or kept: done; not verified: held), and each result is written as that same text.
TEST(FleetPlan, EveryResultTextOfAnEarlierLogReadsAsItsResult) {
  struct Case {
    const char* text;
    FleetResult result;
    bool done, held;
  };
  const std::vector<Case> cases = {
      {"写录完毕", FleetResult::Written, true, false},
      {"校验正确", FleetResult::Verified, true, false},
      {"写录失败", FleetResult::Failed, false, false},
      {"校验失败", FleetResult::Mismatch, false, true},
      {"校验未完成", FleetResult::Unverified, false, true},
      {"校验未通过，已保留", FleetResult::Kept, true, false},
  };
  const test::TempDir dir;
  std::string earlier = std::string(kLogHeader) + "\n";
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string number = "326200130" + std::to_string(i);
    earlier +=
        "2026-12-09 10:00:00,COM1,\"RCP77D, HX77\",HX77," + number + "," + cases[i].text + ",6.8\n";
    ASSERT_TRUE(appendLogRow(dir / "now.csv", {"2026-12-09 10:00:00", "COM1", "RCP77D, HX77",
                                               "HX77", number, cases[i].result, 6.8}));
  }
  std::ofstream(dir / "earlier.csv", std::ios::binary)
      << earlier << "2026-12-09 10:00:00,COM1,RCP,HX77,3262001399,写录成功,6.8\n";
  std::ifstream now(dir / "now.csv", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(now), {}), earlier);

  const FleetLogReading reading = readFleetLog(dir / "earlier.csv");
  EXPECT_EQ(reading.skippedLines, std::vector<std::size_t>{8}) << "no result has that text";
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    const std::string number = "326200130" + std::to_string(i);
    EXPECT_EQ(resultOfText(c.text), c.result) << c.text;
    EXPECT_STREQ(resultText(c.result), c.text);
    EXPECT_EQ(isGood(c.result), c.done) << c.text;
    EXPECT_EQ(reading.done.contains(number), c.done) << c.text;
    EXPECT_EQ(reading.heldUnverified.contains(number), c.held) << c.text;
  }
}

}  // namespace
}  // namespace rcp::app
