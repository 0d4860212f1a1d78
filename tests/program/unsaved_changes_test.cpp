// Unsaved edits: what keeps the record, and what the exit asks before it ends the program.

#include "program/unsaved_changes.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_program.hpp"
#include "window/frame.hpp"

namespace rcp::app {
namespace {

namespace fs = std::filesystem;

struct UnsavedChanges : ::testing::Test {
  test::TestProgram app;
  ui::Form& main = app.main();
  settings::Record record = app.record();
  fs::path file = app.dir / "客户.ini";

  void SetUp() override { userPause(); }
  void userPause() {
    app.clock.pause(1000);
    app.port.settle();
    app.port.clearEvents();
  }
  bool changed() { return recordChanged(app.state()); }
  void edit(const char* regCode = "1234") { record.set("RegCode", std::string(regCode)); }
  void answerEveryQuestion(ui::MessageResult result) {
    app.dialogs.answer = [result](const ui::Message&) { return result; };
  }
  int questions() const {
    int n = 0;
    for (const auto& text : app.dialogs.texts()) n += text == kUnsavedQuestion;
    return n;
  }
};

TEST_F(UnsavedChanges, WithoutChangesTheExitAsksNothing) {
  EXPECT_FALSE(changed()) << "the record the program starts with is kept";
  main.userClick("OutProg");
  EXPECT_TRUE(app.dialogs.messages.empty());
  EXPECT_EQ(app.written(), "Q");
  EXPECT_EQ(app.screen.quits, 1);
}

TEST_F(UnsavedChanges, AnEditUndoneByHandIsNoChange) {
  const std::string before = record.text("RegCode");
  edit();
  EXPECT_TRUE(changed());
  record.set("RegCode", before);
  EXPECT_FALSE(changed());
}

TEST_F(UnsavedChanges, CancelStaysAndSendsNothingNoExitsWithQ) {
  edit();
  answerEveryQuestion(ui::MessageResult::Cancel);
  main.userClick("OutProg");
  main.userKeyDown('X', true);
  ASSERT_EQ(questions(), 2);
  const ui::Message& asked = app.dialogs.messages.back();
  EXPECT_EQ(asked.caption, kApplicationTitle);
  EXPECT_EQ(asked.buttons, ui::MessageButtons::YesNoCancel);
  EXPECT_EQ(app.written(), "") << "no Q while the program stays";
  EXPECT_EQ(app.screen.quits, 0);
  EXPECT_FALSE(mayExit(app.state())) << "the close box stays too";

  answerEveryQuestion(ui::MessageResult::No);
  main.userKeyDown('X', true);
  EXPECT_EQ(app.written(), "Q");
  EXPECT_EQ(app.screen.quits, 1);
  EXPECT_FALSE(fs::exists(file));
}

TEST_F(UnsavedChanges, YesSavesThroughTheSaveDialogAndExitsOnlyOnceSaved) {
  edit();
  answerEveryQuestion(ui::MessageResult::Yes);
  app.dialogs.fileAnswers = {std::nullopt, app.dir.path().string(), file.string()};

  main.userClick("OutProg");  // the save dialog cancelled
  EXPECT_EQ(app.screen.quits, 0);
  main.userClick("OutProg");  // a folder cannot be saved over: the failure shows, the program stays
  EXPECT_EQ(app.screen.quits, 0);
  EXPECT_EQ(app.dialogs.messages.back().icon, ui::MessageIcon::Error);
  EXPECT_EQ(app.written(), "");
  EXPECT_TRUE(changed());

  main.userClick("OutProg");
  EXPECT_TRUE(fs::exists(file));
  EXPECT_FALSE(changed());
  EXPECT_EQ(questions(), 3);
  EXPECT_EQ(app.written(), "Q");
  EXPECT_EQ(app.screen.quits, 1);
}

TEST_F(UnsavedChanges, OpenSaveReadAndWriteKeepTheRecord) {
  edit();
  app.dialogs.fileAnswers = {file.string()};
  main.userClick("SaveFile");
  EXPECT_FALSE(changed()) << "after a save";

  edit("4321");
  app.dialogs.fileAnswers = {file.string()};
  main.userClick("OpenFile");
  EXPECT_EQ(record.text("RegCode"), "1234");
  EXPECT_FALSE(changed()) << "after an open";

  edit("5555");
  main.userClick("WriteData");
  EXPECT_FALSE(changed()) << "after a write";
  userPause();

  edit("6666");
  main.userClick("ReadData");
  EXPECT_EQ(record.text("RegCode"), "5555");
  EXPECT_FALSE(changed()) << "after a read";

  main.userClick("OutProg");
  EXPECT_EQ(questions(), 0);
  EXPECT_EQ(app.screen.quits, 1);
}

TEST_F(UnsavedChanges, AFailedOpenOrReadKeepsTheChange) {
  edit();
  app.dialogs.fileAnswers = {(app.dir / "missing.ini").string()};
  main.userClick("OpenFile");
  EXPECT_TRUE(changed()) << "after an open that found no file";

  app.radio.faults().silent = true;
  main.userClick("ReadData");
  EXPECT_TRUE(changed()) << "after a read the radio did not answer";
  main.userClick("WriteData");
  EXPECT_TRUE(changed()) << "after a write the radio did not answer";
}

}  // namespace
}  // namespace rcp::app
