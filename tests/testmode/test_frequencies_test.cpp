#include "testmode/test_frequencies.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testmode/test_tab_fixture.hpp"

namespace rcp::testmode {
namespace {

using TestFrequencies = TestTabFixture;

const std::vector<std::string> kComputed = {"MirrorFreq", "NeChannel1", "NeChannel2", "ClogFreq",
                                            "DisFreq1",   "DisFreq2",   "DisFreq3",   "HalfMF",
                                            "InterM1",    "InterM2",    "InterM3",    "InterM4",
                                            "InterM5",    "InterM6",    "TwiceFreq",  "ThriceFreq"};

TEST_F(TestFrequencies, ThePictureEnablesTheGroupForGoodInNavyOnLightCyan) {
  EXPECT_FALSE(main.at("TestFram").enabled);
  const ui::Color labelBackground = main.at("TestFreqKHzLab").color;
  main.userDblClick("Image1");
  EXPECT_TRUE(main.at("TestFram").enabled);
  EXPECT_EQ(main.at("TestFram").fontColor, ui::colors::Navy);
  EXPECT_EQ(main.at("FirstMFLab").fontColor, ui::colors::Navy);
  EXPECT_EQ(main.at("TestFreqTitleLab").fontColor, ui::colors::Navy);
  for (const char* field : {"FirstMF", "SecondMF", "InterM6", "ThriceFreq"}) {
    EXPECT_EQ(main.at(field).fontColor, ui::colors::Navy) << field;
    EXPECT_EQ(main.at(field).color, ui::rgb(180, 244, 242)) << field;
  }
  EXPECT_EQ(main.at("TestFreqKHzLab").color, labelBackground) << "labels keep their background";
  EXPECT_EQ(app.written(), "");
}

TEST_F(TestFrequencies, TheStartTextsAreWhatTheRuleGivesForTheStartValues) {
  std::vector<std::string> before;
  for (const auto& f : kComputed) before.push_back(main.text(f));
  main.userDblClick("Image1");
  for (std::size_t i = 0; i < kComputed.size(); ++i)
    EXPECT_EQ(main.text(kComputed[i]), before[i]) << kComputed[i];
}

TEST_F(TestFrequencies, LeavingTheIntermediateFrequencyRecalculatesWithIntegerDivision) {
  main.setText("CurrentRxFreq", "8369625");
  main.setText("CurrentTxFreq", "7919625");
  test::enter(main, "FirstMF", "21401");
  std::vector<std::string> computed;
  for (const auto& f : kComputed) computed.push_back(main.text(f));
  EXPECT_EQ(computed,
            (std::vector<std::string>{"794160", "836937", "836987", "828593", "836920", "837004",
                                      "815561", "826262", "836937", "836987", "836912", "837012",
                                      "836862", "837062", "1583925", "2375886"}));
  EXPECT_EQ(app.written(), "") << "nothing goes to the radio";

  test::enter(main, "FirstMF", "21400");
  EXPECT_EQ(main.text("MirrorFreq"), "794162");
  EXPECT_EQ(main.text("HalfMF"), "826262");
}

TEST_F(TestFrequencies, AnEmptyInputIsAConversionErrorAndNoFieldChanges) {
  main.setText("FirstMF", "");
  main.userExit("FirstMF");
  main.setText("FirstMF", "21400");
  main.setText("CurrentTxFreq", "");
  main.userExit("FirstMF");
  EXPECT_EQ(boxes(), (std::vector<std::string>{"'' is not a valid integer value.",
                                               "'' is not a valid integer value."}));
  EXPECT_EQ(main.text("MirrorFreq"), "318225");
}

}  // namespace
}  // namespace rcp::testmode
