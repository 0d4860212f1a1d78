// The platform services as Qt provides them: message boxes, modal windows, file filters, and
// the screen's bookkeeping of windows, cursor, title and quitting.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDate>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <functional>
#include <memory>

#include "gui/form_view.hpp"
#include "gui/qt_chinese.hpp"
#include "gui/qt_dialogs.hpp"
#include "gui/qt_screen.hpp"
#include "support/temp_dir.hpp"
#include "ui/layout.hpp"

namespace rcp::gui {
namespace {

ui::FormSpec smallForm(const char* name) {
  ui::FormSpec windowLayout;
  windowLayout.name = name;
  windowLayout.caption = name;
  ui::LayoutWriter w(windowLayout);
  w << ui::button("Ok", "", "确定").at(0, 0);
  return windowLayout;
}

// Runs action on the next turn of whatever event loop is running then.
void soon(std::function<void()> action) {
  QTimer::singleShot(0, qApp, std::move(action));
}

QAbstractButton* buttonLabelled(QMessageBox* box, const QString& text) {
  for (QAbstractButton* b : box->buttons())
    if (b->text() == text) return b;
  return nullptr;
}

TEST(QtDialogsTest, FileFiltersBecomeQtNameFilters) {
  EXPECT_EQ(QtDialogs::nameFilters("数据文件（*.ini）|*.ini"),
            QStringLiteral("数据文件（*.ini） (*.ini)"));
  EXPECT_EQ(QtDialogs::nameFilters("数据|*.ini;*.dat|全部|*.*"),
            QStringLiteral("数据 (*.ini *.dat);;全部 (*.*)"));
}

TEST(QtDialogsTest, FileDialogsShowTheFilterByItsNameAndSavingAsksNoConfirmation) {
  QtScreen screen;
  QtDialogs dialogs(screen);
  test::TempDir folder;
  const ui::FileDialogRequest request{"数据文件（*.ini）|*.ini", "ini", folder.path().string(), ""};
  for (const bool save : {true, false}) {
    QStringList filters;
    bool confirms = true;
    soon([&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
      auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      ASSERT_NE(types, nullptr);
      for (int i = 0; i < types->count(); ++i) filters << types->itemText(i);
      dialog->reject();
    });
    EXPECT_EQ(save ? dialogs.saveFile(request) : dialogs.openFile(request), std::nullopt);
    EXPECT_EQ(filters, QStringList{QStringLiteral("数据文件（*.ini）")}) << save;
    if (save) {
      EXPECT_FALSE(confirms) << "an existing file is replaced without a question";
    }
  }
}

// Qt's own texts: what Qt draws in a file dialog or an edit field's context menu.
TEST(QtChineseTest, QtsOwnTextsAreChinese) {
  const std::unique_ptr<QTranslator> translator(installQtChinese());
  ASSERT_NE(translator, nullptr) << "Qt's zh_CN catalogue is not installed";

  QFileDialog files(nullptr, QString(), QString(), QString());
  files.setOption(QFileDialog::DontUseNativeDialog);
  auto* newFolder = files.findChild<QToolButton*>(QStringLiteral("newFolderButton"));
  ASSERT_NE(newFolder, nullptr);
  EXPECT_EQ(newFolder->toolTip(), QStringLiteral("新建文件夹"));

  QLineEdit edit;
  const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  QStringList items;
  for (QAction* a : menu->actions()) items << a->text().section(QLatin1Char('\t'), 0, 0);
  EXPECT_TRUE(items.contains(QStringLiteral("粘贴(&P)"))) << items.join(' ').toStdString();

  QCoreApplication::removeTranslator(translator.get());
}

// What Qt formats itself follows the Chinese locale whatever the environment says: the locale Qt
// reads from the environment (once, as the application starts) is zh_CN.
TEST(QtChineseTest, QtsLocaleIsChineseWhateverTheEnvironmentSays) {
  const QLocale before;
  qputenv("LC_ALL", "C.UTF-8");
  useChineseLocale();
  EXPECT_EQ(QLocale().language(), QLocale::Chinese);
  for (const char* name : {"LC_ALL", "LC_TIME", "LC_NUMERIC", "LC_MESSAGES"})
    EXPECT_EQ(qgetenv(name), QByteArray("zh_CN.UTF-8")) << name;
  const QLocale chinese(QStringLiteral("zh_CN"));
  const QString date = chinese.toString(QDate(2026, 12, 9), QLocale::ShortFormat);
  EXPECT_FALSE(date.contains(QStringLiteral("Dec"))) << date.toStdString();
  QLocale::setDefault(before);
}

TEST(QtDialogsTest, MessageBoxShowsCaptionIconAndChineseButtons) {
  QtScreen screen;
  QtDialogs dialogs(screen);
  QString caption, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool hasCancel = false;
  soon([&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    caption = box->windowTitle();
    text = box->text();
    icon = box->icon();
    hasCancel = buttonLabelled(box, QStringLiteral("取消")) != nullptr;
    buttonLabelled(box, QStringLiteral("取消"))->click();
  });
  const auto answer = dialogs.message(
      {"写录失败！", "读写数据", ui::MessageIcon::Warning, ui::MessageButtons::OkCancel});
  EXPECT_EQ(answer, ui::MessageResult::Cancel);
  EXPECT_EQ(caption, QStringLiteral("读写数据"));
  EXPECT_EQ(text, QStringLiteral("写录失败！"));
  EXPECT_EQ(icon, QMessageBox::Warning);
  EXPECT_TRUE(hasCancel);

  soon([&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    icon = box->icon();
    hasCancel = buttonLabelled(box, QStringLiteral("取消")) != nullptr;
    buttonLabelled(box, QStringLiteral("确定"))->click();
  });
  EXPECT_EQ(dialogs.message({"设备未开启", "系统信息", ui::MessageIcon::None}),
            ui::MessageResult::Ok);
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  EXPECT_FALSE(hasCancel);
}

TEST(QtDialogsTest, QuestionsOfferYesAndNoWithYesAsDefaultAndEscapeAsTheLastButton) {
  QtScreen screen;
  QtDialogs dialogs(screen);
  QStringList labels;
  QString defaultLabel;
  soon([&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* b : box->buttons()) labels << b->text();
    defaultLabel = box->defaultButton() ? box->defaultButton()->text() : QString();
    QTest::keyClick(box, Qt::Key_Escape);
  });
  EXPECT_EQ(dialogs.message(
                {"写回备份?", "读写数据", ui::MessageIcon::Warning, ui::MessageButtons::YesNo}),
            ui::MessageResult::No);
  labels.sort();
  EXPECT_EQ(labels, (QStringList{QStringLiteral("否"), QStringLiteral("是")}));
  EXPECT_EQ(defaultLabel, QStringLiteral("是"));

  soon([&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    QTest::keyClick(box, Qt::Key_Escape);
  });
  EXPECT_EQ(dialogs.message({"配置已修改，是否保存？", "Veltra写频软件", ui::MessageIcon::Warning,
                             ui::MessageButtons::YesNoCancel}),
            ui::MessageResult::Cancel);
  soon([&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    buttonLabelled(box, QStringLiteral("否"))->click();
  });
  EXPECT_EQ(dialogs.message({"配置已修改，是否保存？", "Veltra写频软件", ui::MessageIcon::Warning,
                             ui::MessageButtons::YesNoCancel}),
            ui::MessageResult::No);
}

TEST(QtDialogsTest, ShowModalReturnsWhenTheFormCloses) {
  QtScreen screen;
  QtDialogs dialogs(screen);
  ui::Form main(smallForm("Main"));
  ui::Form dialog(smallForm("Dialog"));
  screen.formCreated(main);
  screen.formCreated(dialog);
  int shown = 0;
  dialog.onShown([&] { ++shown; });
  bool wasModal = false;
  soon([&] {
    wasModal = QApplication::activeModalWidget() == screen.findView(dialog);
    dialog.close();
  });
  dialogs.showModal(dialog);
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(wasModal);
  EXPECT_FALSE(dialog.isShowing());
  EXPECT_FALSE(screen.findView(dialog)->isVisible());

  // A form that closes while it is being shown does not leave the caller waiting.
  dialog.onShown([&] { dialog.close(); });
  dialogs.showModal(dialog);
  EXPECT_FALSE(screen.findView(dialog)->isVisible());
}

TEST(QtDialogsTest, CloseBoxOfAModalWindowClosesItsForm) {
  QtScreen screen;
  QtDialogs dialogs(screen);
  ui::Form main(smallForm("Main"));
  ui::Form dialog(smallForm("Dialog"));
  screen.formCreated(main);  // the main window comes first
  screen.formCreated(dialog);
  soon([&] { screen.findView(dialog)->close(); });
  dialogs.showModal(dialog);
  EXPECT_FALSE(dialog.isShowing());
}

TEST(QtScreenTest, FirstWindowIsTheMainOneAndItsCloseBoxEndsTheProgram) {
  QtScreen screen;
  ui::Form main(smallForm("Main"));
  ui::Form other(smallForm("Other"));
  screen.formCreated(main);
  screen.formCreated(other);
  EXPECT_EQ(screen.findView(main)->role(), FormView::Role::Main);
  EXPECT_EQ(screen.findView(other)->role(), FormView::Role::Dialog);

  main.show();
  EXPECT_TRUE(screen.findView(main)->isVisible());
  QTimer failsafe;
  failsafe.setSingleShot(true);
  QObject::connect(&failsafe, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  failsafe.start(2000);
  soon([&] { screen.findView(main)->close(); });
  EXPECT_EQ(QApplication::exec(), 0);  // the program's event loop ends
  EXPECT_TRUE(main.isShowing());       // without closing the form: nothing is sent
}

TEST(QtScreenTest, TheMainWindowsCloseBoxDuringATransferClosesItAfterTheTransfer) {
  QtScreen screen;
  ui::Form main(smallForm("Main"));
  screen.formCreated(main);
  main.show();
  QTimer failsafe;
  failsafe.setSingleShot(true);
  QObject::connect(&failsafe, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  failsafe.start(2000);
  bool visibleAfterClose = false;
  soon([&] {
    screen.blockInput(true);  // the transfer starts
    screen.findView(main)->close();
    screen.repaint(main);  // a step of the transfer
    visibleAfterClose = screen.findView(main)->isVisible();
    screen.blockInput(false);  // the transfer ends
  });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_TRUE(visibleAfterClose);
  EXPECT_FALSE(screen.findView(main)->isVisible());
}

TEST(QtScreenTest, KeepsCursorTitleAndQuitRequest) {
  QtScreen screen;
  screen.setBusy(true);
  screen.setBusy(true);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  screen.setBusy(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  screen.setApplicationTitle("Veltra写频软件");
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Veltra写频软件"));

  EXPECT_FALSE(screen.quitRequested());
  screen.quit();  // before any event loop runs
  EXPECT_TRUE(screen.quitRequested());
}

}  // namespace
}  // namespace rcp::gui
