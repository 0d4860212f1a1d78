// A window follows its form, and the user's actions on the widgets reach the form's rules.

#include "gui/form_view.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gui/spin_field.hpp"
#include "gui/status_panels.hpp"
#include "gui/up_down_buttons.hpp"
#include "ui/layout.hpp"

namespace rcp::gui {
namespace {

using ui::Event;

ui::FormSpec probeSpec() {
  ui::FormSpec windowLayout;
  windowLayout.name = "Probe";
  windowLayout.className = "TProbe";
  windowLayout.caption = "探针";
  ui::LayoutWriter w(windowLayout);
  w << ui::tabControl("Tabs", "", "PageA").at(0, 0);
  w << ui::tabPage("PageA", "Tabs", "第一页");
  w << ui::edit("Freq", "PageA").maxLength(7).text("3610250").at(0, 0);
  w << ui::checkBox("Switch", "PageA", "开关").at(0, 1);
  w << ui::groupBox("Group", "PageA", "方式").at(1, 0);
  w << ui::radioButton("R1", "Group", "标准型").checked().at(0, 0);
  w << ui::radioButton("R2", "Group", "增强型").at(0, 1);
  w << ui::label("Caption", "Group", "说明").hint("提示").at(1, 0);
  w << ui::comboBox("Choice", "PageA", {"甲", "乙", "丙"}, "甲").at(2, 0);
  w << ui::spinEdit("Count", "PageA", 0, 10, 5).step(2).at(2, 1);
  w << ui::trackBar("Level", "PageA", 0, 15, 3).at(3, 0);
  w << ui::upDown("Step", "PageA").at(3, 1);
  w << ui::picture("Pic", "PageA").at(4, 0);
  w << ui::progressBar("Progress", "PageA", 0, 100).at(4, 1);
  w << ui::button("Go", "PageA", "确定").defaultButton().at(5, 0);
  w << ui::button("Stop", "PageA", "取消").cancelButton().at(5, 1);
  w << ui::tabPage("PageB", "Tabs", "第二页");
  w << ui::edit("Far", "PageB").at(0, 0);
  w << ui::edit("Secret", "PageB").password().at(1, 0);
  w << ui::tabPage("PageHidden", "Tabs", "测试").hidden();
  w << ui::statusBar("Bar", "")
           .panel(100, ui::Align::Center, false, "左")
           .panel(80, ui::Align::Center, true, "");
  w << ui::timer("Tick", 20);
  return windowLayout;
}

void waitFor(const std::function<bool()>& done, int ms = 2000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void sendKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
  QWidget* target = QApplication::focusWidget();
  ASSERT_NE(target, nullptr) << "nothing has the focus";
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QCoreApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QCoreApplication::sendEvent(target, &release);
}

void type(const QString& text) {
  for (QChar c : text) sendKey(c.toUpper().unicode(), Qt::NoModifier, QString(c));
}

void doubleClick(QWidget* w) {
  const QPointF at(w->width() / 2.0, w->height() / 2.0);
  QMouseEvent event(QEvent::MouseButtonDblClick, at, w->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &event);
}

class FormViewTest : public ::testing::Test {
 protected:
  FormViewTest() : form(probeSpec()), view(form, FormView::Role::Dialog) {
    for (const char* name : {"Freq", "Switch", "R1", "R2", "Caption", "Choice", "Count", "Level",
                             "Pic", "Go", "Stop", "Far", "Bar", "Tick", "PageA", "PageB"}) {
      for (Event e :
           {Event::Exit, Event::Click, Event::Change, Event::DblClick, Event::Shown, Event::Timer})
        form.on(name, e, [this, e](ui::Control& c) { fired.push_back(c.name + "." + label(e)); });
    }
    form.on("Step", Event::Up, [this](ui::Control&) { fired.push_back("Step.Up"); });
    form.on("Step", Event::Down, [this](ui::Control&) { fired.push_back("Step.Down"); });
    view.show();
    view.activateWindow();
    waitFor([this] { return QApplication::activeWindow() == &view; });
  }

  static std::string label(Event e) {
    switch (e) {
      case Event::Exit:
        return "Exit";
      case Event::Click:
        return "Click";
      case Event::Change:
        return "Change";
      case Event::DblClick:
        return "DblClick";
      case Event::Shown:
        return "Shown";
      case Event::Timer:
        return "Timer";
      default:
        return "?";
    }
  }

  template <typename W>
  W* widget(const char* name) {
    auto* w = qobject_cast<W*>(view.controlWidget(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  void focusOn(const char* name) {
    view.controlWidget(name)->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    fired.clear();
  }

  int count(const std::string& event) const {
    return static_cast<int>(std::count(fired.begin(), fired.end(), event));
  }

  ui::Form form;
  FormView view;
  std::vector<std::string> fired;
};

TEST_F(FormViewTest, ShowsTheFormsStateAsBuilt) {
  EXPECT_EQ(view.windowTitle(), QStringLiteral("探针"));
  EXPECT_EQ(widget<QLineEdit>("Freq")->text(), QStringLiteral("3610250"));
  EXPECT_TRUE(widget<QRadioButton>("R1")->isChecked());
  EXPECT_EQ(widget<QComboBox>("Choice")->currentText(), QStringLiteral("甲"));
  EXPECT_EQ(widget<SpinField>("Count")->lineEdit()->text(), QStringLiteral("5"));
  EXPECT_EQ(widget<QSlider>("Level")->value(), 3);
  EXPECT_EQ(widget<QSlider>("Level")->maximum(), 15);
  EXPECT_EQ(widget<QLabel>("Caption")->toolTip(), QStringLiteral("提示"));
  EXPECT_EQ(widget<QLineEdit>("Secret")->echoMode(), QLineEdit::Password);
  auto* tabs = widget<QTabWidget>("Tabs");
  EXPECT_EQ(tabs->currentWidget()->objectName(), QStringLiteral("PageA"));
  EXPECT_FALSE(tabs->isTabVisible(2));
  EXPECT_EQ(widget<StatusPanels>("Bar")->panels().at(0).text, "左");
  ASSERT_NE(view.timer("Tick"), nullptr);
  EXPECT_EQ(view.timer("Tick")->interval(), 20);
}

TEST_F(FormViewTest, FollowsEveryChangeOfTheFormWithoutEchoingIt) {
  form.setText("Freq", "4000000");
  form.setText("Choice", "丙");
  form.setValue("Count", 8);
  form.setValue("Level", 9);
  form.setValue("Progress", 40);
  form.setCaption("Switch", "新开关");
  form.setEnabled("Freq", false);
  form.setVisible("Pic", false);
  form.setColor("Freq", ui::colors::InputLight);
  form.setFontColor("Caption", ui::colors::Navy);
  form.setItems("Choice", {"一", "二"});
  form.setPanelText("Bar", 1, "读取结束!");
  form.setVisible("PageHidden", true);
  form.setCaption("新标题");
  fired.clear();
  form.setChecked("R2", true);

  EXPECT_EQ(widget<QLineEdit>("Freq")->text(), QStringLiteral("4000000"));
  EXPECT_EQ(widget<SpinField>("Count")->lineEdit()->text(), QStringLiteral("8"));
  EXPECT_EQ(widget<QSlider>("Level")->value(), 9);
  EXPECT_EQ(widget<QProgressBar>("Progress")->value(), 40);
  EXPECT_EQ(widget<QCheckBox>("Switch")->text(), QStringLiteral("新开关"));
  EXPECT_FALSE(widget<QLineEdit>("Freq")->isEnabled());
  EXPECT_FALSE(view.controlWidget("Pic")->isVisibleTo(&view));
  const ui::Color light = ui::colors::InputLight;
  EXPECT_EQ(widget<QLineEdit>("Freq")->palette().color(QPalette::Base),
            QColor(ui::red(light), ui::green(light), ui::blue(light)));
  EXPECT_EQ(widget<QLabel>("Caption")->palette().color(QPalette::WindowText), QColor(0, 0, 128));
  EXPECT_EQ(widget<QComboBox>("Choice")->count(), 2);
  EXPECT_EQ(widget<QComboBox>("Choice")->currentText(), QStringLiteral("丙"));
  EXPECT_EQ(widget<StatusPanels>("Bar")->panels().at(1).text, "读取结束!");
  EXPECT_TRUE(widget<QTabWidget>("Tabs")->isTabVisible(2));
  EXPECT_EQ(view.windowTitle(), QStringLiteral("新标题"));
  EXPECT_TRUE(widget<QRadioButton>("R2")->isChecked());
  EXPECT_FALSE(widget<QRadioButton>("R1")->isChecked());
  // Only the form's own rule ran, once; nothing came back from the widgets.
  EXPECT_EQ(fired, std::vector<std::string>{"R2.Click"});

  form.setChecked("R2", false);  // the form may leave a group with no button checked
  EXPECT_FALSE(widget<QRadioButton>("R2")->isChecked());
  EXPECT_FALSE(widget<QRadioButton>("R1")->isChecked());
}

TEST_F(FormViewTest, TypingAndLeavingAnEditRunsItsRulesOnce) {
  focusOn("Freq");
  widget<QLineEdit>("Freq")->clear();
  fired.clear();
  type("12");
  EXPECT_EQ(form.text("Freq"), "12");
  EXPECT_EQ(count("Freq.Change"), 2);
  EXPECT_EQ(count("Freq.Exit"), 0);

  view.controlWidget("Far")->setFocus(Qt::TabFocusReason);  // lies on the other page
  view.controlWidget("Choice")->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
  EXPECT_EQ(count("Freq.Exit"), 1);
}

TEST_F(FormViewTest, ARuleThatPutsTheFocusBackKeepsTheUserInTheField) {
  form.on("Freq", Event::Exit, [this](ui::Control&) {
    fired.push_back("Freq.Exit");
    form.setFocus("Freq");
  });
  focusOn("Freq");
  view.controlWidget("Choice")->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), view.controlWidget("Freq"));
  EXPECT_EQ(fired, std::vector<std::string>{"Freq.Exit"});  // Choice was never entered
  EXPECT_EQ(form.focused(), "Freq");
}

TEST_F(FormViewTest, KeyFilterDiscardsOrReplacesKeysBeforeTheEditSeesThem) {
  form.onKey("Freq", [](ui::Control&, char32_t& key) {
    if (key == U'x') key = 0;
    if (key == U'a') key = U'9';
  });
  focusOn("Freq");
  widget<QLineEdit>("Freq")->clear();
  type("1x2a");
  sendKey(Qt::Key_Backspace);
  EXPECT_EQ(widget<QLineEdit>("Freq")->text(), QStringLiteral("12"));
  EXPECT_EQ(form.text("Freq"), "12");
}

TEST_F(FormViewTest, LengthLimitCountsAChineseCharacterAsTwo) {
  form.setText("Far", "");
  form.setMaxLength("Far", 4);
  form.setActivePage("PageB");
  focusOn("Far");
  type(QStringLiteral("中文字"));
  EXPECT_EQ(form.text("Far"), "中文");
}

TEST_F(FormViewTest, AltWithALetterGoesToTheWindowOnly) {
  std::vector<std::pair<char32_t, bool>> keys;
  form.onKeyDown([&](char32_t key, bool alt) { keys.emplace_back(key, alt); });
  focusOn("Freq");
  sendKey(Qt::Key_X, Qt::AltModifier, QStringLiteral("x"));
  sendKey(Qt::Key_T, Qt::AltModifier | Qt::ShiftModifier, QStringLiteral("T"));
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0], std::make_pair(U'X', true));
  EXPECT_EQ(keys[1], std::make_pair(U'T', true));
  EXPECT_EQ(widget<QLineEdit>("Freq")->text(), QStringLiteral("3610250"));
}

TEST_F(FormViewTest, ClicksLeaveTheNewStateToTheForm) {
  widget<QCheckBox>("Switch")->click();
  EXPECT_TRUE(form.checked("Switch"));
  EXPECT_TRUE(widget<QCheckBox>("Switch")->isChecked());
  EXPECT_EQ(count("Switch.Click"), 1);

  // A rule that undoes the change: the box shows what the form holds.
  form.on("Switch", Event::Click, [this](ui::Control&) { form.setChecked("Switch", true); });
  widget<QCheckBox>("Switch")->click();
  EXPECT_TRUE(form.checked("Switch"));
  EXPECT_TRUE(widget<QCheckBox>("Switch")->isChecked());

  widget<QRadioButton>("R2")->click();
  widget<QRadioButton>("R2")->click();  // already checked: nothing happens
  EXPECT_EQ(form.checkedRadio("Group"), "R2");
  EXPECT_FALSE(widget<QRadioButton>("R1")->isChecked());
  EXPECT_EQ(count("R2.Click"), 1);

  form.setEnabled("Go", false);
  widget<QPushButton>("Go")->click();
  form.setEnabled("Go", true);
  widget<QPushButton>("Go")->click();
  EXPECT_EQ(count("Go.Click"), 1);
}

TEST_F(FormViewTest, EnterAndEscPressTheDefaultAndCancelButtons) {
  focusOn("Freq");
  sendKey(Qt::Key_Return);
  sendKey(Qt::Key_Escape);
  EXPECT_EQ(fired, (std::vector<std::string>{"Go.Click", "Stop.Click"}));
}

TEST_F(FormViewTest, ComboSpinAndSliderReportTheUsersChoice) {
  emit widget<QComboBox>("Choice")->activated(2);
  EXPECT_EQ(form.text("Choice"), "丙");
  EXPECT_EQ(count("Choice.Change"), 1);

  auto* spin = widget<SpinField>("Count");
  spin->buttons()->upButton()->click();
  EXPECT_EQ(form.text("Count"), "7");
  focusOn("Count");
  sendKey(Qt::Key_Up);
  sendKey(Qt::Key_Up);  // clamped at the maximum
  EXPECT_EQ(spin->lineEdit()->text(), QStringLiteral("10"));
  spin->lineEdit()->clear();
  type("99");
  view.controlWidget("Freq")->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
  EXPECT_EQ(form.text("Count"), "10");  // leaving brings the typed value into range
  EXPECT_EQ(spin->lineEdit()->text(), QStringLiteral("10"));
  EXPECT_EQ(count("Count.Exit"), 1);

  widget<QSlider>("Level")->setValue(12);
  EXPECT_EQ(form.value("Level"), 12);
  EXPECT_EQ(count("Level.Change"), 1);

  auto* step = widget<UpDownButtons>("Step");
  step->upButton()->click();
  step->downButton()->click();
  EXPECT_EQ(count("Step.Up"), 1);
  EXPECT_EQ(count("Step.Down"), 1);
}

TEST_F(FormViewTest, DoubleClicksReachTheControlUnderTheMouseOnce) {
  doubleClick(view.controlWidget("Caption"));  // ignored by the label, passed to its group
  doubleClick(view.controlWidget("Pic"));
  doubleClick(view.controlWidget("Bar"));
  EXPECT_EQ(fired, (std::vector<std::string>{"Caption.DblClick", "Pic.DblClick", "Bar.DblClick"}));
}

TEST_F(FormViewTest, PagesFollowTheUserAndTheForm) {
  auto* tabs = widget<QTabWidget>("Tabs");
  tabs->setCurrentIndex(1);
  EXPECT_EQ(form.activePage("Tabs"), "PageB");
  EXPECT_EQ(count("PageB.Shown"), 1);

  form.setActivePage("PageA");
  EXPECT_EQ(tabs->currentIndex(), 0);
  EXPECT_EQ(count("PageA.Shown"), 1);
}

TEST_F(FormViewTest, APageBehindTheActiveOneGetsItsWidgetsWhenFirstShown) {
  auto* tabs = widget<QTabWidget>("Tabs");
  QWidget* pageB = tabs->widget(1);
  EXPECT_TRUE(pageB->findChildren<QWidget*>().isEmpty());
  // What the form changes meanwhile is there when the page is built.
  form.setText("Far", "1234");
  view.show();
  tabs->setCurrentIndex(1);  // the user's click
  QCoreApplication::processEvents();
  auto* far = pageB->findChild<QLineEdit*>(QStringLiteral("Far"));
  ASSERT_NE(far, nullptr);
  EXPECT_TRUE(far->isVisible());
  EXPECT_EQ(far->text(), QStringLiteral("1234"));
  EXPECT_EQ(view.controlWidget("Far"), far);
  // Its widgets reach the form's rules like the others.
  far->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
  QTest::keyClick(far, Qt::Key_End);
  QTest::keyClicks(far, QStringLiteral("5"));
  EXPECT_EQ(form.text("Far"), "12345");
}

TEST(FormViewPages, AControlAskedForByNameIsBuiltBehindTheActivePage) {
  ui::Form form(probeSpec());
  FormView view(form, FormView::Role::Dialog);
  view.show();
  QWidget* secret = view.controlWidget("Secret");
  ASSERT_NE(secret, nullptr);
  EXPECT_EQ(qobject_cast<QLineEdit*>(secret)->echoMode(), QLineEdit::Password);
  EXPECT_FALSE(secret->isVisible());
  EXPECT_EQ(form.activePage("Tabs"), "PageA");
  form.setActivePage("PageB");
  EXPECT_TRUE(secret->isVisible());
}

TEST_F(FormViewTest, FocusRequestBringsTheControlsPageForward) {
  form.setFocus("Far");
  EXPECT_EQ(widget<QTabWidget>("Tabs")->currentWidget()->objectName(), QStringLiteral("PageB"));
  EXPECT_EQ(form.activePage("Tabs"), "PageB");
  EXPECT_EQ(count("PageB.Shown"), 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), view.controlWidget("Far"));
}

TEST_F(FormViewTest, TimerRunsWhileEnabled) {
  waitFor([this] { return count("Tick.Timer") >= 2; });
  EXPECT_GE(count("Tick.Timer"), 2);
  form.setEnabled("Tick", false);
  EXPECT_FALSE(view.timer("Tick")->isActive());
  form.setEnabled("Tick", true);
  EXPECT_TRUE(view.timer("Tick")->isActive());
}

TEST_F(FormViewTest, ShownAndClosedByTheForm) {
  view.hide();
  form.show();
  EXPECT_TRUE(view.isVisible());
  view.close();  // the close box closes the form, which hides the window
  EXPECT_FALSE(form.isShowing());
  EXPECT_FALSE(view.isVisible());
}

}  // namespace
}  // namespace rcp::gui
