// Opening data files that are damaged or unusual: a failed open changes nothing, an error names
// the key it stopped at, files re-saved by editors in UTF-8 or with other line ends open as saved.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "link/cp936.hpp"
#include "settings/data_file.hpp"
#include "settings/record.hpp"
#include "support/state_picture.hpp"
#include "support/test_program.hpp"

namespace rcp::settings {
namespace {

namespace fs = std::filesystem;
using Kind = DataFileError::Kind;

void spit(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

std::string slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The first line where two pictures of everything differ, or nothing.
std::string firstDifference(const std::string& before, const std::string& after) {
  std::istringstream a(before), b(after);
  std::string x, y;
  while (std::getline(a, x)) {
    if (!std::getline(b, y)) return "missing: " + x;
    if (x != y) return x + "  became  " + y;
  }
  return std::getline(b, y) ? "added: " + y : "";
}

struct DataFileOpeningTest : ::testing::Test {
  test::TestProgram app;
  ProgramState& state = app.state();
  Record record = app.record();
  fs::path file = app.dir / "data.ini";
};

// ---- A failed open -----------------------------------------------------------------------------

TEST_F(DataFileOpeningTest, AnOpenThatFailsWhileSettingFieldsLeavesEverythingAsItWas) {
  // Two different starting records: the start-up one, and one in the other scheme with the
  // talk-around group shown and a range search.
  for (bool changed : {false, true}) {
    if (changed) {
      record.set("DiallingScheme", std::string("CPSX"));
      app.main().userDblClick("Label48");
      record.set("Talk", true);
      record.set("ChannelSpace", std::int64_t{125});
      record.set("SearchWay", std::string("指定范围搜索"));
      app.main().fire("SearchWay", ui::Event::Change);
      record.set("MaxIndivol", std::string("089"));
    }
    // A change rule the open runs fails (the open runs no rule of its own that can).
    app.main().on("GrpWay", ui::Event::Change,
                  [](ui::Control&) { throw std::runtime_error("a change rule failed"); });
    const std::string before = test::everything(state);
    for (const std::string& lines :
         {std::string("DiallingScheme=CPSX\r\nLargeBlock=5\r\nGroup1=abc\r\n"),
          std::string("ChannelSpace=250\r\nVersion=Old\r\nTalk=True\r\nSearchWay=全信道搜索\r\n"
                      "DiallingScheme=CPSX\r\nBlock=二级队\r\nMediumBlock=7\r\n"
                      "背光选择菜单=打开\r\nGroup1=abc\r\n")}) {
      spit(file, link::encodeCp936("[File0]\r\n" + lines));
      const auto error = openDataFile(state, file);
      ASSERT_TRUE(error) << lines;
      EXPECT_EQ(error->kind, Kind::Interrupted) << error->message;
      EXPECT_EQ(firstDifference(before, test::everything(state)), "") << lines;
    }
  }
}

TEST_F(DataFileOpeningTest, AnOpenStoppedByAFieldOfTheWindowLeavesEverythingAsItWas) {
  app.main().setText("Channel2StopNum", "");  // the spacing rule's stop check cannot read it
  const std::string before = test::everything(state);
  spit(file, "[File0]\r\nChannelSpace=125\r\nDiallingScheme=CPSX\r\nTalk=True\r\n");
  const auto error = openDataFile(state, file);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, Kind::Interrupted);
  EXPECT_EQ(firstDifference(before, test::everything(state)), "");
}

// ---- Where a conversion failed -----------------------------------------------------------------

TEST_F(DataFileOpeningTest, AValueThatIsNoNumberNamesItsKey) {
  for (const auto& [lines, key] :
       {std::pair<std::string, std::string>{"FirstChannel=abc\r\n", "FirstChannel"},
        {"ChannelSpace=x\r\n", "ChannelSpace"},
        {"Talk=True\r\nTalkGrp=12a\r\n", "TalkGrp"},
        {"静噪电平=高\r\n", "静噪电平"},
        // Digits the channel rules cannot take as a number fail the open, not a rule after it.
        {"FirstChannel=1234567890123456789\r\n", "FirstChannel"},
        {"FirstStop=00000000000000000001234567890123456789\r\n", "FirstStop"},
        {"SecondChannel=99999999999999999999\r\n", "SecondChannel"},
        {"SecondStop=9223372036854775808\r\n", "SecondStop"},
        {"ThirdChannel=12345678901234567890123\r\n", "ThirdChannel"},
        {"ThirdStop=1000000000000000000000\r\n", "ThirdStop"}}) {
    spit(file, link::encodeCp936("[File0]\r\n" + lines));
    const auto error = openDataFile(state, file);
    ASSERT_TRUE(error) << lines;
    EXPECT_EQ(error->kind, Kind::NotANumber);
    EXPECT_EQ(error->key, key);
    const std::string detail = dataFileErrorDetail(*error, file);
    EXPECT_NE(detail.find(key), std::string::npos) << detail;
    EXPECT_NE(detail.find(file.string()), std::string::npos) << detail;
    EXPECT_NE(detail.find(error->message), std::string::npos) << detail;
  }
}

// ---- Encodings and line ends -------------------------------------------------------------------

// A file with a Chinese combo text, a menu switch on and a fleet level, in the given form.
std::string sample(std::string_view lineEnd) {
  std::string out;
  for (const char* line : {"[File0]", "DiallingScheme=CPSX", "Block=二级队", "背光选择菜单=打开",
                           "背光选择=背光关", "FirstStop=300", "NetType=Regional"})
    out += std::string(line) + std::string(lineEnd);
  return out;
}

void expectSampleOpened(Record& record) {
  EXPECT_EQ(record.text("Block"), "二级队");
  EXPECT_TRUE(record.flag("背光选择菜单"));
  EXPECT_EQ(record.text("背光选择"), "背光关");
  EXPECT_EQ(record.text("FirstStop"), "300");
  EXPECT_EQ(record.text("NetType"), "Regional");
}

TEST_F(DataFileOpeningTest, FilesInUtf8OrWithOtherLineEndsOpenAsSaved) {
  for (const std::string& bytes :
       {sample("\r\n"), "\xEF\xBB\xBF" + sample("\r\n"), sample("\n"), sample("\r"),
        link::encodeCp936(sample("\r")), link::encodeCp936(sample("\n"))}) {
    record.set("FirstStop", std::string("1"));
    spit(file, bytes);
    ASSERT_FALSE(openDataFile(state, file));
    SCOPED_TRACE(bytes);
    expectSampleOpened(record);
  }
}

TEST_F(DataFileOpeningTest, SavingIntoAUtf8FileKeepsItUtf8AndANewFileIsCp936) {
  spit(file, "; 备注\n" + sample("\n"));
  ASSERT_FALSE(openDataFile(state, file));
  record.set("系统告警号", std::string("告警*1"));
  ASSERT_FALSE(saveDataFile(state, file));
  const std::string bytes = slurp(file);
  EXPECT_TRUE(bytes.starts_with("; 备注\n[File0]\nDiallingScheme=CPSX\n")) << bytes.substr(0, 80);
  EXPECT_NE(bytes.find("系统告警号=告警*1\n"), std::string::npos);
  record.set("系统告警号", std::string());
  ASSERT_FALSE(openDataFile(state, file));
  EXPECT_EQ(record.text("系统告警号"), "告警*1");

  const fs::path fresh = app.dir / "new.ini";
  ASSERT_FALSE(saveDataFile(state, fresh));
  EXPECT_NE(slurp(fresh).find(link::encodeCp936("系统告警号=告警*1\r\n")), std::string::npos);
}

TEST_F(DataFileOpeningTest, ASectionWithoutOneKnownKeyIsNoDataFile) {
  const std::string before = test::everything(state);
  for (const std::string& bytes :
       {std::string("[File0]\r\n"), std::string("[File0]\r\nComport=COM1\r\nfoo=bar\r\n"),
        std::string("[File0]\rComport=COM1\r")}) {
    spit(file, bytes);
    const auto error = openDataFile(state, file);
    ASSERT_TRUE(error) << bytes;
    EXPECT_EQ(error->kind, Kind::NotDataFile);
    EXPECT_EQ(error->message, "文件“" + file.string() + "”不是数据文件！");
    EXPECT_EQ(firstDifference(before, test::everything(state)), "");
  }
  spit(file, "[File0]\r\nfirststop=300\r\n");
  ASSERT_FALSE(openDataFile(state, file)) << "one known key is enough; the rest are absent";
  EXPECT_EQ(record.text("FirstStop"), "300");
  EXPECT_EQ(record.text("FirstRxFreq"), "3610250");
}

}  // namespace
}  // namespace rcp::settings
