#include "gui/desktop.hpp"

#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "gui/fonts.hpp"
#include "gui/picture.hpp"
#include "gui/qt_chinese.hpp"
#include "gui/qt_dialogs.hpp"
#include "gui/qt_screen.hpp"
#include "gui/start_up_port.hpp"
#include "link/clock.hpp"
#include "link/serial_port.hpp"
#include "program/program.hpp"
#include "program/trace_setup.hpp"
#include "safety/backups.hpp"
#include "safety/state_folder.hpp"
#include "window/bind.hpp"

namespace rcp::gui {

// The protocol trace's file (--trace FILE among the arguments Qt left, else RCP520_TRACE) and a
// warning for each argument left over.
DesktopArguments desktopArguments(const QStringList& arguments) {
  std::vector<std::string> texts;
  // UTF-8, as every text inside the program: on Windows the local 8-bit form is the ANSI code
  // page, which cannot hold every Chinese file name.
  for (const QString& argument : arguments) texts.push_back(argument.toUtf8().toStdString());
  std::vector<std::string_view> args;
  for (std::size_t i = 1; i < texts.size(); ++i) args.emplace_back(texts[i]);
  DesktopArguments result;
  if (const auto trace = app::takeTraceOption(args))
    result.traceFile = *trace;
  else
    result.warnings.push_back("rcp520：--trace 后缺少文件名，本次运行不记录跟踪。");
  for (const std::string_view unknown : args)
    if (unknown != app::kTraceOption && !unknown.starts_with(std::string(app::kTraceOption) + "="))
      result.warnings.push_back("rcp520：未知的参数“" + std::string(unknown) +
                                "”，已忽略（rcp520 --help 列出可用的参数）。");
  return result;
}

void prepareApplication() {
  installQtChinese();
  QApplication::setFont(applicationFont());
  QApplication::setWindowIcon(QIcon(radioPicture(QSize(32, 32))));
  // The desktop entry (and the icon theme's icon) of packaging/com.veltra_comm.rcp520.desktop.
  QGuiApplication::setDesktopFileName(QStringLiteral("com.veltra_comm.rcp520"));
  // The main window's close box ends the program itself; hidden dialogs never do.
  QApplication::setQuitOnLastWindowClosed(false);
}

int runDesktop(int argc, char** argv) {
  useChineseLocale();
  QApplication app(argc, argv);
  prepareApplication();

  link::RealClock clock;
  link::SerialPort serial;
  QtScreen screen;
  // The main window is built while the radio answers the start-up greeting.
  StartUpPort port(serial, [&screen] { screen.buildMainWindow(); });
  QtDialogs dialogs(screen);
  dialogs.setBackupsFolder(app::defaultBackupsFolder().string());
  const DesktopArguments arguments = desktopArguments(QApplication::arguments());
  for (const std::string& warning : arguments.warnings) std::cerr << warning << '\n';
  app::TracedLink traced(port, clock, arguments.traceFile);
  if (traced.failed()) dialogs.message(app::errorBox(traced.failureMessage()));
  app::Services services{traced.port(), traced.clock(), dialogs, screen};
  services.backups = app::defaultBackupsFolder();
  services.history = app::defaultHistoryFile();
  app::Program program(std::move(services));
  app::startWithWindow(program);
  if (screen.quitRequested()) return 0;
  return QApplication::exec();
}

}  // namespace rcp::gui
