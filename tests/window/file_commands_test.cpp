#include "window/file_commands.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "link/cp936.hpp"
#include "link/path_text.hpp"
#include "program/data_file_opening.hpp"
#include "support/test_program.hpp"
#include "window/bind.hpp"

namespace rcp::app {
namespace {

namespace fs = std::filesystem;

// Fake dialogs that also keep what each file dialog was asked to show.
struct RequestRecordingDialogs : test::FakeDialogs {
  std::vector<ui::FileDialogRequest> opens;
  std::vector<ui::FileDialogRequest> saves;
  std::optional<std::string> openFile(const ui::FileDialogRequest& r) override {
    opens.push_back(r);
    return FakeDialogs::openFile(r);
  }
  std::optional<std::string> saveFile(const ui::FileDialogRequest& r) override {
    saves.push_back(r);
    return FakeDialogs::saveFile(r);
  }
};

struct FileCommandsTest : ::testing::Test {
  test::TempDir dir;
  RequestRecordingDialogs dialogs;
  test::FakeScreen screen;
  link::VirtualClock clock;
  sim::VirtualRadio radio{*sim::identityOfModel("HX33")};
  sim::SimulatedPort port{radio, clock};
  Program program{Services{port, clock, dialogs, screen, dir / "Com.ini"}};
  ui::Form* main = nullptr;
  fs::path file = dir / "客户.ini";

  void SetUp() override {
    app::startWithWindow(program);
    main = &program.mainForm();
    dialogs.messages.clear();
  }
  std::string status() { return main->at("StatusBar").panels.at(2).text; }
  void answer(std::optional<fs::path> name) {
    dialogs.fileAnswers.push_back(name ? std::optional(link::textOf(*name)) : std::nullopt);
  }
  void spit(const std::string& utf8) {
    std::ofstream(file, std::ios::binary) << link::encodeCp936(utf8);
  }
  // Makes the stop-channel rule of the first segment warn whenever it runs.
  void provokeStopChannelWarning() { main->setText("Channel1StopNum", "2000"); }
};

TEST_F(FileCommandsTest, BothDialogsOfferDataFilesFromTheHomeFolder) {
  const ui::FileDialogRequest r = dataFileRequest("");
  EXPECT_EQ(r.filter, "数据文件（*.ini）|*.ini");
  EXPECT_EQ(r.defaultExtension, "ini");
#ifdef _WIN32
  EXPECT_EQ(r.initialFolder, std::getenv("USERPROFILE"));
#else
  EXPECT_EQ(r.initialFolder, std::getenv("HOME"));
#endif
}

TEST_F(FileCommandsTest, SavingShowsItsStatusAndWritesTheChosenFile) {
  answer(std::nullopt);
  main->userClick("SaveFile");
  EXPECT_EQ(status(), "存储数据");
  EXPECT_FALSE(fs::exists(file)) << "a cancel writes nothing";

  answer(file);
  main->userKeyDown('S', true);
  EXPECT_TRUE(fs::exists(file));
  ASSERT_EQ(dialogs.saves.size(), 2u);
  EXPECT_EQ(dialogs.saves[0].initialName, "");
  EXPECT_EQ(dialogs.saves[1].initialName, "") << "the cancel chose nothing";

  answer(std::nullopt);
  main->userClick("SaveFile");
  EXPECT_EQ(dialogs.saves[2].initialName, file.string()) << "later uses start with the last name";
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FileCommandsTest, AValueStillBeingTypedIsFinishedBeforeTheShortcutsSaveOrWrite) {
  main->userFocus("TA");
  main->userType("TA", "200");
  answer(file);
  main->userKeyDown('S', true);
  std::ifstream in(file, std::ios::binary);
  const std::string saved{std::istreambuf_iterator<char>(in), {}};
  EXPECT_NE(saved.find("\r\nTA=120\r\n"), std::string::npos);
  EXPECT_EQ(main->text("TA"), "120");
  EXPECT_EQ(main->focused(), "TA") << "the shortcut leaves the focus where it was";

  main->userFocus("NT");
  main->userType("NT", "0");
  main->userKeyDown('W', true);
  port.settle();
  EXPECT_EQ(radio.memory()[0x0CF], 120);  // TA
  EXPECT_EQ(radio.memory()[0x0CD], 1);    // NT
  EXPECT_EQ(main->text("NT"), "1");
}

TEST_F(FileCommandsTest, AFailedSaveShowsTheStandardErrorBox) {
  answer(dir / "no-folder" / "x.ini");
  main->userClick("SaveFile");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            "Unable to write to " + (dir / "no-folder" / "x.ini").string() + ".");
  EXPECT_EQ(dialogs.messages[0].caption, kApplicationTitle);
  EXPECT_EQ(dialogs.messages[0].icon, ui::MessageIcon::Error);
}

TEST_F(FileCommandsTest, OpeningShowsItsStatusAndChecksTheStopChannelsEvenAfterACancel) {
  provokeStopChannelWarning();
  answer(std::nullopt);
  main->userKeyDown('O', true);
  EXPECT_EQ(status(), "打开已有数据");
  ASSERT_EQ(dialogs.opens.size(), 1u);
  EXPECT_EQ(dialogs.opens[0].initialName, (dir / "Com.ini").string());
  EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"最大值为1024!"});

  spit("[File0]\r\nFirstStop=300\r\nSecondStop=700\r\n");
  answer(file);
  main->userClick("OpenFile");
  EXPECT_EQ(program.state().values.highestChannel, 700) << "the checks follow the open";
  answer(std::nullopt);
  main->userClick("OpenFile");
  EXPECT_EQ(dialogs.opens[2].initialName, file.string());
}

TEST_F(FileCommandsTest, ANameThatIsNoDataFileIsReportedAndTheChecksStillRun) {
  provokeStopChannelWarning();
  answer(dir / "Com.ini");  // has no section File0
  std::ofstream(dir / "Com.ini") << "[ComStatus]\r\nComport=COM2\r\n";
  main->userClick("OpenFile");
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].text, "文件“" + (dir / "Com.ini").string() + "”不是数据文件！");
  EXPECT_EQ(dialogs.messages[0].caption, "系统信息");
  EXPECT_EQ(dialogs.messages[1].text, "最大值为1024!");
  EXPECT_EQ(main->text("Channel1StopNum"), "2000") << "nothing was opened";

  answer(dir / "missing.ini");
  main->userClick("OpenFile");
  EXPECT_EQ(dialogs.messages[2].text, "文件“" + (dir / "missing.ini").string() + "”不存在！");
}

TEST_F(FileCommandsTest, AValueThatIsNoNumberEndsTheOpenWithoutChecks) {
  provokeStopChannelWarning();
  spit("[File0]\r\nFirstStop=300\r\nTA=abc\r\n");
  answer(file);
  main->userClick("OpenFile");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "'abc' is not a valid integer value.");
  EXPECT_EQ(dialogs.messages[0].caption, kApplicationTitle);
  EXPECT_EQ(dialogs.messages[0].icon, ui::MessageIcon::Error);
  EXPECT_EQ(main->text("Channel1StopNum"), "2000");

  // Without a dialog the same: the failure comes back as a value.
  const auto error = openDataFileAndCheck(program.state(), file);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, settings::DataFileError::Kind::NotANumber);
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

}  // namespace
}  // namespace rcp::app
