#include "image/write_image.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "link/commands.hpp"
#include "link/hex_text.hpp"
#include "rules/call_options.hpp"
#include "rules/menu_presets.hpp"
#include "support/test_program.hpp"

namespace rcp::image {

void PrintTo(const EncodeError& e, std::ostream* os) {
  *os << e.field << ": " << e.message;
}

namespace {

struct WriteImageTest : ::testing::Test {
  test::TestProgram app;
  settings::Record record = app.record();

  WriteImage encode(const MenuBits& bits = {}) {
    auto encoded = encodeWrite(app.state(), bits);
    if (auto* e = std::get_if<EncodeError>(&encoded))
      ADD_FAILURE() << e->field << ": " << e->message;
    return std::get<WriteImage>(std::move(encoded));
  }
  EncodeError failure() {
    auto encoded = encodeWrite(app.state(), {});
    EXPECT_TRUE(std::holds_alternative<EncodeError>(encoded));
    return std::holds_alternative<EncodeError>(encoded) ? std::get<EncodeError>(encoded)
                                                        : EncodeError{};
  }
  static std::string bulkAt(const WriteImage& w, Address at, std::size_t bytes) {
    return w.bulk.substr(2 * (at - kBulkStart), 2 * bytes);
  }
  static std::string recordHex(const WriteImage& w, Address at) {
    const MemoryRecord* r = w.record(at);
    return r ? r->hex() : "(not sent)";
  }
  void useCpsx() { record.set("DiallingScheme", std::string("CPSX")); }
};

TEST_F(WriteImageTest, TheBulkBlockIsBuiltOverZerosWithTheModeAndTestBytesLeftZero) {
  const WriteImage w = encode();
  ASSERT_EQ(w.bulk.size(), kBulkWriteChars);
  EXPECT_EQ(w.bulk.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  EXPECT_EQ(bulkAt(w, 0x034, 1), "FA") << "25 kHz at start-up";
  EXPECT_EQ(bulkAt(w, 0x041, 2), "70D2") << "361.0250 MHz in 12.5 kHz steps";
  EXPECT_EQ(bulkAt(w, 0x18E, 2), "030A");
  // The scrambler is off at start-up: its mode command leaves 8 in the radio, the bulk a zero.
  EXPECT_TRUE(w.modes.scramblerOff);
  EXPECT_EQ(w.memory.byte(0x0DC), 0x08);
  EXPECT_EQ(bulkAt(w, 0x0DC, 4), "00000000");
  EXPECT_EQ(w.bulk.substr(16 * 60), std::string(16, '0')) << "the last chunk, 0x1F0-0x1F7";
  EXPECT_FALSE(w.modes.cpsxDialling);
  EXPECT_FALSE(w.modes.enhancedSignalling);
}

TEST_F(WriteImageTest, SegmentFrequenciesUseTheChannelStep) {
  record.set("ChannelSpace", std::int64_t{125});
  record.set("FirstRxFreq", std::string("8510125"));
  EXPECT_EQ(bulkAt(encode(), 0x041, 2), "4E71");
  record.set("Version", true);
  record.set("ChannelSpace", std::int64_t{250});
  record.set("FirstRxFreq", std::string("8510125"));
  EXPECT_EQ(bulkAt(encode(), 0x041, 2), "2738") << "10040 steps of 25 kHz";
}

TEST_F(WriteImageTest, NumberingAreaUnderCpsx) {
  useCpsx();
  record.set("Group3", std::string(""));
  record.set("DynaGroup", std::string("32620901"));
  const WriteImage w = encode();
  EXPECT_EQ(bulkAt(w, 0x053, 3), "7E0002") << "32620201";
  EXPECT_EQ(bulkAt(w, 0x056, 3), "7E02BE") << "dynamic group 32620901, ident 702";
  EXPECT_EQ(bulkAt(w, 0x05C, 3), "7E02BD") << "32620900, ident 701";
  EXPECT_EQ(bulkAt(w, 0x062, 3), "000000") << "the empty third group";
  EXPECT_EQ(bulkAt(w, 0x089, 6), "083262090100");
  EXPECT_EQ(bulkAt(w, 0x04E, 3), "0A0A0A");
  EXPECT_EQ(bulkAt(w, 0x08F, 6),
            "0383"
            "03E6"
            "157C")
      << "MPT1343 limits, written anyway";
  EXPECT_TRUE(w.modes.cpsxDialling);
  EXPECT_EQ(recordHex(w, 0x270),
            "0001"
            "02BC"
            "02BD"
            "031F")
      << "20200 20899 20900 20998";
}

TEST_F(WriteImageTest, NumberingAreaUnderMpt1343) {
  record.set("Indivol", std::string("3262001206"));
  record.set("Group2", std::string("326550090"));
  const WriteImage w = encode();
  EXPECT_EQ(bulkAt(w, 0x053, 6), "0A3262001206");
  EXPECT_EQ(bulkAt(w, 0x059, 6), "0A3265500900");
  EXPECT_EQ(bulkAt(w, 0x05F, 6), "093265500900");
  EXPECT_EQ(bulkAt(w, 0x089, 6), "000000000000") << "no dynamic group";
  EXPECT_EQ(bulkAt(w, 0x04E, 3), "000000") << "fleet blocks only under CPSX";
  const MemoryRecord* limits = w.record(0x270);
  ASSERT_TRUE(limits);
  EXPECT_EQ(limits->lengthField, 0x10);
  EXPECT_EQ(limits->hex(),
            "0002"
            "02BD"
            "1B58"
            "1BBA");
  record.set("GrpStop", std::string(""));
  EXPECT_EQ(recordHex(encode(), 0x270).substr(12), "0000") << "an empty limit is 0";
  // The fixed groups' own digit records, under either scheme.
  EXPECT_EQ(recordHex(w, 0x278), "0A09000000000000");
  EXPECT_EQ(recordHex(w, 0x280),
            "3265500900"
            "3265500900");
}

TEST_F(WriteImageTest, CodeLengthsAboveFifteenAreCutOnTheForm) {
  record.set("ZoneLength", std::string("20"));
  record.set("SilLength", std::string("015"));
  const WriteImage w = encode();
  EXPECT_EQ(bulkAt(w, 0x012, 3), "0F000F");
  EXPECT_EQ(record.text("ZoneLength"), "15");
  EXPECT_EQ(record.text("SilLength"), "015");
}

TEST_F(WriteImageTest, SingleByteRecords) {
  record.set("StatusSave", true);
  record.set("Callback", true);
  record.set("Talk", true);
  record.set("PSTNLength", std::int64_t{12});
  WriteImage w = encode();
  EXPECT_EQ(recordHex(w, 0x1FB), "00") << "status saving is an inverted flag";
  EXPECT_EQ(recordHex(w, 0x007), "01");
  EXPECT_EQ(recordHex(w, 0x1F3), "01");
  EXPECT_EQ(recordHex(w, 0x1FA), "0C");
  EXPECT_EQ(recordHex(w, 0x1F2), "01") << "the given search range at start-up";
  EXPECT_EQ(recordHex(w, 0x1F4), "00");
  record.set("StatusSave", false);
  EXPECT_EQ(recordHex(encode(), 0x1FB), "01");
}

TEST_F(WriteImageTest, ConditionalBitsAndTheSearchRange) {
  record.set("SearchStartChannel", std::string("12"));
  record.set("SearchStopChannel", std::string("0034"));
  EXPECT_EQ(bulkAt(encode(), 0x180, 4), "000C0022");
  app.main().userSelect("SearchWay", 1);  // all channels
  EXPECT_EQ(bulkAt(encode(), 0x180, 4), "00000000");

  record.set("KeyGrpCall", true);
  record.set("Dead", true);
  record.set("Shrink", true);
  record.set("NetType", std::string("Regional"));
  app.state().values.moreGrpDisp = true;
  EXPECT_EQ(bulkAt(encode(), 0x032, 2), "3002") << "dynamic code off; Dead is never shown";
  app.main().setEnabled("KeyGrpEnable", false);
  EXPECT_EQ(bulkAt(encode(), 0x032, 1), "10");
  useCpsx();  // hides short dialling
  EXPECT_EQ(bulkAt(encode(), 0x033, 1), "00");
}

TEST_F(WriteImageTest, PhoneBookByScheme) {
  record.set("PhoneNumber2", std::string("138612345678"));
  WriteImage w = encode();
  EXPECT_EQ(bulkAt(w, 0x172, 1), "0C");
  EXPECT_EQ(bulkAt(w, 0x1A0, 8), "1386123456780000");
  useCpsx();
  record.set("PhoneNumber2", std::string("138612345678"));
  w = encode();
  EXPECT_EQ(bulkAt(w, 0x172, 1), "08") << "cut to eight digits";
  EXPECT_EQ(bulkAt(w, 0x1A0, 8), "0103080601020304");
  EXPECT_EQ(bulkAt(w, 0x18F, 1), "0A");
  record.set("MaxPhoneNumber", std::int64_t{4});
  record.set("PhoneNumber2", std::string("138612345678"));
  w = encode();
  EXPECT_EQ(bulkAt(w, 0x18F, 1), "04");
  // Identified as a radio with the packed phone book: nibble digits, full count, size 10.
  app.state().values.phoneBookModel = true;
  reencodeAfterIdentification(app.state(), w);
  EXPECT_EQ(bulkAt(w, 0x172, 1), "0C");
  EXPECT_EQ(bulkAt(w, 0x1A0, 8), "1386123456780000");
  EXPECT_EQ(bulkAt(w, 0x18E, 2), "030A");
}

TEST_F(WriteImageTest, IdentificationPresetsReachTheSimplexRecords) {
  WriteImage w = encode();
  EXPECT_EQ(recordHex(w, 0x210).substr(10, 12),
            "006DB2"
            "0070D2")
      << "channel 9 at 12.5 kHz";
  app.state().values.simplexTx[16 - 9] = 8368125;
  reencodeAfterIdentification(app.state(), w);
  const MemoryRecord* tx = w.record(0x23F);
  ASSERT_TRUE(tx);
  EXPECT_EQ(tx->lengthField, 0x10);
  ASSERT_EQ(tx->data.size(), 15u);
  EXPECT_EQ(tx->hex().substr(6, 6), "004A01") << "836.8125 MHz folded: 18945 steps";
}

TEST_F(WriteImageTest, TextsAreCodePageBytesPaddedWithSpaces) {
  record.set("StartUp-Infomation", std::string("AB"));
  record.set("StartUp-Password", std::string("1234"));
  EXPECT_EQ(recordHex(encode(), 0x220),
            "4142202020202020"
            "3132333420202020");
  // A two-byte character is never split: seven bytes and a space.
  record.set("StartUp-Infomation", std::string("A启动信息"));
  EXPECT_EQ(recordHex(encode(), 0x220).substr(0, 16), "41C6F4B6AFD0C520");
}

TEST_F(WriteImageTest, TalkAroundGroupKeepsItsFullCount) {
  record.set("TalkIndivol", std::string("32688888"));
  record.set("TalkGrp", std::string("3269999912"));
  const std::string r = recordHex(encode(), 0x210);
  EXPECT_EQ(r.substr(0, 10), "0832688888");
  EXPECT_EQ(r.substr(22, 10), "0A32699999");
}

TEST_F(WriteImageTest, SystemAlarmNumberInOneOrTwoRecordsNeverPastItsTwentyBytes) {
  auto alarm = [&](const std::string& text) {
    record.set("系统告警号", text);
    std::vector<std::string> parts;
    for (const MemoryRecord& r : encode().records)
      if (r.address == 0x2C9 || r.address == 0x2D3)
        parts.push_back(link::hexByte(static_cast<std::uint8_t>(r.address >> 4)) + ":" +
                        link::hexByte(r.lengthField) + ":" + r.hex());
    return parts;
  };
  using P = std::vector<std::string>;
  EXPECT_EQ(alarm("*8180"), (P{"2C:06:2A3831383000"}));
  EXPECT_EQ(alarm("0123456789"), (P{"2C:0B:3031323334353637383900"}));
  EXPECT_EQ(alarm("0123456789*"), (P{"2C:0A:30313233343536373839", "2D:02:2A00"}));
  EXPECT_EQ(alarm(""), (P{"2C:01:00"}));
  const std::string twenty = "01234567890123456789";
  EXPECT_EQ(alarm(twenty), (P{"2C:0A:30313233343536373839", "2D:0A:30313233343536373839"}));
  record.set("系统告警号", twenty);
  EXPECT_EQ(encode().memory.byte(0x2DD), 0) << "the squelch alignment stays untouched";
}

// The message names the field as the window shows it: by the label beside its box, by its row
// and column where the box has no label of its own, by its dialog's label.
TEST_F(WriteImageTest, AFieldThatCannotBeStoredStopsTheEncodingAndIsNamed) {
  record.set("PhoneNumber3", std::string("12*4"));
  EXPECT_EQ(failure(), (EncodeError{"PhoneNumber3", "电话号码本3应为数字！"}));
  record.set("PhoneNumber3", std::string(""));
  record.set("Group1", std::string("32655A0900"));
  EXPECT_EQ(failure(), (EncodeError{"Group1", "组呼号1应为数字！"}));
  record.set("Group1", std::string(""));
  record.set("RegCode", std::string("abc"));
  EXPECT_EQ(failure(), (EncodeError{"RegCode", "'abc' is not a valid integer value."}));
  record.set("RegCode", std::string("99999"));
  EXPECT_EQ(failure(), (EncodeError{"RegCode", "登记码超出范围(0--65535)！"}));
  record.set("RegCode", std::string("32768"));
  encode();  // warned about when left, but it fits
  record.set("FirstStop", std::string("99999"));
  EXPECT_EQ(failure(), (EncodeError{"FirstStop", "第一段终止超出范围(0--65535)！"}));
  record.set("FirstStop", std::string("160"));
  app.state().values.systemLabels[4] = {256, 0};
  EXPECT_EQ(failure(), (EncodeError{"无线局向号5", "无线局向号5超出范围(0--255)！"}));
  app.state().values.systemLabels[4] = {};

  useCpsx();
  auto& v = app.state().values;
  v.otherGroups[0] = 12345678;  // area code 123: no prefix
  EXPECT_EQ(
      failure(),
      (EncodeError{"HideGroup1",
                   "隐含组一 “12345678” 不在当前编号方案的任何号段内，电台无法存储，不能写入。"}));
  v.otherGroups[0] = 0;
  v.otherGroups[8] = 12345678;
  EXPECT_EQ(
      failure(),
      (EncodeError{"WaitGroup1",
                   "守候组09 “12345678” 不在当前编号方案的任何号段内，电台无法存储，不能写入。"}));
  v.otherGroups[8] = 0;
  v.largeBlock = 300;
  EXPECT_EQ(failure(), (EncodeError{"LargeBlock", "一级队的最高段号超出范围(0--255)！"}));
}

// Under CPSX a range limit is stored only when its ident reads back as the same limit: a member
// outside the limit's range or a fleet the plan places elsewhere would come back as another
// number, and ident 0 as no limit at all.
TEST_F(WriteImageTest, UnderCpsxARangeLimitIsStoredOnlyWhenItReadsBackAsItself) {
  useCpsx();
  // Below member 200, ident 0, an odd level-1 fleet, a group member: each says what the radio
  // would give back.
  for (const auto& [limit, message] : std::vector<std::pair<std::string, std::string>>{
           {"20198", "个呼范围 “20198” 不在当前编号方案的任何号段内，电台无法存储，不能写入。"},
           {"20199", "个呼范围 “20199” 写入电台后将读回为空，不能写入。"},
           {"21200", "个呼范围 “21200” 写入电台后将读回为“20200”，不能写入。"},
           {"20900", "个呼范围 “20900” 写入电台后将读回为“25225”，不能写入。"}}) {
    record.set("IndivolStop", limit);
    EXPECT_EQ(failure(), (EncodeError{"IndivolStop", message})) << limit;
  }
  record.set("IndivolStop", std::string("20899"));
  // An individual member, a cross-fleet group past 909.
  for (const char* limit : {"20899", "21910"}) {
    record.set("GrpStop", std::string(limit));
    const EncodeError error = failure();
    EXPECT_EQ(error.field, "GrpStop") << limit;
    EXPECT_TRUE(error.message.starts_with("组呼范围 “" + std::string(limit) + "” "))
        << error.message;
    EXPECT_EQ(error.message.find("0--65535"), std::string::npos) << error.message;
  }
  record.set("GrpStop", std::string("21909"));
  EXPECT_EQ(recordHex(encode(), 0x270).substr(12), "032A") << "the last cross-fleet group, 810";
}

TEST_F(WriteImageTest, RecordsInTheOrderOfTheWrite) {
  auto addresses = [&] {
    std::vector<Address> out;
    for (const MemoryRecord& r : encode().records) out.push_back(r.address);
    return out;
  };
  std::vector<Address> expected = {0x2C2, 0x000, 0x00A, 0x00E, 0x007, 0x1F9, 0x1FB, 0x2C9, 0x270,
                                   0x1F3, 0x210, 0x220, 0x230, 0x23F, 0x250, 0x25F, 0x1F2, 0x1F4,
                                   0x1FA, 0x1FC, 0x278, 0x280, 0x28A, 0x294, 0x29E, 0x2A8, 0x2B4};
  for (int m = 0; m < 10; ++m) expected.push_back(static_cast<Address>(0x310 + 12 * m));
  for (int m = 0; m < 10; ++m) expected.push_back(static_cast<Address>(0x388 + 12 * m));
  expected.push_back(0x2C0);
  EXPECT_EQ(addresses(), expected);

  // The PTT code only while its switch is shown; radio type and baud rate only on the Test tab.
  rules::Label51DblClick(app.state());
  app.main().setActivePage("Test");
  app.main().setChecked("Type2", true);
  app.main().setChecked("baudrate2", true);
  const WriteImage w = encode();
  EXPECT_EQ(recordHex(w, 0x1FD), "01") << "the PTT code is on while the box is clear";
  EXPECT_EQ(recordHex(w, 0x1F8), "01");
  EXPECT_EQ(recordHex(w, 0x1F7), "02");
  expected.insert(expected.begin() + 7, 0x1FD);
  expected.insert(expected.begin() + 9, {0x1F8, 0x1F7});
  EXPECT_EQ(addresses(), expected);
}

TEST_F(WriteImageTest, MenuBitsCarryTheBitsNoSwitchDrives) {
  EXPECT_EQ(recordHex(encode(), 0x2C2), "FFB0FC") << "all seventeen switches on at start-up";
  EXPECT_EQ(recordHex(encode({0xFF, 0xFF, 0xFF}), 0x2C2), "FFBFFF") << "0x2C3 bit 0x40 cleared";
  rules::All_NOClick(app.state());
  EXPECT_EQ(recordHex(encode({0xFF, 0xFF, 0xFF}), 0x2C2), "000F03");
  record.set("背光选择菜单", true);
  record.set("单呼振铃选择菜单", true);
  EXPECT_EQ(recordHex(encode(), 0x2C2), "400080");
}

TEST_F(WriteImageTest, SmallChoicesArePositionsInTheirLists) {
  record.set("铃声种类", std::string("铃声十六"));
  record.set("铃声音量", std::int64_t{15});
  record.set("静噪电平", std::int64_t{16});
  record.set("功率调节", std::string("低功率"));
  record.set("单呼振铃选择", std::string("振铃有效"));
  record.set("振动选择", std::string("no such item"));
  const WriteImage w = encode();
  EXPECT_EQ(recordHex(w, 0x000), "0F0F00" + std::string("01") + "00" + "10");
  EXPECT_EQ(recordHex(w, 0x00A), "000200");
  EXPECT_EQ(recordHex(w, 0x00E), "01");
}

// The records, modes and chunks as a radio takes them leave exactly the encoded memory.
TEST_F(WriteImageTest, ARadioTakingTheWriteHoldsTheEncodedMemory) {
  useCpsx();
  record.set("PhoneNumber0", std::string("1386"));
  record.set("系统告警号", std::string("01234567890123456789"));
  record.set("SingalCode", std::string("Enhanced"));
  app.state().values.otherGroups[9] = 32620905;
  app.state().values.systemLabels[39] = {7, 999};
  const WriteImage w = encode({0, 0x05, 0x02});

  link::Port& port = app.port;
  // Each command is on the line before the next starts: 1.042 ms a byte, then a pause.
  auto send = [&](const link::Bytes& bytes) {
    port.write(bytes);
    app.clock.pause(30 + 2 * static_cast<int>(bytes.size()));
  };
  send(link::settingCommand(w.modes.enhancedSignalling ? "STANDARD1" : "STANDARD0"));
  send(link::settingCommand(w.modes.cpsxDialling ? "MODE1" : "MODE0"));
  send(link::settingCommand(w.modes.scramblerOff ? "PN1" : "PN0"));
  for (const MemoryRecord& r : w.records)
    send(link::writeCommand(r.address, r.lengthField, r.data));
  send(link::modeLetter(link::ModeLetter::TakeBulk));
  for (std::size_t i = 0; i < link::kDumpChunks; ++i)
    send(link::textBytes(w.bulk.substr(16 * i, 16)));
  app.port.settle();
  EXPECT_EQ(app.radio.bulkWrites(), 1);

  MemoryImage radio;
  radio.setBytes(0, app.radio.memory());
  for (Address a = 0; a < MemoryImage::kSize; a += 16)
    ASSERT_EQ(radio.hex(a, 16), w.memory.hex(a, 16)) << "from " << link::hexWord(a);
}

}  // namespace
}  // namespace rcp::image
