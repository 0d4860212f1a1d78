// The command-line tool's dialogs and screen: lines on a stream, the progress dialog as a
// progress line.

#include "cli/terminal_services.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "ui/layouts/layouts.hpp"

namespace rcp::app {
namespace {

struct TerminalServices : ::testing::Test {
  std::ostringstream out;
  ui::Form progress{ui::layouts::writeDataForm()};
  ui::Form warning{ui::layouts::error1Form()};

  void drive(bool terminal) {
    TerminalLines lines(out, terminal);
    TerminalDialogs dialogs(lines);
    TerminalScreen screen(lines);
    screen.formCreated(progress);
    screen.repaint(progress);  // not shown yet: nothing
    progress.show();
    progress.setCaption("WriteLabel", "正在读取数据，请稍候...");
    for (const int position : {3, 3, 50, 100}) {
      progress.setValue("WriteProgressBar", position);
      screen.repaint(progress);
    }
    dialogs.message({"写录失败！", "读写数据"});
    progress.setValue("WriteProgressBar", 100);
    screen.repaint(progress);
    progress.close();
    warning.setCaption("WarnLab1", "最大值为");
    warning.setCaption("WarnLab2", "1024");
    dialogs.showModal(warning);
  }
};

TEST_F(TerminalServices, OnATerminalTheProgressDialogIsALineRedrawnInPlace) {
  drive(true);
  const std::string bar = "\r\x1b[K正在读取数据，请稍候... [";
  EXPECT_EQ(out.str(), bar + std::string(30, ' ') + "] 3%" +                              //
                           bar + std::string(15, '#') + std::string(15, ' ') + "] 50%" +  //
                           bar + std::string(30, '#') + "] 100%\n" +                      //
                           "写录失败！\n" +                                               //
                           bar + std::string(30, '#') + "] 100%\n" +                      //
                           "警告: 最大值为 1024\n");
  EXPECT_FALSE(warning.isShowing());
}

TEST_F(TerminalServices, ElsewhereOnlyTheMessagesAndWindowsAreWritten) {
  drive(false);
  EXPECT_EQ(out.str(), "写录失败！\n警告: 最大值为 1024\n");
}

TEST_F(TerminalServices, ControlCharactersInAMessageAreShownNotSent) {
  TerminalLines lines(out, false);
  TerminalDialogs dialogs(lines);
  dialogs.message({std::string("文件“a\0b\x1b[2J\r\x7F\xC2\x9B”", 23), "系统信息"});
  EXPECT_EQ(out.str(), "文件“a\\x00b\\x1B[2J\\x0D\\x7F\\x9B”\n");
}

TEST_F(TerminalServices, AMessagesDetailIsItsSecondLine) {
  TerminalLines lines(out, false);
  TerminalDialogs dialogs(lines);
  ui::Message box{"通讯口被占用", "打开串口错误"};
  box.detail = "/dev/ttyUSB0 正被另一个程序占用：evil\x1b（进程号 7）。";
  dialogs.message(box);
  EXPECT_EQ(out.str(), "通讯口被占用\n/dev/ttyUSB0 正被另一个程序占用：evil\\x1B（进程号 7）。\n");
}

// Nobody is there to answer: a question is taken as its first button, as Enter would take it.
TEST_F(TerminalServices, AQuestionIsAnsweredWithItsFirstButton) {
  TerminalLines lines(out, false);
  TerminalDialogs dialogs(lines);
  EXPECT_EQ(dialogs.message(
                {"写回备份?", "读写数据", ui::MessageIcon::Warning, ui::MessageButtons::YesNo}),
            ui::MessageResult::Yes);
  EXPECT_EQ(dialogs.message(
                {"确定?", "读写数据", ui::MessageIcon::Warning, ui::MessageButtons::OkCancel}),
            ui::MessageResult::Ok);
  EXPECT_EQ(out.str(), "写回备份?\n确定?\n");
}

}  // namespace
}  // namespace rcp::app
