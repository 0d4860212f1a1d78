// rcp520-screenshot OUTDIR: renders every window of the program into OUTDIR as PNG files,
// <window>.png, or <window>-<page>.png for each page of a window with tabs (hidden pages
// included); ComSet_Form-devices.png shows the port dialog with two serial devices listed.
// rcp520-screenshot --program FILE.png: starts the whole program as the desktop tool does (the
// port of Com.ini, greeting and identification) and renders its main window once it shows.
// Runs without a display: QT_QPA_PLATFORM=offscreen.

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/fonts.hpp"
#include "gui/form_view.hpp"
#include "gui/qt_dialogs.hpp"
#include "gui/qt_screen.hpp"
#include "link/clock.hpp"
#include "link/serial_port.hpp"
#include "program/program.hpp"
#include "settings/field_starts.hpp"
#include "ui/form.hpp"
#include "ui/layouts/layouts.hpp"
#include "window/bind.hpp"

namespace {

using rcp::gui::FormView;
using rcp::ui::ControlKind;
using rcp::ui::Form;
using rcp::ui::FormSpec;

bool save(FormView& view, const QDir& dir, const QString& name) {
  QCoreApplication::processEvents();
  const QString path = dir.filePath(name + QStringLiteral(".png"));
  if (!view.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

bool shoot(const FormSpec& windowLayout, FormView::Role role, const QDir& dir) {
  Form form(windowLayout);
  FormView view(form, role);
  view.show();
  const QString window = QString::fromStdString(form.name());
  bool ok = true;
  bool paged = false;
  for (const auto& tabs : form.controls()) {
    if (tabs.kind != ControlKind::TabControl) continue;
    for (const auto* page : form.children(tabs.name)) {
      if (page->kind != ControlKind::TabPage) continue;
      paged = true;
      form.setVisible(page->name, true);
      form.setActivePage(page->name);
      ok = save(view, dir, window + QLatin1Char('-') + QString::fromStdString(page->name)) && ok;
    }
  }
  if (!paged) ok = save(view, dir, window);
  return ok;
}

// The port dialog as a machine with a USB adaptor and an ACM modem shows it.
bool shootPortDevices(const QDir& dir) {
  Form form(rcp::ui::layouts::comSetForm());
  FormView view(form, FormView::Role::Dialog);
  view.show();
  const std::vector<std::string> devices = {"u-blox GNSS receiver (ttyACM0)",
                                            "FT232R USB UART (ttyUSB0)"};
  const std::vector<std::string> shown = {"/dev/ttyS0", "FT232R USB UART (ttyUSB0)",
                                          "/dev/ttyS2（不存在）", "/dev/ttyS3（不存在）"};
  for (int n = 1; n <= 4; ++n) {
    const std::string box = "ComDevice" + std::to_string(n);
    form.setItems(box, devices);
    form.setText(box, shown[static_cast<std::size_t>(n - 1)]);
  }
  bool ok = save(view, dir, QStringLiteral("ComSet_Form-devices"));
  // And its list opened: the dialog with the popup drawn over it.
  auto* combo = qobject_cast<QComboBox*>(view.controlWidget("ComDevice2"));
  if (!combo) return false;
  combo->showPopup();
  QCoreApplication::processEvents();
  QPixmap picture = view.grab();
  QWidget* popup = combo->view()->window();
  QPainter painter(&picture);
  painter.drawPixmap(popup->mapToGlobal(QPoint(0, 0)) - view.mapToGlobal(QPoint(0, 0)),
                     popup->grab());
  painter.end();
  combo->hidePopup();
  const QString path = dir.filePath(QStringLiteral("ComSet_Form-devices-list.png"));
  if (!picture.save(path)) return false;
  std::printf("%s\n", qPrintable(path));
  return ok;
}

int shootProgram(const char* file) {
  rcp::link::RealClock clock;
  rcp::link::SerialPort port;
  rcp::gui::QtScreen screen;
  rcp::gui::QtDialogs dialogs(screen);
  rcp::app::Program program(rcp::app::Services{port, clock, dialogs, screen});
  rcp::app::startWithWindow(program);
  QCoreApplication::processEvents();
  FormView& view = screen.view(program.mainForm());
  if (!view.grab().save(QString::fromLocal8Bit(file))) {
    std::fprintf(stderr, "cannot write %s\n", file);
    return 1;
  }
  std::printf("%s\n", file);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool program = argc == 3 && std::string_view(argv[1]) == "--program";
  if (argc != 2 && !program) {
    std::fprintf(stderr, "usage: %s OUTDIR | --program FILE.png\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setFont(rcp::gui::applicationFont());
  if (program) return shootProgram(argv[2]);
  QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  namespace layouts = rcp::ui::layouts;
  const std::vector<std::function<FormSpec()>> dialogs = {
      layouts::passwordForm,  layouts::error1Form,   layouts::comSetForm,
      layouts::writeDataForm, layouts::versionForm,  layouts::simplexSet,
      layouts::otherGrpSet,   layouts::sysLableform, layouts::fleetForm};
  bool ok = shoot(rcp::settings::withFieldStarts(layouts::mainForm()), FormView::Role::Main, dir);
  for (const auto& windowLayout : dialogs)
    ok = shoot(windowLayout(), FormView::Role::Dialog, dir) && ok;
  ok = shootPortDevices(dir) && ok;
  return ok ? 0 : 1;
}
