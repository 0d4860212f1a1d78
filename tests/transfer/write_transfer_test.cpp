// The write transfer on the virtual clock against the in-process virtual radio: the bytes it
// sends with the pauses between them, the progress dialog and the failure paths.

#include "transfer/write_transfer.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <sstream>
#include <string>
#include <variant>

#include "transfer/transfer_test_support.hpp"
#include "image/write_image.hpp"
#include "program/program.hpp"
#include "support/test_program.hpp"
#include "testmode/test_tab_fixture.hpp"

namespace rcp::image {
namespace {

// A full write of the start-up record (MPT1343, no Test tab) from the greeting to the last
// chunk; each small record on one line with what leads it.
const std::string kStartUpWrite =
    "pp w 30 p > PROG<CR>\n"
    "read 18 -> 18\n"
    "> T\n"
    "p read 1 -> 1\n"
    "> STANDARD0<CR>\n"
    "30 p > MODE0<CR>\n"
    "30 p > PN1<CR>\n"
    "> Q\n"
    "p 30 w 30 p > <91>WRITE02C203FFB0FC<CR>\n"
    "30 p > <91>WRITE000006000900010004<CR>\n"
    "30 p > <91>WRITE000A03000000<CR>\n"
    "p > <91>WRITE000E0100<CR>\n"
    "30 p > <91>WRITE00070100<CR>\n"
    "w 30 p > <91>WRITE01F90100<CR>\n"
    "w 30 p > <91>WRITE01FB0101<CR>\n"
    "w 50 p > <91>WRITE02C9062A3831383000<CR>\n"
    "30 w 30 p > <91>WRITE027010000202BD1B581BBA<CR>\n"
    "30 w 30 p > <91>WRITE01F30100<CR>\n"
    "w 30 p > <91>WRITE0210100832688888006DB20070D20832699999<CR>\n"
    "w 30 p > <91>WRITE02201056656C747261636F3437313230333835<CR>\n"
    "w 30 p > <91>WRITE023010000000000000000000000000000000<CR>\n"
    "w 30 p > <91>WRITE023F10000000000000000000000000000000<CR>\n"
    "w 30 p > <91>WRITE025010000000000000000000000000000000<CR>\n"
    "w 30 p > <91>WRITE025F10000000000000000000000000000000<CR>\n"
    "w 30 p > <91>WRITE01F20101<CR>\n"
    "w 30 p > <91>WRITE01F40100<CR>\n"
    "w 30 p > <91>WRITE01FA01FF<CR>\n"
    "30 p > <91>WRITE01FC0100<CR>\n"
    "30 p > <91>WRITE0278080A00000000000000<CR>\n"
    "w 30 p > <91>WRITE02800A32655009000000000000<CR>\n"
    "w 30 p > <91>WRITE028A0A00000000000000000000<CR>\n"
    "30 p > <91>WRITE02940A00000000000000000000<CR>\n"
    "30 p > <91>WRITE029E0A00000000000000000000<CR>\n"
    "30 p > <91>WRITE02A80C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE02B40C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03100C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE031C0C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03280C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03340C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03400C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE034C0C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03580C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03640C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03700C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE037C0C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03880C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03940C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03A00C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03AC0C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03B80C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03C40C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03D00C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03DC0C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03E80C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE03F40C000000000000000000000000<CR>\n"
    "30 p > <91>WRITE02C0020000<CR>\n"
    "> Q\n"
    "50 p w pp 50 p > PROG<CR>\n"
    "read 18 -> 18\n"
    "> D\n"
    "p read 1 -> 1\n"
    "(61 chunks acknowledged)\n";

// The line text without the data of the WRITE commands: what leads each command, in order.
std::string withoutData(const std::string& text) {
  static const std::regex data(R"((WRITE[0-9A-F]{6})[0-9A-F]*<CR>)");
  return std::regex_replace(text, data, "$1…<CR>");
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  if (at == std::string::npos) return "(" + from + " not found)";
  return text.replace(at, from.size(), to);
}

// What a complete write leaves in a blank radio: the record encoded as the write encodes it,
// after the identification of the radio's model.
void expectRadioHolds(test::TestProgram& app) {
  auto encoded = encodeWrite(app.state(), {});
  ASSERT_TRUE(std::holds_alternative<WriteImage>(encoded));
  WriteImage& image = std::get<WriteImage>(encoded);
  reencodeAfterIdentification(app.state(), image);
  app.port.settle();
  EXPECT_EQ(app.radio.memory(), image.memory.data());
}

struct WriteTransfer : ::testing::Test {
  test::TestProgram app;
  ui::Form& main = app.main();
  settings::Record record = app.record();
  test::ProgressWatch progress{app.state()};

  void SetUp() override { userPause(); }
  // The radio's answers to what the program sent before are in; the line's record is empty.
  void userPause() {
    app.clock.pause(1000);
    app.port.settle();
    app.port.clearEvents();
  }
  std::string status() const { return main.at("StatusBar").panels.at(2).text; }
  const ui::Form& dialog() { return *app.state().writeData; }
};

TEST_F(WriteTransfer, AFullWriteSendsEverythingInOrderWithItsPausesAndAdvancesTheBarBy100) {
  const auto started = std::chrono::steady_clock::now();
  const auto startedMs = app.clock.nowMs();
  main.userClick("WriteData");
  EXPECT_LT(std::chrono::steady_clock::now() - started, test::kTransferRealTime);
  EXPECT_GT(app.clock.nowMs() - startedMs, test::kTransferRealTime.count()) << "the line's time";

  EXPECT_EQ(test::lineText(app.port), kStartUpWrite);
  // The last chunk's acknowledgement, then 30 ms before the status and 800 ms after the dialog.
  EXPECT_EQ(app.clock.nowMs() - app.port.events().back().endMs, 830);
  EXPECT_EQ(progress.positions.front(), 1);
  EXPECT_EQ(progress.peak(), 100);
  EXPECT_EQ(progress.positions.back(), 100);
  EXPECT_FALSE(dialog().isShowing());
  EXPECT_EQ(dialog().value("WriteProgressBar"), 0);
  EXPECT_EQ(dialog().at("WriteLabel").caption, "写录完毕!");
  EXPECT_EQ(status(), "写录完毕!");
  EXPECT_FALSE(app.screen.busy);
  EXPECT_TRUE(app.dialogs.messages.empty());
  EXPECT_EQ(app.radio.bulkWrites(), 1);
  expectRadioHolds(app);
}

TEST_F(WriteTransfer, TheModeCommandsFollowSignallingDiallingAndScrambling) {
  record.set("DiallingScheme", std::string("CPSX"));
  record.set("SingalCode", std::string("Enhanced"));
  record.set("语音加密", std::string("语音加密开"));
  main.userClick("WriteData");

  std::string expected = replaced(withoutData(kStartUpWrite), "STANDARD0", "STANDARD1");
  expected = replaced(expected, "MODE0", "MODE1");
  EXPECT_EQ(withoutData(test::lineText(app.port)), replaced(expected, "PN1", "PN0"));
  expectRadioHolds(app);
}

TEST_F(WriteTransfer, TheAlarmNumberGoesOutInOneCommandUpToTenCharactersAndInTwoAbove) {
  const auto alarmLines = [&] {
    std::istringstream text(test::lineText(app.port));
    std::string lines;
    for (std::string line; std::getline(text, line);)
      if (line.find("WRITE02C9") != std::string::npos ||
          line.find("WRITE02D3") != std::string::npos)
        lines += line + '\n';
    return lines;
  };
  record.set("系统告警号", std::string("0123456789"));
  main.userClick("WriteData");
  EXPECT_EQ(alarmLines(), "w 50 p > <91>WRITE02C90B3031323334353637383900<CR>\n");

  userPause();
  record.set("系统告警号", std::string("01234567890"));
  main.userClick("WriteData");
  EXPECT_EQ(alarmLines(),
            "w 50 p > <91>WRITE02C90A30313233343536373839<CR>\n"
            "w 50 p > <91>WRITE02D3023000<CR>\n");
}

TEST_F(WriteTransfer, ARadioThatDoesNotAnswerTReceivesNothingMoreAndNoDialogShows) {
  for (const bool silent : {false, true}) {
    app.radio.faults().wrongLetter = 'X';
    app.radio.faults().silent = silent;
    app.dialogs.messages.clear();
    main.userClick("WriteData");
    EXPECT_TRUE(app.written().ends_with("PROG\rT")) << silent;
    EXPECT_EQ(status(), "设备未开启");
    ASSERT_EQ(app.dialogs.messages.size(), 1u);
    EXPECT_EQ(app.dialogs.messages[0].text, "设备未开启！请检查电源及通讯口！");
    EXPECT_EQ(app.dialogs.messages[0].caption, "系统信息");
    EXPECT_EQ(app.dialogs.messages[0].icon, ui::MessageIcon::Error);
    EXPECT_TRUE(progress.positions.empty());
    EXPECT_FALSE(dialog().isShowing());
    userPause();
  }
}

TEST_F(WriteTransfer, AChunkWithoutItsAcknowledgementEndsTheBulkBlock) {
  app.radio.faults().ackChunks = 11;
  bool doneShown = false;
  app.state().writeData->addObserver([&](const ui::Control* c, ui::Property) {
    if (c && c->name == "WriteLabel" && c->caption == "写录完毕!") doneShown = true;
  });
  main.userClick("WriteData");

  const std::string text = test::lineText(app.port);
  EXPECT_TRUE(
      text.ends_with("(11 chunks acknowledged)\n"
                     "> 0000000000000000\n"
                     "p 30 read 1 -> 0\n"))
      << text;
  EXPECT_EQ(app.clock.nowMs() - app.port.events().back().endMs, 830);
  app.port.settle();
  int chunks = 0;
  for (const auto& h : app.radio.handled()) chunks += h.text.starts_with("chunk ");
  EXPECT_EQ(chunks, 12);
  EXPECT_EQ(progress.peak(), 50);
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  // The failure says what it leaves behind; with no read this run there is no backup to offer.
  EXPECT_EQ(app.dialogs.messages[0].text, "写录失败！电台中现在可能只有部分配置。");
  EXPECT_TRUE(app.dialogs.messages[0].detail.starts_with("本次运行没有读取过电台"));
  EXPECT_EQ(app.dialogs.messages[0].caption, "读写数据");
  EXPECT_EQ(app.dialogs.messages[0].icon, ui::MessageIcon::Error);
  EXPECT_EQ(status(), "写录失败！");
  EXPECT_FALSE(doneShown);
  EXPECT_FALSE(dialog().isShowing());
  EXPECT_EQ(dialog().value("WriteProgressBar"), 0);
  EXPECT_FALSE(app.screen.busy);
}

TEST_F(WriteTransfer, ADigitFieldHoldingOtherCharactersStopsTheWriteBeforeTheGreeting) {
  main.setText("MPT1343_Indivol", "32620O1201");
  main.userClick("WriteData");
  EXPECT_EQ(app.written(), "");
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_EQ(app.dialogs.messages[0].text, "个呼号应为数字！");
  EXPECT_EQ(app.dialogs.messages[0].caption, "读写数据");
  EXPECT_TRUE(progress.positions.empty());
}

// "20198" has no ident; "20199" would be ident 0, which the radio gives back as no limit.
TEST_F(WriteTransfer, ACpsxRangeLimitTheRadioCannotHoldStopsTheWriteBeforeTheGreeting) {
  main.userClick("CPSX");
  for (const auto& [limit, message] : std::vector<std::pair<std::string, std::string>>{
           {"20198", "个呼范围 “20198” 不在当前编号方案的任何号段内，电台无法存储，不能写入。"},
           {"20199", "个呼范围 “20199” 写入电台后将读回为空，不能写入。"}}) {
    app.dialogs.messages.clear();
    main.setText("indivolstart", limit);
    main.userClick("WriteData");
    EXPECT_EQ(app.written(), "") << limit;
    ASSERT_EQ(app.dialogs.messages.size(), 1u) << limit;
    EXPECT_EQ(app.dialogs.messages[0].text, message);
    EXPECT_EQ(app.dialogs.messages[0].caption, "读写数据");
  }
  EXPECT_TRUE(progress.positions.empty());
}

// With the Test tab active: the radio leaves its test state first, gets the baud rate and radio
// type with the small records, and is put back on the test channel at the end.
using WriteFromTheTestTab = testmode::TestTabFixture;

TEST_F(WriteFromTheTestTab, LeavesTheTestStateFirstAndReturnsToItAtTheEnd) {
  main.setChecked("baudrate2", true);
  main.setChecked("Type2", true);
  test::enter(main, "CurrentChannelNum", "17");
  userPause();
  app.port.clearEvents();
  main.userClick("WriteData");

  std::string expected = "> Q\n" + kStartUpWrite +
                         "830 pp w 30 p > <91>PROG<CR>\n"
                         "read 18 -> 18\n"
                         "> T\n"
                         "p > CH17<CR>\n";
  expected = replaced(expected, "WRITE02C9062A3831383000<CR>\n",
                      "WRITE02C9062A3831383000<CR>\n"
                      "w 30 p > <91>WRITE01F80101<CR>\n"
                      "w 30 p > <91>WRITE01F70102<CR>\n");
  EXPECT_EQ(test::lineText(app.port), expected);
  app.port.settle();
  EXPECT_EQ(app.radio.state(), sim::VirtualRadio::State::Test);

  // A field that cannot be stored: the write's check stops it before anything goes out, and
  // the radio stays in its test state.
  userPause();
  app.port.clearEvents();
  main.setText("MPT1343_Indivol", "3262-01201");
  main.userClick("WriteData");
  EXPECT_EQ(app.written(), "");
}

}  // namespace
}  // namespace rcp::image
