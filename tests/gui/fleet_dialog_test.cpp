// The fleet dialog through the real widgets, driving three virtual radios connected one after
// another on one simulated line: each radio gets the template with its own number, the table and
// the log follow the run, 停止 between radios ends it, and a plan the rules warn about sends
// nothing. With RCP520_SCREENSHOT_DIR set, the dialog during and after the run is saved as
// Fleet_Form-writing.png and Fleet_Form-run.png, the problems' box as Fleet_Form-problems.png.

#include "window/fleet_dialog.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <deque>
#include <fstream>
#include <sstream>

#include "cli/written_image.hpp"
#include "fleet/fleet_plan.hpp"
#include "gui/form_view.hpp"
#include "gui/person_input.hpp"
#include "gui/scripted_qt_dialogs.hpp"
#include "link/ini_profile.hpp"
#include "program/program.hpp"
#include "sim/line_end.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"
#include "support/saved_file.hpp"
#include "support/temp_dir.hpp"
#include "window/bind.hpp"

namespace rcp::gui {
namespace {

namespace fs = std::filesystem;
using sim::Micros;

// Radios taken in turn: the one connected answers until it has been written and the line has then
// been quiet for 1.2 s, then nothing answers for three seconds while the technician swaps radios,
// then the next one does. The quiet outlasts the pause before the read-back (just over a second
// after the write's last byte) and is shorter than the run's wait before it asks whether the
// radio is still there (kLetGoMs), or the answered polls would keep it connected for ever.
class RadiosInTurn final : public sim::LineEnd {
 public:
  static constexpr Micros kQuietAfterWrite = 1'200'000;
  static constexpr Micros kSwap = 3'000'000;

  explicit RadiosInTurn(std::deque<sim::VirtualRadio>& radios) : radios_(radios) {}

  // The first radio on the line again, none swapped yet.
  void reset() {
    current_ = 0;
    lastHeard_ = 0;
    unpluggedAt_.reset();
  }

  void receive(std::span<const std::uint8_t> bytes, Micros at) override {
    step(at);
    if (sim::VirtualRadio* radio = connected()) {
      radio->receive(bytes, at);
      lastHeard_ = at;
    }
  }
  void advance(Micros now) override {
    step(now);
    if (sim::VirtualRadio* radio = connected()) radio->advance(now);
  }
  std::optional<Micros> burstEnd() const override {
    const sim::VirtualRadio* radio = connected();
    return radio ? radio->burstEnd() : std::nullopt;
  }
  std::vector<sim::VirtualRadio::Answer> takeAnswers() override {
    sim::VirtualRadio* radio = connected();
    return radio ? radio->takeAnswers() : std::vector<sim::VirtualRadio::Answer>{};
  }

 private:
  sim::VirtualRadio* connected() const {
    if (unpluggedAt_ || current_ >= radios_.size()) return nullptr;
    return &radios_[current_];
  }
  void step(Micros now) {
    if (const sim::VirtualRadio* radio = connected();
        radio && radio->bulkWrites() > 0 && now - lastHeard_ >= kQuietAfterWrite)
      unpluggedAt_ = lastHeard_ + kQuietAfterWrite;
    if (unpluggedAt_ && now >= *unpluggedAt_ + kSwap) {
      ++current_;
      unpluggedAt_.reset();
    }
  }

  std::deque<sim::VirtualRadio>& radios_;
  std::size_t current_ = 0;
  Micros lastHeard_ = 0;
  std::optional<Micros> unpluggedAt_;
};

std::deque<sim::VirtualRadio> threeRadios() {
  std::deque<sim::VirtualRadio> radios;
  for (int i = 0; i < 3; ++i) radios.emplace_back(*sim::identityOfModel("HX77"));
  return radios;
}

class FleetDialogTest : public ::testing::Test {
 protected:
  FleetDialogTest() : program(services()) {
    app::startWithWindow(program);
    main = screen.findView(program.mainForm());
    main->activateWindow();
    QCoreApplication::processEvents();
    test::savedFile(templ);
  }
  app::Services services() {
    // Verification is the stored choice the dialog starts from.
    std::ofstream(folder / "Com.ini", std::ios::binary)
        << "[ComStatus]\r\nComport=COM2\r\n[Options]\r\nVerifyAfterWrite=1\r\n";
    return {port, clock, dialogs, screen, folder / "Com.ini"};
  }

  // Opens the dialog with Alt+B on the main window; `inside` runs while it shows.
  void withFleetDialog(const std::function<void()>& inside) {
    soon([this, inside] {
      QCoreApplication::processEvents();
      fleet = screen.findView(*program.state().fleet);
      inside();
      if (program.state().fleet->isShowing()) program.state().fleet->close();
    });
    QWidget* focused = main->focusWidget();
    QTest::keyClick(focused ? focused : main, Qt::Key_B, Qt::AltModifier);
  }
  void shoot(const char* name) {
    if (const QByteArray shots = qgetenv("RCP520_SCREENSHOT_DIR"); !shots.isEmpty())
      fleet->grab().save(QString::fromLocal8Bit(shots) + QLatin1Char('/') + QLatin1String(name));
  }
  QWidget* widget(const char* name) { return fleet->controlWidget(name); }
  void click(const char* name) { QTest::mouseClick(widget(name), Qt::LeftButton); }
  void type(const char* name, const QString& text) {
    auto* edit = qobject_cast<QLineEdit*>(widget(name));
    if (!edit->text().isEmpty()) {
      edit->selectAll();
      QTest::keyClick(edit, Qt::Key_Backspace);
    }
    QTest::keyClicks(edit, text);
  }
  QTableWidget* table() { return qobject_cast<QTableWidget*>(widget("FleetRadios")); }
  QString cell(int row, int column) {
    const QTableWidgetItem* item = table()->item(row, column);
    return item ? item->text() : QString();
  }
  QString caption(const char* name) { return qobject_cast<QLabel*>(widget(name))->text(); }
  // The template chosen through "浏览…" and the numbers typed.
  void plan(const QString& first, const QString& last) {
    dialogs.fileAnswers.push_back(templ.string());
    click("TemplateBrowse");
    type("FirstNumber", first);
    type("LastNumber", last);
  }
  std::vector<std::string> logLines() {
    std::ifstream in(app::defaultFleetLog(templ));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // What a write of the template with this number leaves in a blank radio.
  app::RadioMemory expectedMemory(const std::string& number) {
    const link::IniLoad loaded = link::loadIniFile(templ);
    const fs::path file = folder / (number + ".ini");
    std::ofstream(file, std::ios::binary)
        << app::memberDocument(loaded.document, {number, {{app::kNumberKey, number}}}).fileBytes();
    std::ostringstream out, err;
    app::RadioMemory memory{};
    EXPECT_EQ(app::writtenImage("HX77", file, {out, err}, memory), 0) << err.str();
    return memory;
  }

  // Runs the plan of three and clicks 停止 through the dialog's window once `now` holds: the run
  // ends with the first radio written, and the log and the counts say so.
  void stopThroughTheWindowWhen(const std::function<bool()>& now) {
    withFleetDialog([&] {
      plan("3262001201", "3262001203");
      QTimer stopper;
      bool pressed = false;
      QObject::connect(&stopper, &QTimer::timeout, [&] {
        if (pressed || !now()) return;
        pressed = true;
        clickAsPerson(widget("FleetStop"));
      });
      stopper.start(0);
      clickAsPerson(widget("FleetStart"));
      stopper.stop();
      EXPECT_TRUE(pressed);
      EXPECT_EQ(caption("FleetCounts"), QStringLiteral("已写 1 台，失败 0 次，剩余 2 台"));
      EXPECT_TRUE(caption("FleetHint").startsWith(QStringLiteral("批量写频已中断")))
          << caption("FleetHint").toStdString();
    });
    EXPECT_EQ(radios[0].bulkWrites(), 1);
    EXPECT_EQ(radios[1].bulkWrites(), 0);
    EXPECT_EQ(radios[2].bulkWrites(), 0);
    EXPECT_EQ(logLines().size(), 2u) << "the header and the radio written";
  }

  link::VirtualClock clock;
  std::deque<sim::VirtualRadio> radios = threeRadios();
  RadiosInTurn line{radios};
  sim::SimulatedPort port{line, clock};
  test::TempDir folder;
  fs::path templ = folder / "fleet.ini";
  QtScreen screen;
  ScriptedQtDialogs dialogs{screen};
  app::Program program;
  FormView* main = nullptr;
  FormView* fleet = nullptr;
};

TEST_F(FleetDialogTest, WritesThreeRadiosOneAfterAnotherEachWithItsOwnNumber) {
  withFleetDialog([&] {
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(widget("FleetVerify"))->isChecked());
    EXPECT_FALSE(qobject_cast<QAbstractButton*>(widget("FleetBackup"))->isChecked());
    plan("3262001201", "3262001203");
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget("LogFile"))->text().toStdString(),
              (folder / "fleet-fleet.csv").string());
    // The second radio's row while it is being written, as the run paints it.
    QString writing;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
      if (!writing.isEmpty() || !cell(1, 1).startsWith(QStringLiteral("写录中 5"))) return;
      writing = cell(1, 1);
      shoot("Fleet_Form-writing.png");
    });
    watcher.start(0);
    click("FleetStart");
    watcher.stop();
    EXPECT_TRUE(writing.endsWith(QLatin1Char('%'))) << writing.toStdString();
    QCoreApplication::processEvents();
    shoot("Fleet_Form-run.png");
    ASSERT_EQ(table()->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
      EXPECT_EQ(cell(row, 0), QString::number(3262001201LL + row));
      EXPECT_EQ(cell(row, 1), QStringLiteral("校验正确"));
      EXPECT_TRUE(cell(row, 2).contains(QStringLiteral("HX77"))) << cell(row, 2).toStdString();
    }
    EXPECT_EQ(caption("FleetCounts"), QStringLiteral("已写 3 台，失败 0 次，剩余 0 台"));
    EXPECT_TRUE(caption("FleetHint").startsWith(QStringLiteral("批量写频结束")));
    EXPECT_TRUE(widget("FleetStart")->isEnabled());
    EXPECT_FALSE(widget("FleetStop")->isEnabled());
  });
  EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front().text;
  for (std::size_t k = 0; k < radios.size(); ++k) {
    EXPECT_EQ(radios[k].bulkWrites(), 1) << "radio " << k + 1;
    EXPECT_EQ(radios[k].memory(), expectedMemory(std::to_string(3262001201LL + k)))
        << "radio " << k + 1;
  }
  const std::vector<std::string> log = logLines();
  ASSERT_EQ(log.size(), 4u);
  for (std::size_t k = 1; k < log.size(); ++k)
    EXPECT_NE(log[k].find(std::to_string(3262001200LL + k) + ",校验正确"), std::string::npos)
        << log[k];
}

// The radios' table as a screen reader reads it after a run: each row headed by the radio's
// number, each cell by its column's heading.
TEST_F(FleetDialogTest, AScreenReaderReadsEachRadiosRowByItsNumberAndEachCellByItsColumn) {
  withFleetDialog([&] {
    plan("3262001201", "3262001203");
    clickAsPerson(widget("FleetStart"));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(table());
    ASSERT_TRUE(iface && iface->tableInterface());
    QAccessibleTableInterface* grid = iface->tableInterface();
    ASSERT_EQ(grid->rowCount(), 3);
    ASSERT_EQ(grid->columnCount(), 3);
    const QStringList headings = {"个人号", "状态", "电台标识"};
    for (int row = 0; row < 3; ++row) {
      const QString number = QString::number(3262001201LL + row);
      EXPECT_EQ(grid->rowDescription(row).toStdString(), number.toStdString());
      for (int column = 0; column < 3; ++column) {
        SCOPED_TRACE(QStringLiteral("row %1 column %2").arg(row).arg(column).toStdString());
        EXPECT_EQ(grid->columnDescription(column).toStdString(), headings[column].toStdString());
        QAccessibleInterface* c = grid->cellAt(row, column);
        ASSERT_TRUE(c && c->tableCellInterface());
        EXPECT_EQ(c->text(QAccessible::Name).toStdString(), cell(row, column).toStdString());
        const auto columnHeads = c->tableCellInterface()->columnHeaderCells();
        ASSERT_EQ(columnHeads.size(), 1);
        EXPECT_EQ(columnHeads.front()->text(QAccessible::Name).toStdString(),
                  headings[column].toStdString());
        const auto rowHeads = c->tableCellInterface()->rowHeaderCells();
        ASSERT_EQ(rowHeads.size(), 1);
        EXPECT_EQ(rowHeads.front()->text(QAccessible::Name).toStdString(), number.toStdString());
      }
    }
  });
}

// The model chosen in the dialog, typed over from the keyboard: a radio of another model is named
// and left unwritten, and the run waits for one of the model until 停止; a model no radio answers
// as is refused before anything is sent.
TEST_F(FleetDialogTest, ARadioOfAnotherModelThanTheOneChosenIsNamedAndLeftUnwritten) {
  const auto chooseModel = [this](const char* text) {
    auto* model = qobject_cast<QComboBox*>(widget("FleetModel"));
    clickAsPerson(model->lineEdit());
    keyAsPerson(fleet, Qt::Key_A, Qt::ControlModifier);
    keyAsPerson(fleet, Qt::Key_Backspace);
    for (const char* c = text; *c; ++c) QTest::keyClick(fleet->windowHandle(), *c);
  };
  withFleetDialog([&] {
    auto* model = qobject_cast<QComboBox*>(widget("FleetModel"));
    ASSERT_TRUE(model);
    EXPECT_EQ(model->currentText(), QStringLiteral("不限"));
    EXPECT_GE(model->findText(QStringLiteral("HX33")), 0);
    EXPECT_GE(model->findText(QStringLiteral("HX34")), 0);
    plan("3262001201", "3262001203");
    chooseModel("HX99");
    {
      BoxAnswerer answerer([](QMessageBox*) { return byKey("Enter", Qt::Key_Return); });
      clickAsPerson(widget("FleetStart"));
      EXPECT_TRUE(answerer.stuck.empty());
    }
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text.substr(0, dialogs.messages[0].text.find('\n')),
              "没有型号“HX99”：可用的型号有 HX77、MX541、MX542、MX543、MX521、MX522、MX520、"
              "HX34s、HX34、HX33。");
    chooseModel("hx33");
    QString said;
    QTimer stopper;
    QObject::connect(&stopper, &QTimer::timeout, [&] {
      if (!said.isEmpty() || !caption("FleetHint").contains(QStringLiteral("不是 HX33"))) return;
      said = caption("FleetHint");
      clickAsPerson(widget("FleetStop"));
    });
    stopper.start(0);
    clickAsPerson(widget("FleetStart"));
    stopper.stop();
    EXPECT_EQ(said.toStdString(),
              "这台电台是 HX77，不是 HX33，没有写入。请取下它，连接一台 HX33。");
    EXPECT_TRUE(caption("FleetHint").startsWith(QStringLiteral("批量写频已中断")))
        << caption("FleetHint").toStdString();
  });
  for (const sim::VirtualRadio& radio : radios) EXPECT_EQ(radio.bulkWrites(), 0);
}

TEST_F(FleetDialogTest, StopBetweenRadiosEndsTheRunAndARerunSkipsWhatTheLogHolds) {
  withFleetDialog([&] {
    plan("3262001201", "3262001203");
    // 停止 pressed as soon as the first radio is done: the run asks between radios.
    QTimer stopper;
    bool pressed = false;
    QObject::connect(&stopper, &QTimer::timeout, [&] {
      if (pressed || cell(0, 1) != QStringLiteral("校验正确")) return;
      pressed = true;
      click("FleetStop");
    });
    stopper.start(0);
    click("FleetStart");
    stopper.stop();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(cell(1, 1), QStringLiteral("等待"));
    EXPECT_EQ(caption("FleetCounts"), QStringLiteral("已写 1 台，失败 0 次，剩余 2 台"));
    EXPECT_TRUE(caption("FleetHint").startsWith(QStringLiteral("批量写频已中断")));
    EXPECT_TRUE(widget("FleetClose")->isEnabled());
  });
  EXPECT_EQ(radios[0].bulkWrites(), 1);
  EXPECT_EQ(radios[1].bulkWrites(), 0);
  EXPECT_EQ(logLines().size(), 2u);

  // The same plan again once the technician has swapped the radio: the first number is taken as
  // written, the run goes on with the second.
  clock.pause(5000);
  withFleetDialog([&] {
    click("FleetStart");
    EXPECT_EQ(cell(0, 1), QStringLiteral("已写（日志）"));
    EXPECT_EQ(cell(1, 1), QStringLiteral("校验正确"));
    EXPECT_EQ(cell(2, 1), QStringLiteral("校验正确"));
  });
  EXPECT_EQ(radios[1].bulkWrites(), 1);
  EXPECT_EQ(radios[2].bulkWrites(), 1);
  EXPECT_EQ(logLines().size(), 4u);
}

// 停止 clicked as a person clicks it, through the dialog's window, while the first radio is being
// written and while the run waits for the second: the run ends after the radio at hand.
TEST_F(FleetDialogTest, StopClickedThroughTheWindowWhileWritingEndsTheRunAfterThatRadio) {
  stopThroughTheWindowWhen([this] { return cell(0, 1).startsWith(QStringLiteral("写录中")); });
}

TEST_F(FleetDialogTest, StopClickedThroughTheWindowWhileWaitingEndsTheRun) {
  stopThroughTheWindowWhen([this] {
    return caption("FleetHint").startsWith(QStringLiteral("等待电台应答（个人号 3262001202"));
  });
}

// A radio that stops answering half-way through its write: the box the run shows takes the
// person's Enter, and the run goes on until 停止.
TEST_F(FleetDialogTest, TheBoxOfARadioThatFailsDuringTheRunTakesItsAnswer) {
  radios[0].faults().ackChunks = 30;
  BoxAnswerer answerer([](QMessageBox*) { return byKey("Enter", Qt::Key_Return); });
  withFleetDialog([&] {
    plan("3262001201", "3262001203");
    QTimer stopper;
    bool pressed = false;
    int ignored = 0;
    QObject::connect(&stopper, &QTimer::timeout, [&] {
      if (answerer.answered.empty() || shownMessageBox()) return;
      if (!pressed) {
        pressed = true;
        clickAsPerson(widget("FleetStop"));
      } else if (widget("FleetStop")->isEnabled() && ++ignored > 1000) {
        // The click went nowhere: stop from inside, so that the test ends.
        qobject_cast<QAbstractButton*>(widget("FleetStop"))->click();
        stopper.stop();
      }
    });
    stopper.start(0);
    clickAsPerson(widget("FleetStart"));
    stopper.stop();
    EXPECT_TRUE(pressed);
    EXPECT_LE(ignored, 1000) << "停止 took no click";
    EXPECT_TRUE(caption("FleetHint").startsWith(QStringLiteral("批量写频已中断")));
  });
  ASSERT_FALSE(answerer.answered.empty());
  EXPECT_TRUE(answerer.answered.front().contains(QStringLiteral("写录失败")))
      << answerer.answered.front().toStdString();
  EXPECT_TRUE(answerer.stuck.empty()) << answerer.stuck.front();
}

// A radio written whose verification fails: the question 是/否/取消 takes a person's key or click
// through the window system, and each answer does what it says: 是 writes the radio again (asked
// again as it still fails, then kept), 否 keeps it and goes on, 取消 stops with its number given
// to no other radio, and a rerun from the log says so.
TEST_F(FleetDialogTest, TheQuestionAfterAFailedVerificationTakesEachAnswerThroughTheWindow) {
  struct Case {
    std::vector<BoxAnswer> answers;  // to the question, in turn
    int firstRadioWrites;
    bool stopped;
    QString firstRow;
  };
  const Case cases[] = {
      {{byKey("Alt+N", Qt::Key_N, Qt::AltModifier)},
       1,
       false,
       QStringLiteral("校验未通过，已保留")},
      {{byClickOn("否")}, 1, false, QStringLiteral("校验未通过，已保留")},
      {{byKey("Y", Qt::Key_Y), byKey("N", Qt::Key_N)},
       2,
       false,
       QStringLiteral("校验未通过，已保留")},
      {{byClickOn("是"), byKey("Alt+N", Qt::Key_N, Qt::AltModifier)},
       2,
       false,
       QStringLiteral("校验未通过，已保留")},
      {{byKey("Escape", Qt::Key_Escape)}, 1, true, QStringLiteral("校验失败")},
      {{byClickOn("取消")}, 1, true, QStringLiteral("校验失败")},
  };
  for (const Case& c : cases) {
    const std::string name = c.answers.front().name;
    radios = threeRadios();
    line.reset();
    fs::remove(app::defaultFleetLog(templ));
    radios[0].faults().corruptAddresses = {0x0CF};
    std::size_t asked = 0;
    BoxAnswerer answerer([&](QMessageBox* box) {
      if (!box->text().contains(QStringLiteral("这个号码不会再给别的电台")))
        return byKey("Enter", Qt::Key_Return);
      return c.answers.at(std::min(asked++, c.answers.size() - 1));
    });
    withFleetDialog([&] {
      plan("3262001201", "3262001203");
      clickAsPerson(widget("FleetStart"));
      EXPECT_EQ(cell(0, 1), c.firstRow) << name;
      EXPECT_EQ(caption("FleetHint").startsWith(QStringLiteral("批量写频已中断")), c.stopped)
          << name << ": " << caption("FleetHint").toStdString();
    });
    EXPECT_TRUE(answerer.stuck.empty()) << name << ": " << answerer.stuck.front();
    EXPECT_EQ(asked, c.answers.size()) << name;
    EXPECT_EQ(radios[0].bulkWrites(), c.firstRadioWrites) << name;
    // The number stays with the first radio whatever the answer.
    EXPECT_EQ(radios[1].bulkWrites(), c.stopped ? 0 : 1) << name;
    if (!c.stopped) continue;
    // The rerun: the first number is shown as held unverified and the next radio gets the second.
    clock.pause(5000);
    withFleetDialog([&] {
      clickAsPerson(widget("FleetStart"));
      EXPECT_EQ(cell(0, 1), QStringLiteral("已写，未通过校验（日志）")) << name;
      EXPECT_EQ(cell(1, 1), QStringLiteral("校验正确")) << name;
    });
    EXPECT_TRUE(std::any_of(answerer.answered.begin(), answerer.answered.end(),
                            [](const QString& text) {
                              return text.contains(QStringLiteral("号码 3262001201 已写入电台"));
                            }))
        << name;
    EXPECT_EQ(radios[0].bulkWrites(), 1) << name;
  }
}

// A template path typed in gets the log beside it as one chosen through "浏览…" does; a run
// without a log is asked about first, and "否" sends nothing.
TEST_F(FleetDialogTest, ATypedTemplateIsOfferedItsLogAndARunWithoutOneIsAskedAbout) {
  std::vector<QString> questions;
  BoxAnswerer answerer([&](QMessageBox* box) {
    questions.push_back(box->text());
    return byKey("N", Qt::Key_N);
  });
  withFleetDialog([&] {
    type("TemplateFile", QString::fromStdString(templ.string()));
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget("LogFile"))->text().toStdString(),
              app::defaultFleetLog(templ).string());
    type("FirstNumber", QStringLiteral("3262001201"));
    type("LastNumber", QStringLiteral("3262001203"));
    type("LogFile", QString());
    port.clearEvents();
    clickAsPerson(widget("FleetStart"));
  });
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_TRUE(questions[0].contains(QStringLiteral("没有指定日志文件")))
      << questions[0].toStdString();
  EXPECT_TRUE(answerer.stuck.empty());
  EXPECT_TRUE(port.sent().empty());
  EXPECT_EQ(radios[0].bulkWrites(), 0);
}

// A log that cannot take rows (a folder, a FIFO) is refused before the first radio: the box says
// so and nothing is sent.
TEST_F(FleetDialogTest, ALogThatCannotBeWrittenIsRefusedBeforeAnyRadio) {
  const fs::path fifo = folder / "log.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const fs::path& log : {fs::path(folder.path()), fifo}) {
    std::vector<QString> shown;
    BoxAnswerer answerer([&](QMessageBox* box) {
      shown.push_back(box->text());
      return byKey("Enter", Qt::Key_Return);
    });
    withFleetDialog([&] {
      plan("3262001201", "3262001203");
      type("LogFile", QString::fromStdString(log.string()));
      port.clearEvents();
      clickAsPerson(widget("FleetStart"));
    });
    ASSERT_EQ(shown.size(), 1u) << log;
    EXPECT_TRUE(shown[0].contains(QStringLiteral("无法写入日志"))) << shown[0].toStdString();
    EXPECT_TRUE(port.sent().empty()) << log;
    EXPECT_EQ(radios[0].bulkWrites(), 0) << log;
  }
}

TEST_F(FleetDialogTest, APlanTheRulesWarnAboutIsListedAndNothingIsSent) {
  QString shown;
  withFleetDialog([&] {
    plan("12345", "12346");
    port.clearEvents();
    soon([&] {
      QMessageBox* box = shownMessageBox();
      ASSERT_NE(box, nullptr);
      shown = box->text();
      if (const QByteArray shots = qgetenv("RCP520_SCREENSHOT_DIR"); !shots.isEmpty())
        box->grab().save(QString::fromLocal8Bit(shots) +
                         QStringLiteral("/Fleet_Form-problems.png"));
      box->accept();
    });
    click("FleetStart");
  });
  EXPECT_TRUE(shown.contains(QStringLiteral("12345："))) << shown.toStdString();
  EXPECT_TRUE(shown.contains(QStringLiteral("未向电台发送任何数据")));
  EXPECT_TRUE(port.sent().empty());
  EXPECT_EQ(radios[0].bulkWrites(), 0);
}

}  // namespace
}  // namespace rcp::gui
