// The whole program started on the Qt front end: the windows it shows and a shortcut that
// travels from a key press through the main window to the program.

#include "gui/desktop.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTabWidget>

#include "gui/form_view.hpp"
#include "gui/qt_screen.hpp"
#include "gui/status_panels.hpp"
#include "gui/window_fixtures.hpp"
#include "program/program.hpp"
#include "support/fake_services.hpp"
#include "support/temp_dir.hpp"

namespace rcp::gui {
namespace {

using DesktopTest = WindowOnFakes;

TEST_F(DesktopTest, StartsWithTheMainWindowShownOnItsFirstTab) {
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->role(), FormView::Role::Main);
  EXPECT_TRUE(main->isVisible());
  EXPECT_EQ(main->windowTitle(), QStringLiteral("RCP520中文写码软件"));
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Veltra写频软件"));
  EXPECT_EQ(main->size(), QSize(788, 543));

  auto* tabs = qobject_cast<QTabWidget*>(main->controlWidget("HomeControlPage"));
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->tabPosition(), QTabWidget::East);
  EXPECT_EQ(tabs->currentWidget()->objectName(), QStringLiteral("NormalSet"));
  EXPECT_FALSE(tabs->isTabVisible(tabs->indexOf(main->controlWidget("Test"))));

  // The status bar shows what the program put there during start-up.
  auto* bar = qobject_cast<StatusPanels*>(main->controlWidget("StatusBar"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->panels().at(2).text, program.mainForm().at("StatusBar").panels.at(2).text);

  // The other windows exist as forms; none has built its widgets before the first paint. Each
  // builds them when first shown or asked for, hidden until the program shows it.
  for (const char* dialog : {"Password_Form", "ComSet_Form", "Version_Form", "SysLableform"})
    for (QWidget* w : QApplication::topLevelWidgets())
      EXPECT_NE(w->objectName(), QLatin1String(dialog));
  settings::ProgramState& state = program.state();
  for (ui::Form* dialog :
       {state.password.get(), state.comSet.get(), state.version.get(), state.sysLableform.get()}) {
    FormView* view = screen.findView(*dialog);
    ASSERT_NE(view, nullptr) << dialog->name();
    EXPECT_EQ(view->role(), FormView::Role::Dialog);
    EXPECT_FALSE(view->isVisible()) << dialog->name();
  }
}

TEST_F(DesktopTest, AltXInTheMainWindowEndsTheProgram) {
  ASSERT_NE(main, nullptr);
  main->activateWindow();
  QCoreApplication::processEvents();
  main->controlWidget("RxFreq")->setFocus(Qt::TabFocusReason);
  port.written.clear();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::AltModifier, QStringLiteral("x"));
  QCoreApplication::sendEvent(QApplication::focusWidget(), &press);
  EXPECT_EQ(port.written, "Q");
  EXPECT_TRUE(screen.quitRequested());
}

// What Qt leaves of the command line: the trace taken, everything else named in a warning.
TEST(DesktopArguments, UnknownOptionsAndATraceWithoutAFileAreWarnedAbout) {
  const struct {
    QStringList args;
    std::string trace;
    std::vector<std::string> warned;  // a part of each warning
  } cases[] = {
      {{"rcp520"}, "", {}},
      {{"rcp520", "--trace", "t.log"}, "t.log", {}},
      // A Chinese path reaches the trace whole, in UTF-8 (on Windows the local 8-bit form is the
      // ANSI code page, which cannot hold it).
      {{"rcp520", "--trace", "D:\\跟踪记录\\串口.txt"}, "D:\\跟踪记录\\串口.txt", {}},
      {{"rcp520", "--跟踪"}, "", {"“--跟踪”"}},
      {{"rcp520", "--trace=t.log"}, "t.log", {}},
      {{"rcp520", "--bogus"}, "", {"“--bogus”"}},
      {{"rcp520", "--trcae", "t.log"}, "", {"“--trcae”", "“t.log”"}},
      {{"rcp520", "--trace"}, "", {"--trace 后缺少文件名"}},
  };
  qunsetenv("RCP520_TRACE");
  for (const auto& c : cases) {
    const DesktopArguments got = desktopArguments(c.args);
    const std::string label = c.args.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(got.traceFile, c.trace) << label;
    ASSERT_EQ(got.warnings.size(), c.warned.size()) << label;
    for (std::size_t i = 0; i < c.warned.size(); ++i)
      EXPECT_NE(got.warnings[i].find(c.warned[i]), std::string::npos) << got.warnings[i];
  }
}

}  // namespace
}  // namespace rcp::gui
