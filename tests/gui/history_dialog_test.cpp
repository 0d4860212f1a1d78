// The history dialog through the real widgets, driven as a person's keys arrive: Alt+H opens it
// over the window, Tab goes through the filters to the table in reading order, the arrows choose
// two events, Alt+C compares them, Escape closes. With RCP520_SCREENSHOT_DIR set, the dialog
// holding a read, a verified write, a failed write and a fleet radio is saved as
// History_Form.png.

#include "window/history_dialog.hpp"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>

#include "gui/input_router.hpp"
#include "gui/person_input.hpp"
#include "gui/window_fixtures.hpp"
#include "history/history_database.hpp"
#include "ui/layout.hpp"

namespace rcp::gui {
namespace {

using history::Event;
using history::Operation;
using history::Result;

Event sample(const char* time, Operation operation, Result result, const char* number, int ta) {
  Event e;
  e.time = time;
  e.unixTime = *history::parseLocalTime(time, false);
  e.user = "tech";
  e.device = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0";
  e.model = "HX77";
  e.numberBefore = e.numberAfter = number;
  e.operation = operation;
  e.result = result;
  e.dataFile =
      std::string("[File0]\r\nIndivol=") + number + "\r\nTA=" + std::to_string(ta) + "\r\n";
  return e;
}

class HistoryDialogTest : public WindowOnRadio {
 protected:
  HistoryDialogTest() : WindowOnRadio("backups") {
    program.state().history = folder / "state" / "history.sqlite";
    history::HistoryDatabase database(program.state().history);
    for (Event e :
         {sample("2026-12-09 09:12:40", Operation::Read, Result::Done, "3262001201", 60),
          sample("2026-12-09 09:14:05", Operation::Write, Result::Verified, "3262001201", 90),
          sample("2026-12-09 10:02:51", Operation::Write, Result::Failed, "3262001202", 90),
          sample("2026-12-09 11:30:17", Operation::FleetRadio, Result::Done, "3262001203", 60)})
      database.record(e);
  }

  // Opens the dialog with Alt+H on the main window; `inside` runs once it shows (the key may be
  // delivered at once or on the next turn of the event loop).
  void withHistoryDialog(const std::function<void()>& inside) {
    ui::Form& form = *program.state().historyDialog;
    bool ran = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
      if (ran || !form.isShowing()) return;
      ran = true;
      look.stop();
      QCoreApplication::processEvents();
      view = screen.findView(form);
      inside();
      if (form.isShowing()) form.close();
    });
    look.start(5);
    keyAsPerson(main, Qt::Key_H, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }, 10000)) << "Alt+H opens the dialog";
  }
  QWidget* widget(const char* name) { return view->controlWidget(name); }
  std::string focused() { return InputRouter::controlOf(view->focusWidget()); }
  void shoot(const char* name) {
    if (const QByteArray shots = qgetenv("RCP520_SCREENSHOT_DIR"); !shots.isEmpty())
      view->grab().save(QString::fromLocal8Bit(shots) + QLatin1Char('/') + QLatin1String(name));
  }

  FormView* view = nullptr;
};

TEST_F(HistoryDialogTest, APersonTabsToTheTableChoosesTwoEventsComparesThemAndCloses) {
  bool shown = false;
  withHistoryDialog([&] {
    shown = true;
    auto* table = qobject_cast<QTableWidget*>(widget("HistoryEvents"));
    ASSERT_TRUE(table);
    ASSERT_EQ(table->rowCount(), 4) << program.state().historyDialog->at("HistoryHint").caption;
    EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("批量写频"));
    EXPECT_EQ(table->item(3, 2)->text(), QStringLiteral("读取"));
    EXPECT_EQ(table->horizontalHeaderItem(5)->text(), QStringLiteral("结果"));
    // Tab goes through the filters in reading order, then to the table.
    std::vector<std::string> visited = {focused()};
    for (int i = 0; i < 8 && focused() != "HistoryEvents"; ++i) {
      keyAsPerson(view, Qt::Key_Tab);
      visited.push_back(focused());
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"HistoryNumber", "HistoryModel", "HistoryResult",
                                                 "HistorySince", "HistoryUntil", "HistoryQuery",
                                                 "HistoryEvents"}));
    // The arrows choose one row, Shift with them a second.
    keyAsPerson(view, Qt::Key_Down);
    keyAsPerson(view, Qt::Key_Down, Qt::ShiftModifier);
    const ui::Form& form = *program.state().historyDialog;
    EXPECT_EQ(ui::selectedRows(form.at("HistoryEvents")).size(), 2u);
    EXPECT_EQ(table->selectionModel()->selectedRows().size(), 2);
    EXPECT_TRUE(widget("HistoryCompareButton")->isEnabled());
    EXPECT_FALSE(widget("HistoryOpen")->isEnabled()) << "one event to open";
    keyAsPerson(view, Qt::Key_C, Qt::AltModifier);
    const QString compared = qobject_cast<QTextEdit*>(widget("HistoryCompare"))->toPlainText();
    EXPECT_TRUE(compared.contains(QStringLiteral("项不同")) ||
                compared.contains(QStringLiteral("相同")))
        << compared.toStdString();
    QCoreApplication::processEvents();
    shoot("History_Form.png");
    keyAsPerson(view, Qt::Key_Escape);
    EXPECT_FALSE(form.isShowing()) << "Escape closes";
  });
  EXPECT_TRUE(shown);
  EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front().text;
}

TEST_F(HistoryDialogTest, OneEventAndTheWindowAreComparedAndEveryButtonSaysItsKey) {
  withHistoryDialog([&] {
    auto* table = qobject_cast<QTableWidget*>(widget("HistoryEvents"));
    clickAsPerson(table->viewport(), table->visualItemRect(table->item(1, 0)).center());
    EXPECT_EQ(ui::selectedRows(program.state().historyDialog->at("HistoryEvents")),
              std::vector<std::size_t>{1});
    clickAsPerson(widget("HistoryCompareButton"));
    const QString compared = qobject_cast<QTextEdit*>(widget("HistoryCompare"))->toPlainText();
    EXPECT_TRUE(compared.contains(QStringLiteral("B：窗口中的配置"))) << compared.toStdString();
    for (const char* button : {"HistoryQuery", "HistoryTimeline", "HistoryOpen",
                               "HistoryCompareButton", "HistoryRestore", "HistoryClose"})
      EXPECT_FALSE(widget(button)->toolTip().isEmpty()) << button;
  });
}

}  // namespace
}  // namespace rcp::gui
