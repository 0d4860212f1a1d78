// The read transfer on the virtual clock against the in-process virtual radio: the requests it
// sends with their pauses, what it brings back, the progress dialog and the failure paths.

#include "transfer/read_transfer.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <string>

#include "transfer/transfer_test_support.hpp"
#include "program/program.hpp"
#include "settings/data_file.hpp"
#include "support/form_driver.hpp"
#include "support/temp_dir.hpp"
#include "support/test_program.hpp"
#include "testmode/test_tab_fixture.hpp"
#include "window/transfer_commands.hpp"

namespace rcp::image {
namespace {

// A full read from a blank radio: the greeting with "U" and the bulk answer (decoding it sets the
// Test tab's volumes and scrambler, whose commands go out as they change), the six paced steps,
// the 26 small reads.
const std::string kFullRead =
    "pp w 20 p > PROG<CR>\n"
    "read 18 -> 18\n"
    "p > U\n"
    "read 1 -> 1\n"
    "read 992 -> 992\n"
    "> VR40<CR>\n"
    "> VR30<CR>\n"
    "> VR20<CR>\n"
    "> VR10<CR>\n"
    "> PN0<CR>\n"
    "670 w 20 p > <91>READ01F702<CR>\n"
    "read 4 -> 4\n"
    "10 w 20 p > <91>READ02DD01<CR>\n"
    "read 2 -> 2\n"
    "10 w 20 p > <91>READ02DE01<CR>\n"
    "read 2 -> 2\n"
    "10 w 20 p > <91>READ02E101<CR>\n"
    "read 2 -> 2\n"
    "10 w 20 p > <91>READ02E201<CR>\n"
    "read 2 -> 2\n"
    "10 w 20 p > <91>READ02E301<CR>\n"
    "read 2 -> 2\n"
    "10 w 20 p > <91>READ02E401<CR>\n"
    "read 2 -> 2\n"
    "10 w 20 p > <91>READ02E501<CR>\n"
    "read 2 -> 2\n"
    "10 w 20 p > <91>READ02E601<CR>\n"
    "read 2 -> 2\n"
    "10 w 20 p > <91>READ02DF01<CR>\n"
    "read 2 -> 2\n"
    "10 w 20 p > <91>READ02E001<CR>\n"
    "read 2 -> 2\n"
    "10 w 20 p > <91>READ000701<CR>\n"
    "read 16 -> 2\n"
    "10 w 20 > <91>READ01FD01<CR>\n"
    "read 16 -> 2\n"
    "10 w 20 p > <91>READ027010<CR>\n"
    "read 16 -> 16\n"
    "20 p > <91>READ02C203<CR>\n"
    "read 6 -> 6\n"
    "20 p > <91>READ000006<CR>\n"
    "read 12 -> 12\n"
    "20 p > <91>READ000A03<CR>\n"
    "read 6 -> 6\n"
    "20 p > <91>READ000E01<CR>\n"
    "read 2 -> 2\n"
    "20 p > <91>READ02A818<CR>\n"
    "read 48 -> 48\n"
    "20 p > <91>READ02C002<CR>\n"
    "read 4 -> 4\n"
    "20 p > <91>READ031078<CR>\n"
    "read 240 -> 240\n"
    "20 p > <91>READ038878<CR>\n"
    "read 240 -> 240\n"
    "10 w 20 p > <91>READ021010<CR>\n"
    "read 32 -> 32\n"
    "10 w 20 p > <91>READ022010<CR>\n"
    "read 32 -> 32\n"
    "10 w 20 p > <91>READ023040<CR>\n"
    "read 128 -> 128\n"
    "10 w 20 p > <91>READ02C928<CR>\n"
    "read 40 -> 40\n";

// Fields a write stores and a read brings back, with values other than their start values.
const std::map<std::string, std::string> kChanged = {{"FirstChannel", "25"},
                                                     {"FirstStop", "300"},
                                                     {"RegCode", "1234"},
                                                     {"Hunt07", "77"},
                                                     {"ZoneData", "123"},
                                                     {"StartUp-Infomation", "Hi      "},
                                                     {"StartUp-Password", "12345678"},
                                                     {"系统告警号", "*12345678901"},
                                                     {"Group2", "3262001301"},
                                                     {"PhoneNumber3", "0123456789"}};

struct ReadTransfer : ::testing::Test {
  test::TestProgram app;
  ui::Form& main = app.main();
  settings::Record record = app.record();
  test::ProgressWatch progress{app.state()};

  void SetUp() override { userPause(); }
  void userPause() {
    app.clock.pause(1000);
    app.port.settle();
    app.port.clearEvents();
  }
  std::string status() const { return main.at("StatusBar").panels.at(2).text; }
  const ui::Form& dialog() { return *app.state().writeData; }
  // The main window as the user sees it, but for the status bar.
  std::map<std::string, std::string> fields() const {
    std::map<std::string, std::string> out;
    for (const auto& c : main.controls())
      if (c.kind != ui::ControlKind::StatusBar)
        out[c.name] = c.text + "|" + c.caption + "|" + std::to_string(c.checked) + "|" +
                      std::to_string(c.value) + "|" + std::to_string(c.visible);
    return out;
  }
};

TEST_F(ReadTransfer, AFullReadSendsItsRequestsWithTheirPausesAndAdvancesTheBarBy100) {
  const auto started = std::chrono::steady_clock::now();
  const auto startedMs = app.clock.nowMs();
  main.userClick("ReadData");
  EXPECT_LT(std::chrono::steady_clock::now() - started, test::kTransferRealTime);
  EXPECT_GT(app.clock.nowMs() - startedMs, test::kTransferRealTime.count()) << "the line's time";

  EXPECT_EQ(test::lineText(app.port), kFullRead);
  EXPECT_EQ(app.clock.nowMs() - app.port.events().back().endMs, 800);
  EXPECT_EQ(progress.positions.front(), 3);
  EXPECT_EQ(progress.peak(), 100);
  EXPECT_EQ(progress.positions.back(), 100);
  EXPECT_FALSE(dialog().isShowing());
  EXPECT_EQ(dialog().value("WriteProgressBar"), 0);
  EXPECT_EQ(dialog().at("WriteLabel").caption, "正在读取数据，请稍候...");
  EXPECT_EQ(status(), "读取结束!");
  EXPECT_FALSE(app.screen.busy);
  EXPECT_TRUE(app.dialogs.messages.empty());
}

TEST_F(ReadTransfer, BringsBackWhatAWriteStoredAndCarriesTheMenuBitsIntoTheNextWrite) {
  for (const auto& [field, value] : kChanged) record.set(field, value);
  main.userClick("WriteData");
  userPause();
  app.radio.memory()[0x2C3] |= 0x05;  // bits no menu switch drives
  for (const auto& [field, value] : kChanged) record.set(field, std::string("9"));

  main.userClick("ReadData");
  for (const auto& [field, value] : kChanged) EXPECT_EQ(record.text(field), value) << field;
  EXPECT_EQ(main.text("CurrentChannelNum"), "25");
  EXPECT_EQ(app.state().values.highestChannel, 300);

  userPause();
  main.userClick("WriteData");
  app.port.settle();
  EXPECT_EQ(app.radio.memory()[0x2C3] & 0x05, 0x05);
}

TEST_F(ReadTransfer, ACpsxRadioIsAskedTheSameAndComesBackAsCpsx) {
  record.set("DiallingScheme", std::string("CPSX"));
  record.set("Group3", std::string("32620900"));
  main.userClick("WriteData");
  userPause();
  record.set("DiallingScheme", std::string("MPT1343"));
  main.userClick("ReadData");
  // What decoding sends to the Test tab's controls follows the radio's memory; the requests
  // and their pauses do not.
  const auto requests = [](const std::string& text) {
    static const std::regex testTab("> (VR|PN)[0-9]+<CR>\n");
    return std::regex_replace(text, testTab, "");
  };
  EXPECT_EQ(requests(test::lineText(app.port)), requests(kFullRead));
  EXPECT_EQ(record.text("DiallingScheme"), "CPSX");
  EXPECT_EQ(record.text("Group3"), "32620900");
}

TEST_F(ReadTransfer, ControlBytesInTheRadiosTextsNeverBreakTheDataFile) {
  record.set("TA", std::int64_t{10});
  record.set("PSTNLength", std::int64_t{0});
  record.set("系统告警号", std::string("*1234"));
  main.userClick("WriteData");
  userPause();
  const auto poke = [&](std::size_t at, std::string_view bytes) {
    std::copy(bytes.begin(), bytes.end(), app.radio.memory().begin() + static_cast<long>(at));
  };
  poke(0x220, "\r\n[X]\r\n\x7F");
  poke(0x228, std::string_view("1\r\0PTT-", 7));
  poke(0x2C9, "*12\nPTT-code=False\r9");
  main.userClick("ReadData");
  EXPECT_EQ(record.text("StartUp-Infomation"), "  [X]   ");
  EXPECT_EQ(record.text("StartUp-Password"), "1 ");
  EXPECT_EQ(record.text("系统告警号"), "*12 PTT-code=False 9");

  test::TempDir dir;
  const auto slurp = [](const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  ASSERT_FALSE(settings::saveDataFile(app.state(), dir / "a.ini"));
  const std::string saved = slurp(dir / "a.ini");
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '['), 2);  // "[File0]" and the text's own
  EXPECT_EQ(saved.find("PTT-code=False\r\n"), std::string::npos);

  record.set("TA", std::int64_t{60});
  ASSERT_FALSE(settings::openDataFile(app.state(), dir / "a.ini"));
  EXPECT_EQ(record.number("TA"), 10);
  EXPECT_EQ(record.number("PSTNLength"), 0);
  ASSERT_FALSE(settings::saveDataFile(app.state(), dir / "b.ini"));
  EXPECT_EQ(slurp(dir / "b.ini"), saved);
}

TEST_F(ReadTransfer, ARadioThatAnswersTheGreetingButNotUChangesNoField) {
  test::enter(main, "ChannelNum", "50");
  test::enter(main, "Channel1StopNum", "5");  // below its start: the stop-channel rule warns
  app.dialogs.messages.clear();
  const auto before = fields();
  for (const bool silent : {false, true}) {
    app.radio.faults().wrongLetter = 'X';
    app.radio.faults().silent = silent;
    main.userClick("ReadData");
    EXPECT_TRUE(app.written().ends_with("PROG\rU")) << silent;
    EXPECT_EQ(status(), "设备未开启");
    EXPECT_EQ(fields(), before);
    EXPECT_TRUE(progress.positions.empty());
    userPause();
  }
  // The failure message, then the stop-channel checks that end every read.
  ASSERT_EQ(app.dialogs.messages.size(), 4u);
  EXPECT_EQ(app.dialogs.messages[0].text, "设备未开启！请检查电源及通讯口！");
  EXPECT_EQ(app.dialogs.messages[1].text, "终止信道号应大于起始信道号");
}

TEST_F(ReadTransfer, ShortAnswersLeaveTheirFieldsSkipTheirProgressAndFailTheRead) {
  main.userClick("WriteData");
  userPause();
  for (const auto& [field, value] : kChanged) record.set(field, value);
  // Twenty digits: every answer up to 0x00A-0x00C's six is complete; the bulk block, the groups
  // and labels, the talk-around, start-up, off-network and alarm answers are short.
  app.radio.faults().answerDigits = 20;
  progress.positions.clear();
  main.userClick("ReadData");
  for (const auto& [field, value] : kChanged) EXPECT_EQ(record.text(field), value) << field;
  EXPECT_EQ(progress.peak(), 40);
  EXPECT_EQ(status(), "读取失败！");
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_EQ(app.dialogs.messages[0].text, image::kReadFailedMessage);
  EXPECT_FALSE(dialog().isShowing());
}

// A bulk answer short of its 992 digits, or one small record short of its length, is a read that
// got part of the radio: it fails, and no backup is kept of it.
TEST(ReadCutShort, AnAnswerCutShortFailsTheReadAndKeepsNoBackup) {
  struct Cut {
    std::optional<std::size_t> bulkDigits;
    std::optional<int> shortRead;  // the n-th small read, from 1
  };
  // Cutting every answer at 991 digits leaves the small answers whole.
  const Cut cuts[] = {{1, {}}, {500, {}}, {991, {}}, {{}, 1}, {{}, 15}, {{}, 19}, {{}, 25}};
  for (const Cut& cut : cuts) {
    const std::string what = "bulk " + std::to_string(cut.bulkDigits.value_or(0)) + ", small " +
                             std::to_string(cut.shortRead.value_or(0));
    test::TestProgram app;
    const test::TempDir backups;
    app.state().backups = backups.path();
    app.clock.pause(1000);
    app.port.settle();
    app.dialogs.messages.clear();
    app.radio.faults().answerDigits = cut.bulkDigits;
    app.radio.faults().shortRead = cut.shortRead;
    app::TransferMemory memory;
    const app::ReadReport report = app::ReadDataClick(app.state(), memory);
    EXPECT_EQ(report.outcome, TransferOutcome::Failed) << what;
    EXPECT_FALSE(report.backup) << what;
    EXPECT_FALSE(memory.lastRead) << what;
    EXPECT_TRUE(std::filesystem::is_empty(backups.path())) << what;
    EXPECT_EQ(app.main().at("StatusBar").panels.at(2).text, "读取失败！") << what;
    ASSERT_FALSE(app.dialogs.messages.empty()) << what;
    EXPECT_EQ(app.dialogs.messages[0].text, image::kReadFailedMessage) << what;
    // The same radio answering whole is read and kept.
    app.radio.faults() = {};
    app.clock.pause(1000);
    app.port.settle();
    EXPECT_EQ(app::ReadDataClick(app.state(), memory).outcome, TransferOutcome::Done) << what;
    EXPECT_FALSE(std::filesystem::is_empty(backups.path())) << what;
  }
}

// A request that gets nothing at all fails the read; the line sees the same requests, and
// what did come is still shown.
TEST_F(ReadTransfer, ARequestLeftUnansweredFailsTheReadButChangesNothingOnTheLine) {
  for (const auto& [field, value] : kChanged) record.set(field, value);
  main.userClick("WriteData");
  userPause();
  record.set("FirstChannel", std::string("9"));
  record.set("系统告警号", std::string("9"));
  // The requests with the counts asked for; the Test tab's commands follow what came back.
  const auto counts = [](const std::string& text) {
    static const std::regex answered("read ([0-9]+) -> [0-9]+");
    static const std::regex testTab("> (VR|PN)[0-9]+<CR>\n");
    return std::regex_replace(std::regex_replace(text, testTab, ""), answered, "read $1");
  };
  const auto expectFailed = [&](const std::string& why) {
    EXPECT_EQ(status(), "读取失败！") << why;
    ASSERT_FALSE(app.dialogs.messages.empty()) << why;
    EXPECT_EQ(app.dialogs.messages[0].text,
              "读取失败！电台中途停止应答，窗口中的数据可能只有部分来自电台。");
    EXPECT_EQ(app.dialogs.messages[0].caption, "读写数据");
    EXPECT_EQ(app.dialogs.messages[0].icon, ui::MessageIcon::Error);
    EXPECT_FALSE(dialog().isShowing());
    EXPECT_FALSE(app.screen.busy);
  };

  // The fifth small read skipped: everything else still comes in.
  app.radio.faults().skippedRead = 5;
  app::TransferMemory memory;
  EXPECT_EQ(app::ReadDataClick(app.state(), memory).outcome, TransferOutcome::Failed);
  EXPECT_EQ(counts(test::lineText(app.port)), counts(kFullRead));
  EXPECT_NE(test::lineText(app.port).find("<91>READ02E201<CR>\nread 2 -> 0\n"), std::string::npos);
  expectFailed("skipped");
  EXPECT_EQ(record.text("FirstChannel"), "25");
  EXPECT_EQ(record.text("系统告警号"), "*12345678901");

  // The radio gone after ten small reads; the bulk block came.
  userPause();
  app.dialogs.messages.clear();
  app.radio.faults() = {};
  app.radio.faults().silentAfterReads = 10;
  EXPECT_EQ(app::ReadDataClick(app.state(), memory).outcome, TransferOutcome::Failed);
  EXPECT_EQ(counts(test::lineText(app.port)), counts(kFullRead));
  expectFailed("gone");

  // No bulk digits at all, and nothing else either.
  userPause();
  app.dialogs.messages.clear();
  app.radio.faults() = {};
  app.radio.faults().answerDigits = 0;
  EXPECT_EQ(app::ReadDataClick(app.state(), memory).outcome, TransferOutcome::Failed);
  expectFailed("no digits");
}

TEST_F(ReadTransfer, ACallBackAnswerThatIsNoNumberFailsTheReadSayingWhyWithTheDialogClosed) {
  app.radio.faults().garbageDigits = true;
  main.userClick("ReadData");
  EXPECT_TRUE(app.written().ends_with("READ000701\r"));
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_EQ(app.dialogs.messages[0].text,
            "读取失败！电台的应答不是十进制数字，读取已停止，窗口中的数据可能只有部分来自电台："
            "'ZZ' is not a valid integer value.");
  EXPECT_EQ(app.dialogs.messages[0].caption, app::kApplicationTitle);
  EXPECT_EQ(status(), "读取失败！");
  EXPECT_EQ(progress.peak(), 21);
  EXPECT_FALSE(dialog().isShowing());
  EXPECT_EQ(dialog().value("WriteProgressBar"), 0);
  EXPECT_FALSE(app.screen.busy);
}

// With the Test tab active: "Q" first; at the end the test channel is the first channel the
// radio holds, and the radio is back in its test state on it.
using ReadFromTheTestTab = testmode::TestTabFixture;

TEST_F(ReadFromTheTestTab, LeavesTheTestStateFirstAndReturnsOnTheFirstChannel) {
  app.radio.memory()[0x036] = 7;  // the first channel, a word at 0x035
  test::enter(main, "CurrentChannelNum", "40");
  userPause();
  app.port.clearEvents();
  main.userClick("ReadData");

  const std::string text = test::lineText(app.port);
  EXPECT_TRUE(text.starts_with("> Q\npp w 20 p > PROG<CR>\n")) << text;
  EXPECT_TRUE(
      text.ends_with("read 40 -> 40\n"
                     "800 pp w 30 p > PROG<CR>\n"
                     "read 18 -> 18\n"
                     "> T\n"
                     "p > CH7<CR>\n"))
      << text;
  EXPECT_EQ(main.text("CurrentChannelNum"), "7");
  EXPECT_EQ(main.text("CurrentRxFreq"), std::to_string(app.state().values.baseRxFreq));
  EXPECT_EQ(main.text("CurrentTxFreq"), std::to_string(app.state().values.baseTxFreq));
  app.port.settle();
  EXPECT_EQ(app.radio.state(), sim::VirtualRadio::State::Test);

  // Without "U" the radio still goes back to its test state.
  userPause();
  app.port.clearEvents();
  app.radio.faults().wrongLetter = 'X';
  main.userClick("ReadData");
  EXPECT_EQ(app.written(), "Q\x91PROG\rU\x91PROG\rTCH7\r");
}

}  // namespace
}  // namespace rcp::image
