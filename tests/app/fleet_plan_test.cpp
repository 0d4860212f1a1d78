#include "app/fleet_plan.hpp"

#include <gtest/gtest.h>

#include <fstream>

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
  EXPECT_EQ((*members)[2].values, (std::vector<std::pair<std::string, std::string>>{
                                      {"Indivol", "0326200201"}}));
  for (const char* bad : {"3262001205-3262001201", "3262001201", "3262001201-326200130",
                          "32620012a1-3262001205", "1-99999"}) {
    EXPECT_FALSE(numbersInRange(bad, error)) << bad;
    EXPECT_FALSE(error.message.empty());
  }
}

// A table saved by a spreadsheet in either code page, quoted fields and a blank line included.
TEST(FleetPlan, ATableInUtf8OrGb2312GivesOneMemberARow) {
  const test::TempDir dir;
  const std::string text =
      "Indivol,Infomation,password\r\n"
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
    EXPECT_EQ((*members)[0].values[1], (std::pair<std::string, std::string>{"Infomation",
                                                                            "一车队, 甲"}));
    EXPECT_EQ((*members)[1].values[2].second, "5678");
  }
  std::ofstream(dir / "no-number.csv") << "Infomation\n甲\n";
  FleetPlanError error;
  EXPECT_FALSE(membersInTable(dir / "no-number.csv", error));
  EXPECT_NE(error.message.find("Indivol"), std::string::npos);
}

TEST(FleetPlan, TheLogNamesOnlyTheNumbersWrittenAsDone) {
  const test::TempDir dir;
  const auto log = dir / "fleet.csv";
  for (const auto& [number, result] :
       std::vector<std::pair<std::string, std::string>>{{"3262001201", kResultVerified},
                                                        {"3262001202", kResultFailed},
                                                        {"3262001203", kResultWritten},
                                                        {"3262001204", kResultMismatch}})
    ASSERT_TRUE(appendLogRow(log, {"2026-12-09 10:00:00", "/dev/ttyUSB0", "RCP77D, HX77",
                                   "HX77", number, result, 6.8}));
  EXPECT_EQ(numbersDone(log), (std::set<std::string>{"3262001201", "3262001203"}));
  std::ifstream in(log);
  std::string header;
  std::getline(in, header);
  EXPECT_EQ(header, kLogHeader);
}

}  // namespace
}  // namespace rcp::app
