#include "gui/desktop.hpp"

#include <QApplication>
#include <QIcon>

#include "app/program.hpp"
#include "gui/fonts.hpp"
#include "gui/picture.hpp"
#include "gui/qt_chinese.hpp"
#include "gui/qt_dialogs.hpp"
#include "gui/qt_screen.hpp"
#include "gui/start_up_port.hpp"
#include "link/clock.hpp"
#include "link/serial_port.hpp"

namespace rcp::gui {

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
  QApplication app(argc, argv);
  prepareApplication();

  link::RealClock clock;
  link::SerialPort serial;
  QtScreen screen;
  // The main window is built while the radio answers the start-up greeting.
  StartUpPort port(serial, [&screen] { screen.buildMainWindow(); });
  QtDialogs dialogs(screen);
  app::Program program(app::Services{port, clock, dialogs, screen});
  program.start();
  if (screen.quitRequested()) return 0;
  return QApplication::exec();
}

}  // namespace rcp::gui
