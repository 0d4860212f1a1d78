// The write's options in the port dialog and the exit question, through the real widgets: the
// check boxes show and store Com.ini's [Options], "备份文件夹…" opens the open-file dialog in the
// backups folder, and the close box and Alt+X ask before unsaved edits are lost. With
// RCP520_SCREENSHOT_DIR set, the port dialog and the question are saved there as
// ComSet_Form-safety.png and ExitQuestion.png.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "gui/form_view.hpp"
#include "gui/scripted_qt_dialogs.hpp"
#include "gui/window_fixtures.hpp"
#include "link/com_ini.hpp"
#include "program/program.hpp"
#include "settings/record.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"
#include "support/temp_dir.hpp"
#include "window/frame.hpp"

namespace rcp::gui {
namespace {

namespace fs = std::filesystem;

void saveShot(QWidget& window, const char* name) {
  if (const QByteArray shots = qgetenv("RCP520_SCREENSHOT_DIR"); !shots.isEmpty())
    window.grab().save(QString::fromLocal8Bit(shots) + QLatin1Char('/') + QLatin1String(name));
}

class SafeWriteUiTest : public WindowOnRadio {
 protected:
  SafeWriteUiTest() : WindowOnRadio(fs::path("state") / "backups") {
    ports = screen.findView(*program.state().comSet);
  }
  std::string comIni() {
    std::ifstream in(folder / "Com.ini", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  QCheckBox* check(const char* name) {
    return qobject_cast<QCheckBox*>(ports->controlWidget(name));
  }
  QAbstractButton* button(FormView* view, const char* name) {
    return qobject_cast<QAbstractButton*>(view->controlWidget(name));
  }
  // Opens the port dialog from its button; `inside` runs while it shows.
  void withPortDialog(std::function<void()> inside) {
    soon([this, inside] {
      QCoreApplication::processEvents();
      inside();
      if (program.state().comSet->isShowing()) program.state().comSet->close();
    });
    button(main, "ComSet")->click();
  }
  void edit() { settings::Record(program.state()).set("RegCode", std::string("1234")); }
  // Answers the exit question by the button labelled `answer` once it shows.
  void answerQuestion(const QString& answer, bool shoot = false) {
    soon([this, answer, shoot] {
      QMessageBox* box = shownMessageBox();
      ASSERT_NE(box, nullptr) << "no question";
      questionText = box->text();
      if (shoot) saveShot(*box, "ExitQuestion.png");
      QAbstractButton* b = buttonLabelled(box, answer);
      ASSERT_NE(b, nullptr);
      b->click();
    });
  }

  FormView* ports = nullptr;
  QString questionText;

  // Alt+X where the keyboard is: the main window's focused control.
  void altX() {
    QWidget* focused = main->focusWidget();
    QTest::keyClick(focused ? focused : main, Qt::Key_X, Qt::AltModifier);
  }
};

TEST_F(SafeWriteUiTest, ThePortDialogShowsAndStoresTheWriteOptionsOnlyOnConfirmation) {
  const std::string older =
      "[ComStatus]\r\nComport=COM2\r\n; mine\r\n[Options]\r\nVerifyAfterWrite=1\r\n";
  std::ofstream(folder / "Com.ini", std::ios::binary) << older;

  bool backupShown = true, verifyShown = false;
  withPortDialog([&] {
    backupShown = check("BackupBeforeWrite")->isChecked();
    verifyShown = check("VerifyAfterWrite")->isChecked();
    check("BackupBeforeWrite")->click();
    button(ports, "ComSet_CANCLE")->click();
  });
  EXPECT_FALSE(backupShown);
  EXPECT_TRUE(verifyShown);
  EXPECT_EQ(comIni(), older) << "cancel stores nothing";

  withPortDialog([&] {
    backupShown = check("BackupBeforeWrite")->isChecked();
    check("BackupBeforeWrite")->click();
    check("VerifyAfterWrite")->click();
    QCoreApplication::processEvents();
    saveShot(*ports, "ComSet_Form-safety.png");
    button(ports, "ComSet_OK")->click();
  });
  EXPECT_FALSE(backupShown) << "every showing starts from the file";
  EXPECT_EQ(comIni(),
            "[ComStatus]\r\nComport=COM2\r\n; mine\r\n[Options]\r\nVerifyAfterWrite=0\r\n"
            "BackupBeforeWrite=1\r\n");
  const link::WriteSafety stored = link::readWriteSafety(folder / "Com.ini");
  EXPECT_TRUE(stored.backupBeforeWrite);
  EXPECT_FALSE(stored.verifyAfterWrite);
}

TEST_F(SafeWriteUiTest, TheBackupFolderButtonOpensABackupIntoTheMainWindow) {
  const fs::path backups = program.state().backups;
  EXPECT_FALSE(fs::exists(backups));
  withPortDialog([&] { button(ports, "BackupFolder")->click(); });  // cancelled
  ASSERT_EQ(dialogs.opens.size(), 1u);
  EXPECT_EQ(dialogs.opens[0].initialFolder, backups.string());
  EXPECT_EQ(dialogs.opens[0].filter, "数据文件（*.ini）|*.ini");
  EXPECT_TRUE(fs::is_directory(backups)) << "the folder is made for the dialog";

  // A backup is an ordinary data file.
  edit();
  const fs::path kept = backups / "20261209-101500-HX77-1234.ini";
  dialogs.fileAnswers = {kept.string()};
  button(main, "SaveFile")->click();
  settings::Record(program.state()).set("RegCode", std::string("9999"));

  bool stillShownAfterChoice = true;
  dialogs.fileAnswers = {kept.string()};
  withPortDialog([&] {
    button(ports, "BackupFolder")->click();
    stillShownAfterChoice = program.state().comSet->isShowing();
  });
  EXPECT_FALSE(stillShownAfterChoice) << "the port dialog gives way to the opened file";
  EXPECT_EQ(settings::Record(program.state()).text("RegCode"), "1234");
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SafeWriteUiTest, TheCloseBoxAsksAboutUnsavedEditsAndCancelKeepsTheWindow) {
  // Building the widgets of every page changes nothing in the record.
  for (const char* page : {"UserInfo", "Appendix", "NormalSet"}) {
    program.mainForm().userActivatePage(page);
    QCoreApplication::processEvents();
  }
  port.clearEvents();  // each page left the test state with a "Q"
  main->close();       // nothing changed: no question
  EXPECT_TRUE(dialogs.messages.empty());
  main->show();

  edit();
  answerQuestion(QStringLiteral("取消"), true);
  main->close();
  EXPECT_EQ(questionText, QStringLiteral("配置已修改，是否保存？"));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(main->isVisible()) << "cancel stays";

  // "是" with the save dialog cancelled stays too.
  answerQuestion(QStringLiteral("是"));
  main->close();
  EXPECT_EQ(dialogs.saves.size(), 1u);
  EXPECT_TRUE(main->isVisible());

  // "否" ends the program by the close box, which sends nothing to the radio.
  QTimer failsafe;
  failsafe.setSingleShot(true);
  QObject::connect(&failsafe, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  failsafe.start(5000);
  soon([this] {
    answerQuestion(QStringLiteral("否"));
    main->close();
  });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(written(), "");
}

TEST_F(SafeWriteUiTest, AltXAsksSavesAndThenSendsQ) {
  edit();
  answerQuestion(QStringLiteral("取消"));
  altX();
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(written(), "");
  EXPECT_FALSE(screen.quitRequested());

  const fs::path file = folder / "kept.ini";
  dialogs.fileAnswers = {file.string()};
  answerQuestion(QStringLiteral("是"));
  altX();
  EXPECT_TRUE(fs::exists(file));
  EXPECT_EQ(written(), "Q");
  EXPECT_TRUE(screen.quitRequested());
}

}  // namespace
}  // namespace rcp::gui

namespace rcp::gui {
namespace {

// The write with "写后校验" on, against a radio that stores TA's byte inverted: the real box lists
// the field, the status bar says "校验失败". With RCP520_SCREENSHOT_DIR set, the box is saved as
// VerifyFailed.png.
TEST_F(SafeWriteUiTest, AVerificationFailureListsTheFieldInABox) {
  std::ofstream(folder / "Com.ini", std::ios::binary)
      << "[ComStatus]\r\nComport=COM2\r\n[Options]\r\nVerifyAfterWrite=1\r\n";
  radio.faults().corruptAddresses = {0x0CF};
  QString shown;
  // The transfer lets events through before its box shows: look until the box is there.
  QTimer look;
  look.setInterval(10);
  QObject::connect(&look, &QTimer::timeout, [&] {
    QMessageBox* box = shownMessageBox();
    if (!box) return;
    look.stop();
    shown = box->text() + QLatin1Char('\n') + box->informativeText();
    saveShot(*box, "VerifyFailed.png");
    box->buttons().front()->click();
  });
  look.start();
  button(main, "WriteData")->click();
  // The window would show the value read back clamped: the bytes say what the radio holds.
  EXPECT_TRUE(
      shown.contains(QStringLiteral("用户信息 › 时间常数 › TA：地址 0x0CF：写入 3C，读回 C3")))
      << shown.toStdString();
  EXPECT_EQ(program.mainForm().at("StatusBar").panels.at(2).text, "校验失败");
}

}  // namespace
}  // namespace rcp::gui
