// The test tab end to end on the real widgets and the in-process radio: what the technician
// aligns goes to the radio, and a later read shows what the radio holds.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "gui/form_view.hpp"
#include "gui/qt_screen.hpp"
#include "gui/spin_field.hpp"
#include "gui/up_down_buttons.hpp"
#include "program/program.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"
#include "support/fake_services.hpp"
#include "support/temp_dir.hpp"
#include "window/bind.hpp"

namespace rcp::gui {
namespace {

TEST(TestTabRoundTrip, AlignedValuesComeBackFromTheRadio) {
  link::VirtualClock clock;
  sim::VirtualRadio radio(*sim::identityOfModel("HX77"));
  sim::SimulatedPort port(radio, clock);
  test::FakeDialogs dialogs;  // the password is typed into the dialog's form
  QtScreen screen;
  test::TempDir folder;
  app::Program program(app::Services{port, clock, dialogs, screen, folder / "Com.ini"});
  app::startWithWindow(program);
  FormView* main = screen.findView(program.mainForm());
  main->activateWindow();
  QCoreApplication::processEvents();
  const auto settle = [&] {  // the technician takes a moment between actions
    clock.pause(1000);
    QCoreApplication::processEvents();
  };

  dialogs.onModal = [](ui::Form& f) {
    if (f.name() != "Password_Form") return;
    f.userType("PassWords", "qorvel");
    f.userClick("Ok_Button");
  };
  QTest::mouseDClick(main->controlWidget("TestOpen"), Qt::LeftButton);
  settle();
  auto* tabs = qobject_cast<QTabWidget*>(main->controlWidget("HomeControlPage"));
  ASSERT_EQ(tabs->currentWidget()->objectName(), QStringLiteral("Test"));

  auto* vr1 = qobject_cast<SpinField*>(main->controlWidget("VR1"));
  ASSERT_NE(vr1, nullptr);
  vr1->lineEdit()->setFocus(Qt::MouseFocusReason);
  vr1->lineEdit()->selectAll();
  QTest::keyClicks(vr1->lineEdit(), "9");
  settle();
  auto* vrsq = qobject_cast<UpDownButtons*>(main->controlWidget("CSpinButton1"));
  ASSERT_NE(vrsq, nullptr);
  for (int i = 0; i < 3; ++i) QTest::mouseClick(vrsq->upButton(), Qt::LeftButton);
  settle();
  EXPECT_EQ(qobject_cast<QLineEdit*>(main->controlWidget("VRSQ"))->text(), QStringLiteral("3"));

  tabs->setCurrentWidget(main->controlWidget("NormalSet"));  // leave the tab: the radio idles
  settle();
  // Show other values than the radio holds, so the read has something to change.
  program.mainForm().setText("VR1", "2");
  program.mainForm().setText("VRSQ", "0");
  settle();
  QTest::mouseClick(main->controlWidget("ReadData"), Qt::LeftButton);
  settle();

  EXPECT_EQ(vr1->lineEdit()->text(), QStringLiteral("9"));
  EXPECT_EQ(qobject_cast<QLineEdit*>(main->controlWidget("VRSQ"))->text(), QStringLiteral("3"));
  EXPECT_EQ(program.state().main->at("StatusBar").panels.at(2).text, "读取结束!");
}

}  // namespace
}  // namespace rcp::gui
