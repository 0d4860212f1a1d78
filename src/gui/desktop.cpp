#include "gui/desktop.hpp"

#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

#include "app/program.hpp"
#include "app/trace_setup.hpp"
#include "gui/fonts.hpp"
#include "gui/picture.hpp"
#include "gui/qt_chinese.hpp"
#include "gui/qt_dialogs.hpp"
#include "gui/qt_screen.hpp"
#include "link/clock.hpp"
#include "link/serial_port.hpp"

namespace rcp::gui {

namespace {

// The protocol trace's file: --trace FILE among the arguments Qt left, else RCP520_TRACE.
std::string traceFileOf(const QStringList& arguments) {
  std::vector<std::string> texts;
  for (const QString& argument : arguments) texts.push_back(argument.toLocal8Bit().toStdString());
  std::vector<std::string_view> args;
  for (std::size_t i = 1; i < texts.size(); ++i) args.emplace_back(texts[i]);
  return app::takeTraceOption(args).value_or(std::string());
}

}  // namespace

int runDesktop(int argc, char** argv) {
  QApplication app(argc, argv);
  installQtChinese();
  QApplication::setFont(applicationFont());
  QApplication::setWindowIcon(QIcon(radioPicture(QSize(32, 32))));
  // The main window's close box ends the program itself; hidden dialogs never do.
  QApplication::setQuitOnLastWindowClosed(false);

  link::RealClock clock;
  link::SerialPort port;
  QtScreen screen;
  QtDialogs dialogs(screen);
  app::TracedLink traced(port, clock, traceFileOf(QApplication::arguments()));
  if (traced.failed()) dialogs.message(app::errorBox(traced.failureMessage()));
  app::Program program(app::Services{traced.port(), traced.clock(), dialogs, screen});
  program.start();
  if (screen.quitRequested()) return 0;
  return QApplication::exec();
}

}  // namespace rcp::gui
