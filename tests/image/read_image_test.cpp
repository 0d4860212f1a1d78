#include "image/read_image.hpp"

#include <gtest/gtest.h>

#include "image/subscriber_numbers.hpp"
#include "image/write_image.hpp"
#include "support/test_program.hpp"
#include "ui/conversion_error.hpp"

namespace rcp::image {
namespace {

// The radio holds what the program would write, changed where a test says so.
struct ReadImageTest : ::testing::Test {
  test::TestProgram app;
  settings::Record record = app.record();
  ui::Form& form = app.main();
  MemoryImage radio = std::get<WriteImage>(encodeWrite(app.state(), {})).memory;

  bool readBulk() { return decodeBulk(app.state(), radio.hex(kBulkStart, kBulkAnswerChars / 2)); }
  bool readSmall(ReadStep step) {
    ReadSession session(app.state());
    const SmallRead& r = smallRead(step);
    return decodeSmallRead(session, step, radio.hex(r.address, r.neededChars / 2));
  }
  bool answer(ReadStep step, std::string_view text) {
    ReadSession session(app.state());
    return decodeSmallRead(session, step, text);
  }
  void cpsxRadio(int large, int medium, int small) {
    radio.setByte(0x1F0, 1);
    radio.setBytes(0x04E, std::vector<std::uint8_t>{static_cast<std::uint8_t>(large),
                                                    static_cast<std::uint8_t>(medium),
                                                    static_cast<std::uint8_t>(small)});
  }
};

TEST_F(ReadImageTest, ChannelSpacingAndNumbersAsPlainDecimals) {
  radio.setByte(0x034, 125);
  radio.setWord(0x035, 7);
  radio.setWord(0x037, 300);
  radio.setWord(0x041, 0x4E71);
  ASSERT_TRUE(readBulk());
  EXPECT_TRUE(form.checked("ChannelSpace1"));
  EXPECT_EQ(record.text("FirstChannel"), "7");
  EXPECT_EQ(form.text("CurrentChannelNum"), "7");
  EXPECT_EQ(app.state().values.highestChannel, 300);
  EXPECT_EQ(record.text("FirstRxFreq"), "8510125");
  EXPECT_EQ(app.state().values.baseRxFreq, 8510125);
  EXPECT_EQ(record.text("ZoneData"), "0");
  for (int spacing : {250, 0x10}) {
    radio.setByte(0x034, static_cast<std::uint8_t>(spacing));
    ASSERT_TRUE(readBulk());
    EXPECT_TRUE(form.checked("ChannelSpace2")) << spacing;
  }
}

TEST_F(ReadImageTest, ShortAnswersLeaveTheirFields) {
  record.set("RegCode", std::string("00042"));
  radio.setWord(0x051, 7);
  const std::string bulk = radio.hex(kBulkStart, kBulkAnswerChars / 2);
  EXPECT_FALSE(decodeBulk(app.state(), bulk.substr(0, kBulkAnswerChars - 1)));
  EXPECT_EQ(record.text("RegCode"), "00042");

  record.set("TalkIndivol", std::string("123"));
  radio.setByte(0x210, 2);
  EXPECT_FALSE(answer(ReadStep::TalkAround, radio.hex(0x210, 16).substr(0, 31)));
  EXPECT_EQ(record.text("TalkIndivol"), "123");
  EXPECT_TRUE(answer(ReadStep::TalkAround, radio.hex(0x210, 16) + "FF"));
  EXPECT_EQ(record.text("TalkIndivol"), "32");
}

TEST_F(ReadImageTest, CallBackAndPttCodeAreDecimalAnswers) {
  EXPECT_TRUE(answer(ReadStep::Callback, "01"));
  EXPECT_TRUE(record.flag("Callback"));
  EXPECT_EQ(record.text("回叫功能"), "回叫功能有效") << "its click rule ran";
  EXPECT_FALSE(answer(ReadStep::Callback, "0"));
  EXPECT_TRUE(record.flag("Callback"));
  EXPECT_TRUE(answer(ReadStep::PttCode, "00"));
  EXPECT_TRUE(form.checked("Transcode")) << "the box shows the PTT code off";
  try {
    answer(ReadStep::Callback, "0A");
    ADD_FAILURE() << "no conversion error";
  } catch (const ui::ConversionError& e) {
    EXPECT_STREQ(e.what(), "'0A' is not a valid integer value.");
  }
}

TEST_F(ReadImageTest, CpsxOwnNumberSetsTheFleetLevel) {
  cpsxRadio(10, 10, 10);
  radio.setPrefixIdent(0x053, {126, 1});
  radio.setPrefixIdent(0x05C, {126, 0});
  radio.setPrefixIdent(0x05F, {126, 8102});
  radio.setPrefixIdent(0x062, {126, 806});
  ASSERT_TRUE(readBulk());
  EXPECT_EQ(app.state().values.diallingScheme, settings::DiallingScheme::Cpsx);
  EXPECT_EQ(form.at("MPT1343_Fram").caption, "CPSX");
  EXPECT_EQ(record.text("Indivol"), "32620200");
  EXPECT_EQ(record.text("Block"), "一级队");
  EXPECT_EQ(record.text("Group1"), "");
  EXPECT_EQ(record.text("Group2"), "");
  EXPECT_EQ(record.text("Group3"), "32621905");

  cpsxRadio(5, 10, 10);
  radio.setPrefixIdent(0x053, {126, 4051});
  ASSERT_TRUE(readBulk());
  EXPECT_EQ(record.text("Indivol"), "32630200");
  EXPECT_EQ(record.text("Block"), "二级队");
  EXPECT_EQ(app.state().values.levelBound1, 10);
  EXPECT_EQ(form.at("MaxUnitLab").caption, "二级队的最高段号") << "the level's change rule ran";
  EXPECT_EQ(form.value("MaxUnit"), 10);
}

// The fleet level's change rule may move the plan (here it holds the level-1 segment 10 at the
// maximum 5); the groups are decoded after it, so one ident reads as one number everywhere and a
// write stores it back unchanged.
TEST_F(ReadImageTest, CpsxGroupsAreDecodedWithThePlanTheFleetLevelLeaves) {
  cpsxRadio(10, 5, 10);
  radio.setPrefixIdent(0x053, {126, 1});
  radio.setPrefixIdent(0x05C, {126, 4751});
  // No other limit: those of the start-up image are idents of another plan.
  radio.setBytes(0x270, std::vector<std::uint8_t>(kRangeLimitBytes, 0));
  radio.setWord(0x274, 4751);
  radio.setPrefixIdent(0x2A8, {126, 4751});
  ASSERT_TRUE(readBulk());
  ASSERT_TRUE(readSmall(ReadStep::RangeLimits));
  ASSERT_TRUE(readSmall(ReadStep::HiddenGroups));
  EXPECT_EQ(app.state().values.largeBlock, 5);
  EXPECT_EQ(app.state().values.levelBound1, 10);
  EXPECT_EQ(record.text("Group1"), "32654942");
  EXPECT_EQ(record.text("GrpStart"), "54942");
  EXPECT_EQ(app.state().values.otherGroups[0], 32654942u);

  const WriteEncoding written = encodeWrite(app.state(), {});
  ASSERT_TRUE(std::holds_alternative<WriteImage>(written));
  EXPECT_EQ(std::get<WriteImage>(written).memory.prefixIdent(0x05C).ident, 4751);
}

TEST_F(ReadImageTest, RangeLimitsAndOtherGroupsAfterTheNumberingArea) {
  record.set("Indivol", std::string("3262001206"));
  radio.setWord(0x270, 2);
  radio.setWord(0x272, 0);
  radio.setWord(0x274, 7000);
  radio.setWord(0x276, 6999);
  EXPECT_TRUE(readSmall(ReadStep::RangeLimits));
  EXPECT_EQ(record.text("IndivolStart"), "2001200");
  EXPECT_EQ(record.text("IndivolStop"), "");
  EXPECT_EQ(record.text("GrpStart"), "5500900");
  EXPECT_EQ(record.text("GrpStop"), "") << "member 899 is no group";

  radio.setPrefixIdent(0x310, {126, 7000});
  radio.setPrefixIdent(0x313, {128, 7000});
  EXPECT_TRUE(readSmall(ReadStep::WaitingGroups));
  EXPECT_EQ(app.state().values.otherGroups[8], 3265500900u);
  EXPECT_EQ(app.state().values.otherGroups[9], 0u);

  radio.setBytes(0x388, std::vector<std::uint8_t>{255, 0x03, 0xE7, 7, 0x03, 0xE8});
  EXPECT_TRUE(readSmall(ReadStep::SystemLabels));
  EXPECT_EQ(app.state().values.systemLabels[0].route, 0u);
  EXPECT_EQ(app.state().values.systemLabels[0].system, 999u);
  EXPECT_EQ(app.state().values.systemLabels[1].route, 7u);
  EXPECT_EQ(app.state().values.systemLabels[1].system, 0u);
}

TEST_F(ReadImageTest, ARegionalNetworkKeepsItsNetworkNumber) {
  radio.setBit(0x032, 0x80, false);
  radio.setByte(0x010, 50);
  ASSERT_TRUE(form.checked("National"));
  ASSERT_TRUE(readBulk());
  EXPECT_TRUE(form.checked("Regional"));
  EXPECT_EQ(record.number("NetId"), 50);
}

TEST_F(ReadImageTest, SearchModeTalkAroundAndGroupCallMode) {
  radio.setByte(0x1F2, 2);
  radio.setWord(0x180, 5);
  radio.setByte(0x1F3, 0x01);
  radio.setByte(0x1F4, 0x01);
  ASSERT_TRUE(readBulk());
  EXPECT_EQ(app.state().values.rangeSearch, settings::SearchMode::Range)
      << "any nonzero byte is the given range";
  EXPECT_EQ(record.text("SearchStartChannel"), "5");
  EXPECT_TRUE(form.at("ControlStart").enabled);
  EXPECT_TRUE(form.at("TalkGrp").visible);
  EXPECT_EQ(record.text("GrpWay"), "当前有效");
  EXPECT_EQ(app.state().values.grpWayCurrent, settings::GroupCallMode::CurrentGroup);

  radio.setByte(0x1F2, 0);
  radio.setWord(0x180, 9);
  radio.setByte(0x1F3, 0x10);
  ASSERT_TRUE(readBulk());
  EXPECT_EQ(app.state().values.rangeSearch, settings::SearchMode::AllChannels);
  EXPECT_EQ(record.text("SearchWay"), "全信道搜索");
  EXPECT_FALSE(form.at("ControlStart").enabled);
  EXPECT_EQ(record.text("SearchStartChannel"), "5") << "kept while the range is unused";
  EXPECT_FALSE(form.at("TalkGrp").visible) << "only the low half-byte counts";
}

TEST_F(ReadImageTest, TestTabValuesFromTheBulkAndTheirOwnReads) {
  radio.setBytes(0x0DC, std::vector<std::uint8_t>{0x07, 0x0D, 0x3A, 0x8B});
  radio.setByte(0x1F7, 3);
  radio.setByte(0x1F8, 1);
  form.setChecked("Type1", true);
  ASSERT_TRUE(readBulk());
  EXPECT_EQ(form.value("VR4"), 5);
  EXPECT_EQ(form.value("VR2"), 3);
  EXPECT_EQ(form.value("VR1"), 10);
  EXPECT_EQ(form.value("VR3"), 11);
  EXPECT_TRUE(form.checked("CompressOpen"));
  EXPECT_TRUE(form.checked("SecretCheck"));
  EXPECT_EQ(record.text("语音加密"), "语音加密开");
  EXPECT_FALSE(form.checked("Type1")) << "type 3 clears the first two";
  EXPECT_TRUE(form.checked("baudrate2"));

  EXPECT_TRUE(answer(ReadStep::RadioType, "0300"));
  EXPECT_TRUE(form.checked("Type3"));
  EXPECT_TRUE(form.checked("baudrate1"));
  EXPECT_TRUE(answer(ReadStep::Vrsq, "FF"));
  EXPECT_EQ(form.text("VRSQ"), "255");
}

TEST_F(ReadImageTest, MenuSwitchesFollowTheirBitBytesAfterTheRingChoice) {
  ReadSession session(app.state());
  EXPECT_TRUE(decodeSmallRead(session, ReadStep::MenuBits, "400F80"));
  ASSERT_TRUE(session.menuBits);
  EXPECT_FALSE(decodeSmallRead(session, ReadStep::InRing, "0"));
  EXPECT_TRUE(record.flag("背光选择菜单"));
  EXPECT_TRUE(record.flag("单呼振铃选择菜单"));
  EXPECT_FALSE(record.flag("音量调节菜单"));
  EXPECT_EQ(app.state().values.menuPreset, settings::MenuPreset::HandPicked);

  ReadSession shortBits(app.state());
  EXPECT_FALSE(decodeSmallRead(shortBits, ReadStep::MenuBits, "FFFF"));
  EXPECT_TRUE(decodeSmallRead(shortBits, ReadStep::InRing, "01"));
  EXPECT_FALSE(record.flag("音量调节菜单")) << "no switch moves without its bytes";
  EXPECT_EQ(record.text("单呼振铃选择"), "振铃有效");
  EXPECT_TRUE(decodeSmallRead(shortBits, ReadStep::InRing, "02"));
  EXPECT_EQ(record.text("单呼振铃选择"), "振铃有效") << "2 is past the list";
}

TEST_F(ReadImageTest, TextsKeepTheirSpacesAndEndAtAZeroByte) {
  radio.setBytes(0x228, std::vector<std::uint8_t>{'1', '2', '3', '4', ' ', ' ', ' ', ' '});
  EXPECT_TRUE(readSmall(ReadStep::StartUpText));
  EXPECT_EQ(record.text("StartUp-Password"), "1234    ");
  radio.setBytes(0x2C9, std::vector<std::uint8_t>{'*', '9', 0, '7'});
  EXPECT_TRUE(readSmall(ReadStep::SystemAlarm));
  EXPECT_EQ(record.text("系统告警号"), "*9");
}

TEST_F(ReadImageTest, PhoneBookOfAPackedModelUnderCpsx) {
  cpsxRadio(10, 10, 10);
  radio.setByte(0x170, 12);
  radio.setNibbleDigits(0x190, 8, "138612345678");
  radio.setByte(0x18F, 3);
  app.state().values.phoneBookModel = true;
  ASSERT_TRUE(readBulk());
  EXPECT_EQ(record.number("MaxPhoneNumber"), 3);
  EXPECT_EQ(record.text("PhoneNumber0"), "138612345678");

  app.state().values.phoneBookModel = false;
  radio.setByteDigits(0x190, 8, "13861234");
  radio.setByte(0x170, 9);
  ASSERT_TRUE(readBulk());
  EXPECT_EQ(record.text("PhoneNumber0"), "13861234") << "no more than eight byte digits";
}

}  // namespace
}  // namespace rcp::image
