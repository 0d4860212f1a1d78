#pragma once

// Keys and clicks sent the way a person's arrive: through the window system to a widget's window,
// which hands them on to the widget, rather than straight to the widget.

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <string>
#include <vector>

#include "gui/scripted_qt_dialogs.hpp"

namespace rcp::gui {

// A left click on the middle of a widget, delivered to its window.
inline void clickAsPerson(QWidget* widget, QPoint at = {}) {
  QWidget* window = widget->window();
  window->winId();
  const QPoint local = at.isNull() ? widget->rect().center() : at;
  QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, widget->mapTo(window, local));
}

// A key pressed and let go in a window, to whatever has its focus.
inline void keyAsPerson(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
  window->winId();
  QTest::keyClick(window->windowHandle(), key, modifiers);
}

// One way to answer a message box.
struct BoxAnswer {
  std::string name;
  std::function<void(QMessageBox*)> send;
};

inline QAbstractButton* labelled(QMessageBox* box, const char* text) {
  return buttonLabelled(box, QString::fromUtf8(text));
}

inline BoxAnswer byKey(std::string name, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
  return {std::move(name),
          [key, modifiers](QMessageBox* box) { keyAsPerson(box, key, modifiers); }};
}

inline BoxAnswer byClickOn(const char* caption) {
  return {std::string("click ") + caption, [caption](QMessageBox* box) {
            if (QAbstractButton* b = labelled(box, caption)) clickAsPerson(b);
          }};
}

// Answers every message box shown while it lives, each by the answer `choose` picks for it, and
// notes the boxes the answer did not close: those are closed from inside (as no person could), so
// that the test ends either way.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(std::function<BoxAnswer(QMessageBox*)> choose) : choose_(std::move(choose)) {
    QObject::connect(&look_, &QTimer::timeout, [this] { look(); });
    look_.start(5);
  }

  std::vector<QString> answered;   // each box's text, in the order shown
  std::vector<std::string> stuck;  // "answer: text" of each box that took no answer
  std::vector<QString> clicked;    // the caption of the button that ended each box

 private:
  void look() {
    QMessageBox* box = shownMessageBox();
    if (!box || !box->isVisible() || box->property("answered").toBool()) return;
    box->setProperty("answered", true);
    const BoxAnswer answer = choose_(box);
    answered.push_back(box->text());
    answer.send(box);
    // A button's shortcut clicks it the way Qt shows a click, a moment later.
    QElapsedTimer waited;
    waited.start();
    while (box->isVisible() && waited.elapsed() < kClickShownMs)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (box->isVisible()) {
      stuck.push_back(answer.name + ": " + box->text().toStdString());
      box->escapeButton()->click();
      clicked.push_back(QString());
      return;
    }
    clicked.push_back(box->clickedButton() ? box->clickedButton()->text() : QString());
  }

  static constexpr int kClickShownMs = 1000;
  std::function<BoxAnswer(QMessageBox*)> choose_;
  QTimer look_;
};

}  // namespace rcp::gui
