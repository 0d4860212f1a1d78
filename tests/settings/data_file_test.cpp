#include "settings/data_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "link/cp936.hpp"
#include "link/path_text.hpp"
#include "settings/data_file_keys.hpp"
#include "settings/field_table.hpp"
#include "support/state_picture.hpp"
#include "support/test_program.hpp"

namespace rcp::settings {
namespace {

namespace fs = std::filesystem;
using std::int64_t;
using Kind = DataFileError::Kind;

std::string slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void spit(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

std::string show(const FieldValue& v) {
  if (auto b = std::get_if<bool>(&v)) return *b ? "on" : "off";
  if (auto n = std::get_if<int64_t>(&v)) return std::to_string(*n);
  return '"' + std::get<std::string>(v) + '"';
}

struct DataFileTest : ::testing::Test {
  test::TestProgram app;
  ProgramState& state = app.state();
  Record record = app.record();
  fs::path file = app.dir / "data.ini";

  // Opens a file holding section File0 with these lines (UTF-8 here, CP936 on disk).
  std::optional<DataFileError> open(const std::string& lines) {
    spit(file, link::encodeCp936("[File0]\r\n" + lines));
    return openDataFile(state, file);
  }
  std::string saved() { return link::decodeCp936(slurp(file)); }
};

// ---- Saving and opening again ----------------------------------------------------------------

// Gives every field a value unlike its start and absent values, in one scheme.
void fillRecord(test::TestProgram& app, bool cpsx) {
  Record r = app.record();
  ui::Form& f = app.main();
  r.set("ChannelSpace", int64_t{125});
  r.set("DiallingScheme", std::string(cpsx ? "CPSX" : "MPT1343"));
  r.set("NetType", std::string("Regional"));
  r.set("SingalCode", std::string("Enhanced"));
  f.userDblClick("Label48");  // reveals the talk-around group
  f.userDblClick("Label51");  // and the PTT switch
  int i = 100;
  for (const auto& def : fieldTable()) {
    ++i;
    const ui::Control* c = def.control.empty() ? nullptr : &f.at(def.control);
    switch (def.kind) {
      case FieldKind::Digits:
        r.set(def.name, std::to_string(i).substr(0, static_cast<std::size_t>(def.maxLength)));
        break;
      case FieldKind::Text:
        r.set(def.name, "*" + std::to_string(i));
        break;
      case FieldKind::Choice:
        r.set(def.name, c->items.back());
        break;
      case FieldKind::Number:
      case FieldKind::Level:
        if (def.name != "MaxPhoneNumber") r.set(def.name, int64_t{c->max - 1});
        break;
      case FieldKind::Switch:
      case FieldKind::InvertedSwitch:
        r.set(def.name, !std::get<bool>(def.start));
        break;
      case FieldKind::Integer:
        if (def.name.find("Simplex") == 0) r.set(def.name, int64_t{3000000 + i});
        break;
      case FieldKind::U32:
        r.set(def.name, int64_t{4000000000LL + i});
        break;
      case FieldKind::RadioChoice:
        break;
    }
  }
  // As the user would set them: the phone book shrinks, the combo boxes run their change rules.
  r.set("MaxPhoneNumber", int64_t{9});
  f.fire("GrpWay", ui::Event::Change);
  r.set("MoreGrpDisp", int64_t{16});
  r.set("SearchWay", std::string(cpsx ? "全信道搜索" : "指定范围搜索"));
  f.fire("SearchWay", ui::Event::Change);
  r.set("Block", std::string("二级队"));
  for (auto [name, value] : {std::pair{"LargeBlock", 5}, {"MediumBlock", 8}, {"SmallBlock", 9}})
    r.set(name, int64_t{value});
}

// Whether opening a file saved from this record reads the field.
bool opensBack(const std::string& field, bool cpsx) {
  if (field.starts_with("StartUp-") || field == "MenuPreset") return false;
  if (field == "SearchStartChannel" || field == "SearchStopChannel") return !cpsx;
  for (const char* f : {"MaxIndivol", "MaxFleet", "GroupFleet"})
    if (field == f) return !cpsx;
  for (const char* f : {"Block", "LargeBlock", "MediumBlock", "SmallBlock"})
    if (field == f) return cpsx;
  return true;
}

class RoundTrip : public ::testing::TestWithParam<bool> {};

TEST_P(RoundTrip, OpeningASavedFileGivesBackEveryFieldOpeningReads) {
  const bool cpsx = GetParam();
  test::TestProgram saving;
  fillRecord(saving, cpsx);
  const fs::path file = saving.dir / "round.ini";
  ASSERT_FALSE(saveDataFile(saving.state(), file));

  test::TestProgram opening;
  ASSERT_FALSE(openDataFile(opening.state(), file));
  Record before = saving.record();
  Record after = opening.record();
  for (const auto& def : fieldTable()) {
    if (!opensBack(def.name, cpsx)) continue;
    EXPECT_EQ(show(after.get(def.name)), show(before.get(def.name))) << def.name;
  }
  EXPECT_TRUE(opening.main().at("OldVersion").visible);
  EXPECT_TRUE(opening.main().at("TalkGrp").visible);
  EXPECT_EQ(opening.main().at("ControlStart").enabled, !cpsx);
  if (cpsx) {
    // The fleet plan read is the one in use, and the segment box shows the level read.
    const WorkingValues& v = opening.state().values;
    EXPECT_EQ((std::array{v.levelBound1, v.levelBound2, v.levelBound3}), (std::array{10, 16, 27}));
    EXPECT_EQ(opening.main().at("MaxUnit").text, "8");
    EXPECT_EQ(opening.main().at("MaxUnitLab").caption, "二级队的最高段号");
  } else {
    EXPECT_EQ(after.text("Block"), "一级队") << "not read under MPT1343";
  }
}

INSTANTIATE_TEST_SUITE_P(BothSchemes, RoundTrip, ::testing::Bool());

// Chinese file and folder names: a path made from UTF-8 text reaches the file system as the
// platform names it (wide on Windows), and messages name it in UTF-8 again.
TEST(ChineseNames, ADataFileInAChineseFolderSavesOpensAndIsNamedInMessages) {
  test::TestProgram saving;
  fillRecord(saving, false);
  const fs::path folder = saving.dir.path() / link::pathOf("电台资料");
  fs::create_directories(folder);
  const fs::path file = folder / link::pathOf("一号台（备份）.ini");
  ASSERT_FALSE(saveDataFile(saving.state(), file));
  ASSERT_FALSE(saveDataFile(saving.state(), file)) << "saved over";
  EXPECT_EQ(link::textOf(file.filename()), "一号台（备份）.ini");

  test::TestProgram opening;
  ASSERT_FALSE(openDataFile(opening.state(), file));
  EXPECT_EQ(opening.record().text("Indivol"), saving.record().text("Indivol"));

  const fs::path missing = folder / link::pathOf("二号台.ini");
  const auto error = openDataFile(opening.state(), missing);
  ASSERT_TRUE(error);
  EXPECT_NE(dataFileErrorDetail(*error, missing).find("电台资料"), std::string::npos)
      << dataFileErrorDetail(*error, missing);
}

TEST_F(DataFileTest, ANewFileIsCp936WithCrLfAndTheKeysInSavingOrder) {
  ASSERT_FALSE(saveDataFile(state, file));
  const std::string bytes = slurp(file);
  EXPECT_TRUE(
      bytes.starts_with("[File0]\r\nVersion=New\r\nChannelSpace=250\r\nFirstChannel=0001\r\n"));
  EXPECT_NE(bytes.find(link::encodeCp936("\r\nGrpWay=全部有效\r\n")), std::string::npos);
  EXPECT_EQ(bytes.find("全部有效"), std::string::npos) << "no UTF-8 on disk";
  EXPECT_TRUE(bytes.ends_with(link::encodeCp936("系统告警号=*8180\r\n全部菜单=有效\r\n")));

  const auto keys = link::IniDocument(bytes).keys("File0");
  std::vector<std::string> expected;
  for (const auto& k : dataFileKeys())
    if (!k.key.starts_with("无线局向号") && !k.key.starts_with("对应系统号") &&
        k.key != "DynaGroup" && k.key != "PTT-code" && k.key != "TalkIndivol" &&
        k.key != "TalkGrp" && k.key != "常用菜单" && k.key.find("Block") == std::string::npos)
      expected.push_back(k.key);
  EXPECT_EQ(keys, expected);
  // The layout order of the preferred channels and zone codes.
  EXPECT_EQ(std::vector<std::string>(keys.begin() + 17, keys.begin() + 21),
            (std::vector<std::string>{"Hunt02", "Hunt03", "Hunt16", "Hunt05"}));
  EXPECT_NE(saved().find("SilLength=000\r\nZoneData03=000\r\nZoneData02=000\r\nZoneData01="),
            std::string::npos);
}

TEST_F(DataFileTest, SavingUpdatesAnExistingFileInPlace) {
  const std::string before =
      "; kept by hand\r\n[Other]\r\nFirstChannel=99\r\n\r\n[file0]\r\n# note\r\n"
      "firstchannel = 5\r\nForeign=x\r\n无线局向号5=12\r\nDYNAGROUP=3261234567\r\nPTT-code=True\r\n"
      "DynaGroup=3260000000\r\n"
      "[Tail]\r\nA=1";
  spit(file, link::encodeCp936(before));
  ASSERT_FALSE(saveDataFile(state, file));
  const std::string after = saved();
  EXPECT_TRUE(after.starts_with(
      "; kept by hand\r\n[Other]\r\nFirstChannel=99\r\n\r\n[file0]\r\n# note\r\n"
      "firstchannel =0001\r\nForeign=x\r\nVersion=New\r\nChannelSpace=250\r\nFirstStop=0160\r\n"));
  EXPECT_TRUE(after.ends_with("全部菜单=有效\r\n[Tail]\r\nA=1"));
  // Keys opening would bring back from the older save are gone; the rest of the file is kept.
  for (const char* stale : {"无线局向号5", "DYNAGROUP", "DynaGroup", "PTT-code"})
    EXPECT_EQ(after.find(stale), std::string::npos) << stale;
}

TEST_F(DataFileTest, ConditionalKeysFollowTheRecord) {
  state.values.systemLabels[4] = {12, 34};
  app.main().userDblClick("Label51");
  record.set("DynaCode", true);
  record.set("DynaGroup", std::string("3265500901"));
  ASSERT_FALSE(saveDataFile(state, file));
  EXPECT_NE(saved().find("无线局向号5=12\r\n对应系统号5=34\r\nDynaCode=True\r\n"
                         "DynaGroup=3265500901\r\n"),
            std::string::npos);
  EXPECT_NE(saved().find("Callback=False\r\nPTT-code=True\r\nTalk=False\r\n"), std::string::npos);

  // Saved again over the same file once the entry is unused and the switch off: the pair and
  // the dynamic group are gone, so opening does not bring them back.
  state.values.systemLabels[4] = {0, 34};
  record.set("DynaCode", false);
  record.set("Talk", true);
  ASSERT_FALSE(saveDataFile(state, file));
  EXPECT_EQ(saved().find("局向号5"), std::string::npos);
  EXPECT_EQ(saved().find("DynaGroup"), std::string::npos);
  EXPECT_NE(saved().find("\r\nTalk=True\r\n"), std::string::npos);
  EXPECT_TRUE(saved().ends_with("全部菜单=有效\r\nTalkIndivol=32688888\r\nTalkGrp=32699999\r\n"))
      << "keys new to the file go to the end of its section";
  state.values.systemLabels[4] = {77, 34};
  record.set("DynaGroup", std::string("3260000000"));
  ASSERT_FALSE(openDataFile(state, file));
  EXPECT_EQ(state.values.systemLabels[4].route, 0u);
  EXPECT_EQ(record.text("DynaGroup"), "");
}

TEST_F(DataFileTest, MenuPresetDecidesTheMenuKeysAndOpensAsSaved) {
  app.main().userClick("Often_OK");
  ASSERT_FALSE(saveDataFile(state, file));
  EXPECT_TRUE(saved().ends_with("系统告警号=*8180\r\n常用菜单=有效\r\n"));
  ASSERT_FALSE(openDataFile(state, file));
  EXPECT_EQ(state.values.menuPreset, MenuPreset::Common);
  EXPECT_TRUE(record.flag("音量调节菜单"));
  EXPECT_FALSE(record.flag("背光选择菜单"));

  app.main().userClick("All_NO");
  ASSERT_FALSE(saveDataFile(state, file));
  EXPECT_TRUE(saved().ends_with("系统告警号=*8180\r\n全部菜单=无效\r\n"))
      << "the other key is gone";
  ASSERT_FALSE(openDataFile(state, file));
  EXPECT_EQ(state.values.menuPreset, MenuPreset::None);

  app.main().userClick("Led_Choose");  // a switch changed by hand: neither key
  ASSERT_FALSE(saveDataFile(state, file));
  EXPECT_TRUE(saved().ends_with("系统告警号=*8180\r\n")) << "both keys are gone";
  state.values.menuPreset = MenuPreset::All;
  ASSERT_FALSE(openDataFile(state, file));
  EXPECT_EQ(state.values.menuPreset, MenuPreset::HandPicked);
}

TEST_F(DataFileTest, AnEmptiedSpinFieldIsSavedAsItsMinimumAndOpensAgain) {
  app.main().userType("MaxNumber", "");
  app.main().userType("TA", "");
  ASSERT_FALSE(saveDataFile(state, file));
  EXPECT_NE(saved().find("\r\nMaxPhoneNumber=0\r\n"), std::string::npos);
  EXPECT_NE(saved().find("\r\nTA=10\r\n"), std::string::npos);
  EXPECT_EQ(app.main().at("TA").text, "10");
  EXPECT_FALSE(openDataFile(state, file));

  // The phone-book size is written as typed.
  app.main().userType("MaxNumber", "07");
  ASSERT_FALSE(saveDataFile(state, file));
  EXPECT_NE(saved().find("\r\nMaxPhoneNumber=07\r\n"), std::string::npos);
  ASSERT_FALSE(openDataFile(state, file));
  EXPECT_EQ(Record(state).number("MaxPhoneNumber"), 7);
}

// ---- Opening -----------------------------------------------------------------------------------

TEST_F(DataFileTest, ValuesAreConvertedAndSetWithTheirSideEffects) {
  ASSERT_FALSE(
      open("NetId=7\r\nnetid=1\r\nTA=5\r\n静噪电平=20\r\nRingCategory=5\r\nSingalCode=Enhanced\r\n"
           "FirstChannel=$10\r\nSecondStop=0x1F\r\nThirdStop=0007\r\n"
           "HideGroup1=4294967295\r\nHideGroup2=12abc\r\nHideGroup3=abc\r\n"
           "WaitGroup1=-1\r\nTalk=True\r\nTalkGrp=3269999999\r\nsearchway=指定范围搜索\r\n"
           "SearchStartChannel=  '12'  \r\n系统告警号=" +
           std::string(3000, '*') + "\r\n"));
  EXPECT_EQ(record.number("NetId"), 3) << "the first of a repeated key counts, clamped";
  EXPECT_EQ(record.number("TA"), 10);
  EXPECT_EQ(record.number("静噪电平"), 16);
  EXPECT_EQ(record.number("RingCategory"), 5);
  EXPECT_TRUE(app.main().checked("Enhance"));
  EXPECT_EQ(record.text("FirstChannel"), "16");
  EXPECT_EQ(record.text("SecondStop"), "31");
  EXPECT_EQ(record.text("ThirdStop"), "7");
  EXPECT_EQ((std::array{state.values.otherGroups[0], state.values.otherGroups[1],
                        state.values.otherGroups[2], state.values.otherGroups[8]}),
            (std::array<std::uint32_t, 4>{4294967295u, 12u, 0u, 4294967295u}));
  EXPECT_EQ(record.text("TalkGrp"), "3269999999")
      << "a digit field beyond 32 bits keeps its digits";
  EXPECT_EQ(record.text("SearchStartChannel"), "12");
  EXPECT_EQ(state.values.rangeSearch, SearchMode::Range);
  EXPECT_TRUE(app.main().at("ControlStop").enabled);
  EXPECT_EQ(record.text("系统告警号").size(), 2047u);
}

TEST_F(DataFileTest, AFileWithoutKeysGivesEveryFieldItsAbsentValue) {
  // One key it holds makes it a data file (a section without any is none).
  ASSERT_FALSE(open("Version=New\r\n"));
  EXPECT_EQ(record.text("FirstStop"), "1");
  EXPECT_EQ(record.text("SearchWay"), "全信道搜索");
  EXPECT_EQ(state.values.rangeSearch, SearchMode::AllChannels);
  EXPECT_FALSE(app.main().at("ControlStart").enabled);
  EXPECT_EQ(record.text("SearchStartChannel"), "0000") << "not read for a search of all channels";
  EXPECT_TRUE(record.flag("AutoRoam"));
  EXPECT_EQ(record.text("TalkIndivol"), "32688888") << "not read while Talk is off";
  EXPECT_FALSE(app.main().at("TalkLab1").visible);
  EXPECT_FALSE(app.main().checked("Transcode"));
  EXPECT_EQ(record.number("静噪电平"), 3);
  for (const char* menu : {"背光选择菜单", "控制信道选择菜单"}) EXPECT_FALSE(record.flag(menu));
  EXPECT_EQ(record.text("Indivol"), "3262001201");
}

TEST_F(DataFileTest, ANewSpacingRunsItsRuleBeforeTheFirstSegmentIsRead) {
  ASSERT_FALSE(open("ChannelSpace=125\r\nFirstStop=300\r\n"));
  EXPECT_TRUE(app.main().checked("ChannelSpace1"));
  EXPECT_EQ(record.text("FirstStop"), "300");
  EXPECT_EQ(record.text("FirstRxFreq"), "3610250") << "from the absent value, after the rule";
  EXPECT_EQ(state.values.baseRxFreq, 3580125) << "set by the rule; opening leaves it";
}

TEST_F(DataFileTest, ACpsxFileLeavesTheMpt1343FleetFieldsAlone) {
  record.set("MaxIndivol", std::string("089"));
  ASSERT_FALSE(open("DiallingScheme=CPSX\r\nBlock=一级队\r\nLargeBlock=4\r\nMediumBlock=6\r\n"));
  EXPECT_EQ(record.text("MaxIndivol"), "089");
  EXPECT_EQ(record.text("Indivol"), "32620201");
  EXPECT_EQ(state.values.levelBound1, 8);
  EXPECT_EQ(app.main().at("MaxUnit").text, "4");
  EXPECT_EQ(app.main().at("MaxUnit").max, 6);
}

TEST_F(DataFileTest, AValueThatIsNoNumberStopsTheOpenAndChangesNothing) {
  app.main().userClick("Often_OK");
  const std::string before = test::everything(state);
  const std::string good =
      "ChannelSpace=125\r\nDiallingScheme=CPSX\r\nTalk=True\r\nVersion=Old\r\n";
  for (const auto& [bad, shown] : {std::pair<std::string, std::string>{"FirstChannel=", "''"},
                                   {"TA=1O", "'1O'"},
                                   {"NetId=$80000000", "'$80000000'"},
                                   {"MaxPhoneNumber=", "''"},
                                   {"Simplex12RxFreq=9999999999", "'9999999999'"}}) {
    const auto error = open(good + bad + "\r\n");
    ASSERT_TRUE(error) << bad;
    EXPECT_EQ(error->kind, Kind::NotANumber);
    EXPECT_EQ(error->message, shown + " is not a valid integer value.");
    EXPECT_EQ(test::everything(state), before) << bad;
  }
  EXPECT_TRUE(app.dialogs.messages.empty()) << "opening shows nothing itself";
}

TEST_F(DataFileTest, ARuleFailingDuringTheOpenComesBackAsAValue) {
  app.main().setText("Channel2StopNum", "");  // the spacing rule's stop check cannot read it
  const auto error = open("ChannelSpace=125\r\n");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, Kind::Interrupted);
  EXPECT_EQ(error->message, "'' is not a valid integer value.");
}

TEST_F(DataFileTest, ANameThatIsNoReadableDataFileChangesNothing) {
  const std::string before = test::everything(state);
  auto error = openDataFile(state, app.dir / "nowhere.ini");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, Kind::Missing);
  EXPECT_NE(error->message.find((app.dir / "nowhere.ini").string()), std::string::npos);

  spit(file, "[ComStatus]\r\nComport=COM1\r\n");
  error = openDataFile(state, file);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, Kind::NotDataFile);
  EXPECT_EQ(error->message, "文件“" + file.string() + "”不是数据文件！");

  error = openDataFile(state, app.dir.path());
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, Kind::Unreadable);
  error = openDataFile(state, "/dev/zero");
  ASSERT_TRUE(error) << "a device is never read";
  EXPECT_EQ(test::everything(state), before);
}

TEST_F(DataFileTest, JunkAndHugeFilesOpenOrFailCleanly) {
  std::string junk = "[File0]\r\nSysCallNum=1\r\n系统告警号=";
  junk = link::encodeCp936(junk) + "\xFF\xFE" + '\0' + "x\r\n";
  for (int i = 0; i < 256; ++i) junk += static_cast<char>(i);
  junk += "\r\n" + std::string(3'000'000, 'A') + "\r\n";
  for (int i = 0; i < 100'000; ++i) junk += "Key" + std::to_string(i) + "=v\r\n";
  spit(file, junk);
  ASSERT_FALSE(openDataFile(state, file));
  EXPECT_EQ(record.text("系统告警号"), "\xEF\xBF\xBD\xEF\xBF\xBD" + std::string(1, '\0') + "x");

  spit(file, "[File0]\r\n" + std::string(kMaxDataFileSize, '\n'));
  const auto error = openDataFile(state, file);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, Kind::NotDataFile);
}

// ---- Failed saves ------------------------------------------------------------------------------

TEST_F(DataFileTest, AFailedSaveLeavesTheOldFileUntouched) {
  spit(file, "[File0]\r\nVersion=Old\r\n");
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
  auto error = saveDataFile(state, file);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, Kind::Unwritable);
  EXPECT_EQ(error->message, "Unable to write to " + file.string() + ".");
  EXPECT_EQ(slurp(file), "[File0]\r\nVersion=Old\r\n");

  error = saveDataFile(state, app.dir / "missing-folder" / "data.");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->message, "Unable to write to " + (app.dir / "missing-folder" / "data.").string())
      << "no second full stop";
  EXPECT_TRUE(saveDataFile(state, app.dir.path()));
  EXPECT_TRUE(saveDataFile(state, "/dev/null"));
  // Nothing but the old file is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(app.dir.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace rcp::settings
