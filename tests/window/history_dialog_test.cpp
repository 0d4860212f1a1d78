// The history dialog through its form, on a whole program with a virtual radio: the listing and
// its filters, a radio's timeline, opening an event as a data file opens, comparing, writing an
// event back through the window's safe write, and a history that cannot be opened.

#include "window/history_dialog.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "history/history_database.hpp"
#include "link/com_ini.hpp"
#include "support/test_program.hpp"
#include "ui/layout.hpp"
#include "window/frame.hpp"

namespace rcp::app {
namespace {

namespace fs = std::filesystem;
using history::Event;
using history::Operation;
using history::Result;

constexpr const char* kGrid = "HistoryEvents";

std::string dataFile(const std::string& number, int ta) {
  return "[File0]\r\nIndivol=" + number + "\r\nTA=" + std::to_string(ta) + "\r\n";
}

// An event as a transfer would record it, `day` days into December 2026 at noon.
Event sample(int day, Operation operation, Result result, const std::string& model,
             const std::string& number, std::string data = {}) {
  Event e;
  e.time = "2026-12-" + std::string(day < 10 ? "0" : "") + std::to_string(day) + " 12:00:00";
  e.unixTime = *history::parseLocalTime(e.time, false);
  e.user = "tech";
  e.device = "/dev/serial/by-id/usb-FTDI-if00";
  e.model = model;
  e.numberBefore = e.numberAfter = number;
  e.operation = operation;
  e.result = result;
  e.dataFile = std::move(data);
  return e;
}

// The program with a history of its own, and the history dialog shown by Alt+H; `inside` runs
// while it shows.
struct HistoryProgram {
  test::TestProgram app;
  HistoryProgram() { app.state().history = app.dir / "state" / "history.sqlite"; }

  std::vector<std::int64_t> record(std::vector<Event> events) {
    history::HistoryDatabase database(app.state().history);
    std::vector<std::int64_t> ids;
    for (Event& e : events) {
      database.record(e);
      ids.push_back(e.id);
    }
    return ids;
  }
  ui::Form& dialog() { return *app.state().historyDialog; }
  void withDialog(const std::function<void(ui::Form&)>& inside) {
    app.dialogs.onModal = [&](ui::Form& form) {
      if (&form == &dialog()) inside(form);
    };
    app.main().userKeyDown('H', true);
    app.dialogs.onModal = nullptr;
  }
  std::vector<std::string> column(std::size_t index) {
    std::vector<std::string> cells;
    for (const std::string& row : dialog().at(kGrid).items)
      cells.push_back(ui::gridCells(row).at(index));
    return cells;
  }
  // Chooses the rows whose 编号 are these ids.
  void select(const std::vector<std::int64_t>& ids) {
    std::vector<std::size_t> rows;
    for (const std::int64_t id : ids) {
      const auto& items = dialog().at(kGrid).items;
      for (std::size_t r = 0; r < items.size(); ++r)
        if (ui::gridCells(items[r]).front() == "#" + std::to_string(id)) rows.push_back(r);
    }
    ASSERT_EQ(rows.size(), ids.size());
    dialog().userSelectRows(kGrid, rows);
  }
  std::string hint() { return dialog().at("HistoryHint").caption; }
};

TEST(HistoryDialog, ListsEventsNewestFirstAndEachFilterNarrowsThem) {
  HistoryProgram p;
  const auto ids = p.record({
      sample(1, Operation::Read, Result::Done, "HX33", "3262001201", dataFile("3262001201", 50)),
      sample(2, Operation::Write, Result::Verified, "HX33", "3262001201"),
      sample(3, Operation::Write, Result::Failed, "HX77", "3262001202"),
      sample(4, Operation::FleetRadio, Result::Done, "HX77", "3262001203"),
  });
  struct Case {
    const char* control;
    std::string text;
    std::vector<std::int64_t> listed;  // newest first
  };
  const std::vector<Case> cases = {
      {"", "", {ids[3], ids[2], ids[1], ids[0]}},
      {"HistoryNumber", "3262001201", {ids[1], ids[0]}},
      {"HistoryNumber", " 3262001202 ", {ids[2]}},
      {"HistoryModel", "HX77", {ids[3], ids[2]}},
      {"HistoryResult", "失败", {ids[2]}},
      {"HistoryResult", "校验正确", {ids[1]}},
      {"HistorySince", "2026-12-03", {ids[3], ids[2]}},
      {"HistoryUntil", "2026-12-02", {ids[1], ids[0]}},
      {"HistoryUntil", "2026-12-02 11:00", {ids[0]}},
  };
  p.withDialog([&](ui::Form& form) {
    EXPECT_EQ(form.at(kGrid).caption,
              ui::gridRow({"编号", "时间", "操作", "型号", "个人号", "结果", "设备", "用户"}));
    EXPECT_EQ(ui::gridCells(form.at(kGrid).items.at(0)),
              (std::vector<std::string>{"#" + std::to_string(ids[3]), "2026-12-04 12:00:00",
                                        "批量写频", "HX77", "3262001203", "完成",
                                        "/dev/serial/by-id/usb-FTDI-if00", "tech"}));
    EXPECT_EQ(form.at("HistoryModel").items.front(), "不限");
    EXPECT_NE(std::find(form.at("HistoryModel").items.begin(), form.at("HistoryModel").items.end(),
                        "HX34"),
              form.at("HistoryModel").items.end());
    for (const Case& c : cases) {
      for (const char* control : {"HistoryNumber", "HistorySince", "HistoryUntil"})
        form.setText(control, "");
      form.setText("HistoryModel", "不限");
      form.setText("HistoryResult", "不限");
      if (*c.control) form.setText(c.control, c.text);
      form.userClick("HistoryQuery");
      std::vector<std::string> expected;
      for (const auto id : c.listed) expected.push_back("#" + std::to_string(id));
      EXPECT_EQ(p.column(0), expected) << c.control << " " << c.text;
      EXPECT_EQ(p.hint(), "共 " + std::to_string(c.listed.size()) + " 条记录。");
    }
    // A date not understood is said, and the rows stay as they were.
    form.setText("HistorySince", "12/09");
    form.userClick("HistoryQuery");
    EXPECT_EQ(p.hint(), "“从”的日期“12/09”无法识别：请写成 2026-12-09 或 2026-12-09 14:30。");
    EXPECT_EQ(form.at(kGrid).items.size(), 1u) << "the last listing's";
  });
  EXPECT_TRUE(p.app.dialogs.messages.empty());
}

TEST(HistoryDialog, ARadiosTimelineListsItsNumberOnlyWithTheOtherFiltersCleared) {
  HistoryProgram p;
  const auto ids = p.record({
      sample(1, Operation::Read, Result::Done, "HX33", "3262001201"),
      sample(2, Operation::Write, Result::Done, "HX33", "3262001202"),
      sample(3, Operation::Verify, Result::VerifyFailed, "HX33", "3262001201"),
      sample(4, Operation::Write, Result::Failed, "HX33", "3262001202"),
  });
  p.withDialog([&](ui::Form& form) {
    for (const char* button :
         {"HistoryTimeline", "HistoryOpen", "HistoryRestore", "HistoryCompareButton"})
      EXPECT_FALSE(form.at(button).enabled) << button << " with nothing chosen";
    form.setText("HistoryResult", "校验失败");
    form.userClick("HistoryQuery");
    ASSERT_EQ(p.column(0), std::vector<std::string>{"#" + std::to_string(ids[2])});
    p.select({ids[2]});
    EXPECT_TRUE(form.at("HistoryTimeline").enabled);
    form.userKeyDown('T', true);
    EXPECT_EQ(p.column(0), (std::vector<std::string>{"#" + std::to_string(ids[2]),
                                                     "#" + std::to_string(ids[0])}));
    EXPECT_EQ(form.text("HistoryNumber"), "3262001201");
    EXPECT_EQ(form.text("HistoryResult"), "不限");
    EXPECT_EQ(p.hint(), "个人号 3262001201 的时间线：共 2 条记录。");
    // A double-click on a row is the same choice.
    form.setText("HistoryNumber", "");
    form.userClick("HistoryQuery");
    p.select({ids[3]});
    form.userDblClick(kGrid);
    EXPECT_EQ(p.column(4), (std::vector<std::string>{"3262001202", "3262001202"}));
  });
}

TEST(HistoryDialog, TwoRowsAtMostAreChosenAndNewRowsClearTheChoice) {
  HistoryProgram p;
  p.record({sample(1, Operation::Read, Result::Done, "HX33", "1"),
            sample(2, Operation::Read, Result::Done, "HX33", "2"),
            sample(3, Operation::Read, Result::Done, "HX33", "3")});
  p.withDialog([&](ui::Form& form) {
    form.userSelectRows(kGrid, {0, 1, 2});
    EXPECT_EQ(ui::selectedRows(form.at(kGrid)), (std::vector<std::size_t>{1, 2}))
        << "the last two chosen";
    EXPECT_FALSE(form.at("HistoryOpen").enabled);
    EXPECT_TRUE(form.at("HistoryCompareButton").enabled);
    form.userClick("HistoryQuery");
    EXPECT_TRUE(ui::selectedRows(form.at(kGrid)).empty());
    EXPECT_FALSE(form.at("HistoryCompareButton").enabled);
  });
}

TEST(HistoryDialog, CompareShowsTheDiffCommandsLinesForTwoEventsOrOneAndTheWindow) {
  HistoryProgram p;
  const auto ids = p.record({
      sample(1, Operation::Read, Result::Done, "HX33", "3262001201", dataFile("3262001201", 50)),
      sample(2, Operation::Write, Result::Done, "HX33", "3262001201", dataFile("3262001201", 90)),
  });
  p.withDialog([&](ui::Form& form) {
    p.select({ids[1], ids[0]});
    form.userKeyDown('C', true);
    const std::string text = form.text("HistoryCompare");
    EXPECT_NE(text.find("TA：A “50”，B “90”"), std::string::npos) << text;
    EXPECT_NE(text.find("共 1 项不同（A：历史记录 #" + std::to_string(ids[0]) +
                        "（2026-12-01 12:00:00 读取），B：历史记录 #" + std::to_string(ids[1]) +
                        "（2026-12-02 12:00:00 写入））。"),
              std::string::npos)
        << text;
    EXPECT_EQ(p.hint(), "共 1 项不同，见下方的比较结果。");
    // One event against the window: the window's start values differ from the event's (60).
    p.select({ids[1]});
    form.userClick("HistoryCompareButton");
    const std::string withWindow = form.text("HistoryCompare");
    EXPECT_NE(withWindow.find("B：窗口中的配置"), std::string::npos) << withWindow;
    EXPECT_NE(withWindow.find("TA：A “90”，B “60”"), std::string::npos) << withWindow;
  });
  EXPECT_TRUE(p.app.dialogs.messages.empty());
}

TEST(HistoryDialog, OpenAsksAboutUnsavedEditsFirstThenOpensTheEventAsADataFileOpens) {
  struct Case {
    ui::MessageResult answer;
    bool opened;
  };
  for (const Case c : {Case{ui::MessageResult::No, true}, Case{ui::MessageResult::Cancel, false}}) {
    HistoryProgram p;
    const auto ids = p.record({sample(1, Operation::Read, Result::Done, "HX33", "3262001207",
                                      dataFile("3262001207", 70))});
    p.app.main().userType("TA", "30");
    p.app.main().userExit("TA");
    p.app.dialogs.answer = [&](const ui::Message&) { return c.answer; };
    bool stillShowing = false;
    p.withDialog([&](ui::Form& form) {
      p.select({ids[0]});
      form.userKeyDown('O', true);
      stillShowing = form.isShowing();
    });
    ASSERT_FALSE(p.app.dialogs.messages.empty());
    EXPECT_EQ(p.app.dialogs.messages.front().text, kUnsavedQuestion);
    EXPECT_EQ(stillShowing, !c.opened) << "the dialog closes for the open";
    EXPECT_EQ(p.app.record().text("Indivol"), c.opened ? "3262001207" : "3262001201");
    EXPECT_EQ(p.app.main().text("TA"), c.opened ? "70" : "30");
  }
}

TEST(HistoryDialog, AnEventWithoutConfigurationOrAConfigurationThatDoesNotOpenIsSaid) {
  HistoryProgram p;
  const auto ids = p.record({
      sample(1, Operation::Read, Result::Failed, "HX33", ""),
      sample(2, Operation::Read, Result::Done, "HX33", "3262001201", "[File0]\r\nTA=abc\r\n"),
  });
  p.withDialog([&](ui::Form& form) {
    p.select({ids[0]});
    form.userClick("HistoryOpen");
    EXPECT_TRUE(form.isShowing());
    p.select({ids[1]});
    form.userClick("HistoryOpen");
  });
  ASSERT_EQ(p.app.dialogs.messages.size(), 2u);
  EXPECT_EQ(p.app.dialogs.messages[0].text,
            "历史记录 #" + std::to_string(ids[0]) +
                "（2026-12-01 12:00:00 读取）没有保存配置（结果：失败）。");
  EXPECT_NE(p.app.dialogs.messages[1].text.find("abc"), std::string::npos)
      << p.app.dialogs.messages[1].text;
}

TEST(HistoryDialog, WriteBackRestoresTheReadByteForByteAndTheNextWriteIsAnOrdinaryOne) {
  HistoryProgram p;
  p.app.state().backups = p.app.dir / "backups";
  // The radio as it comes in, read into the window (an event with the read's memory).
  p.app.main().userClick("ReadData");
  const auto asFound = p.app.radio.memory();
  // A write of another number and TA.
  p.app.main().userType("TA", "90");
  p.app.main().userExit("TA");
  p.app.main().userClick("WriteData");
  ASSERT_NE(p.app.radio.memory(), asFound);
  p.withDialog([&](ui::Form& form) {
    form.setText("HistoryResult", "完成");
    form.setText("HistoryNumber", "");
    form.userClick("HistoryQuery");
    const auto& items = form.at(kGrid).items;
    ASSERT_EQ(items.size(), 2u);
    ASSERT_EQ(ui::gridCells(items[1])[2], "读取");
    form.userSelectRows(kGrid, {1});
    form.userKeyDown('W', true);
    EXPECT_EQ(ui::gridCells(form.at(kGrid).items.at(0))[2], "写回") << "listed again";
  });
  ASSERT_FALSE(p.app.dialogs.messages.empty());
  EXPECT_NE(p.app.dialogs.messages.front().text.find("写回电台？"), std::string::npos);
  EXPECT_EQ(p.app.radio.memory(), asFound) << "the radio as the read found it";
  {
    history::HistoryDatabase database(p.app.state().history);
    const auto events = database.list({});
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().operation, Operation::Restore);
    EXPECT_EQ(events.front().result, Result::Done);
  }
  // An edit written afterwards reaches the radio: the read's memory went with the restore only.
  p.app.main().userType("TA", "110");
  p.app.main().userExit("TA");
  p.app.main().userClick("WriteData");
  EXPECT_NE(p.app.radio.memory()[0x0CF], asFound[0x0CF]);
}

TEST(HistoryDialog, AHistoryThatCannotBeOpenedIsSaidAndTheDialogStaysUsable) {
  struct Case {
    std::string name;
    std::function<void(HistoryProgram&)> arrange;
    std::string said;
  };
  const std::vector<Case> cases = {
      {"none set", [](HistoryProgram& p) { p.app.state().history.clear(); },
       "没有设置历史记录文件，无法显示历史记录。"},
      {"a folder", [](HistoryProgram& p) { fs::create_directories(p.app.state().history); },
       "无法使用"},
      {"a folder that cannot be written",
       [](HistoryProgram& p) {
         fs::create_directories(p.app.state().history.parent_path());
         fs::permissions(p.app.state().history.parent_path(),
                         fs::perms::owner_read | fs::perms::owner_exec);
       },
       "无法使用"},
  };
  for (const Case& c : cases) {
    HistoryProgram p;
    c.arrange(p);
    // Where a folder's permissions do not keep this user out (root, Windows), there is no case.
    if (c.name == "a folder that cannot be written" &&
        std::ofstream(p.app.state().history.parent_path() / "probe").good())
      continue;
    p.withDialog([&](ui::Form& form) {
      EXPECT_NE(p.hint().find(c.said), std::string::npos) << c.name << ": " << p.hint();
      EXPECT_TRUE(form.at(kGrid).items.empty()) << c.name;
      form.userClick("HistoryQuery");
      form.userKeyDown('X', true);
      EXPECT_FALSE(form.isShowing()) << c.name << ": 关闭 works";
    });
    EXPECT_TRUE(p.app.dialogs.messages.empty()) << c.name;
    std::error_code ec;
    fs::permissions(p.app.state().history.parent_path(), fs::perms::owner_all, ec);
  }
}

TEST(HistoryDialog, TheBackupsKeptBeforeThereWasAHistoryAreListed) {
  HistoryProgram p;
  p.app.state().backups = p.app.dir / "backups";
  p.app.main().userClick("ReadData");  // a backup and its event
  // The history as it was before there was one: the backup alone.
  for (const char* suffix : {"", "-wal", "-shm"})
    fs::remove(p.app.state().history.string() + suffix);
  p.withDialog([&](ui::Form&) {
    EXPECT_EQ(p.column(2), std::vector<std::string>{"读取"});
    EXPECT_NE(p.hint().find("已将 1 个备份文件导入历史记录。"), std::string::npos) << p.hint();
  });
}

TEST(HistoryDialog, ThePortDialogsButtonOpensIt) {
  HistoryProgram p;
  std::vector<std::string> shown;
  p.app.dialogs.onModal = [&](ui::Form& form) {
    shown.push_back(form.name());
    if (&form == p.app.state().comSet.get()) form.userClick("HistoryShow");
  };
  p.app.main().userClick("ComSet");
  EXPECT_EQ(shown, (std::vector<std::string>{"ComSet_Form", "History_Form"}));
}

}  // namespace
}  // namespace rcp::app
