// The port dialog on the Qt front end: the devices of a fake machine listed beside the port names,
// one of them rcp520-radio on a pseudo-terminal; choosing it writes [ComDevices] and greets the
// radio. The dialog with two devices listed is checked for clipping and, when
// RCP520_SCREENSHOT_DIR is set, saved there as ComSet_Form-devices.png.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <optional>

#include "e2e/processes.hpp"
#include "gui/form_view.hpp"
#include "gui/input_router.hpp"
#include "gui/qt_dialogs.hpp"
#include "gui/qt_screen.hpp"
#include "link/clock.hpp"
#include "link/com_ini.hpp"
#include "link/ini_profile.hpp"
#include "link/serial_port.hpp"
#include "program/program.hpp"
#include "support/fake_system.hpp"
#include "support/temp_dir.hpp"
#include "window/bind.hpp"

namespace rcp::gui {
namespace {

// Message boxes are recorded (nothing waits for a click); modal windows run as in the program.
class RecordingQtDialogs final : public ui::Dialogs {
 public:
  explicit RecordingQtDialogs(QtScreen& screen) : qt_(screen) {}
  std::vector<ui::Message> messages;

  ui::MessageResult message(const ui::Message& m) override {
    messages.push_back(m);
    return ui::MessageResult::Ok;
  }
  void showModal(ui::Form& form) override { qt_.showModal(form); }
  std::optional<std::string> openFile(const ui::FileDialogRequest&) override { return {}; }
  std::optional<std::string> saveFile(const ui::FileDialogRequest&) override { return {}; }

 private:
  QtDialogs qt_;
};

// Controls that stick out of their container, and combo texts wider than their field.
std::vector<std::string> clipped(const FormView& view) {
  std::vector<std::string> problems;
  for (const QWidget* w : view.findChildren<QWidget*>()) {
    if (!w->isVisibleTo(&view) || !w->property(InputRouter::kControlProperty).isValid()) continue;
    const std::string name = InputRouter::controlOf(w);
    if (const QWidget* parent = w->parentWidget();
        parent && !parent->rect().contains(w->geometry()))
      problems.push_back(name + " sticks out");
    if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
      const QLineEdit* edit = combo->lineEdit();
      const int needed = edit->fontMetrics().horizontalAdvance(edit->text());
      if (needed > edit->contentsRect().width() - 4)
        problems.push_back(name + ": \"" + edit->text().toStdString() + "\" needs " +
                           std::to_string(needed) + " px");
    }
  }
  return problems;
}

TEST(ComDevicesGui, ChoosingTheRadiosAdaptorWritesComDevicesAndGreetsTheRadio) {
  test::TempDir folder;
  test::FakeSystem machine(folder / "machine");
  e2e::RadioProcess radio({"--model", "HX77"});
  machine.addUsb({"ttyUSB0", "1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI",
                  "ftdi_sio", "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"},
                 radio.device());
  machine.addUsb(
      {"ttyACM0", "1-3", "1546", "01a8", "u-blox AG", "u-blox GNSS receiver", "", "cdc_acm", ""});
  const std::string byId =
      (machine.roots().dev / "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0").string();
  const std::string gone = (folder / "gone").string();
  std::ofstream(folder / "Com.ini")
      << "[ComStatus]\r\nComport=COM2\r\n[ComDevices]\r\nCOM2=" << gone << "\r\n";

  link::SerialPort port;
  link::RealClock clock;
  QtScreen screen;
  RecordingQtDialogs dialogs(screen);
  app::Program program(
      app::Services{port, clock, dialogs, screen, folder / "Com.ini", machine.roots()});
  app::startWithWindow(program);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "通讯口被占用");
  EXPECT_EQ(dialogs.messages[0].detail, "设备 " + gone + " 不存在，请检查数据线是否插好。");

  ui::Form& comSet = *program.state().comSet;
  FormView* view = screen.findView(comSet);
  FormView* main = screen.findView(program.mainForm());
  ASSERT_NE(view, nullptr);
  ASSERT_NE(main, nullptr);
  QStringList items;
  QString shownBefore;
  std::vector<std::string> problems;
  bool chosen = false;
  QTimer::singleShot(0, qApp, [&] {
    auto* combo = qobject_cast<QComboBox*>(view->controlWidget("ComDevice2"));
    for (int i = 0; combo && i < combo->count(); ++i) items << combo->itemText(i);
    shownBefore = combo ? combo->currentText() : QString();
    const int index = combo ? combo->findText(QStringLiteral("FT232R USB UART (ttyUSB0)")) : -1;
    if (index >= 0) {
      combo->setCurrentIndex(index);
      emit combo->activated(index);  // the user's choice from the list
      chosen = true;
    }
    QCoreApplication::processEvents();
    problems = clipped(*view);
    if (const QByteArray shots = qgetenv("RCP520_SCREENSHOT_DIR"); !shots.isEmpty())
      view->grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/ComSet_Form-devices.png"));
    qobject_cast<QAbstractButton*>(view->controlWidget("ComSet_OK"))->click();
  });
  // Should anything above fail, the dialog still closes. The timer ends with the test: one left
  // on the application would close this test's dialog, long gone, in the middle of a later test.
  QTimer failsafe;
  failsafe.setSingleShot(true);
  QObject::connect(&failsafe, &QTimer::timeout, [&] {
    if (comSet.isShowing()) comSet.close();
  });
  failsafe.start(30000);
  qobject_cast<QAbstractButton*>(main->controlWidget("ComSet"))->click();

  EXPECT_EQ(items, (QStringList{QStringLiteral("u-blox GNSS receiver (ttyACM0)"),
                                QStringLiteral("FT232R USB UART (ttyUSB0)")}));
  EXPECT_EQ(shownBefore, QString::fromStdString(gone + "（不存在）"));
  EXPECT_TRUE(chosen);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(link::readProfileString(folder / "Com.ini", "ComDevices", "COM2", ""), byId);
  EXPECT_EQ(link::readPortName(folder / "Com.ini"), "COM2");
  EXPECT_TRUE(port.isOpen());
  EXPECT_EQ(program.mainForm().at("StatusBar").panels.at(2).text, "欢迎使用HX77双工手持台!");
  EXPECT_EQ(program.mainForm().caption(), "HX77双工手持台参数设置");
  EXPECT_EQ(dialogs.messages.size(), 1u) << "no box after the greeting";
  EXPECT_FALSE(view->isVisible());
}

}  // namespace
}  // namespace rcp::gui
