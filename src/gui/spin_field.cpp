#include "gui/spin_field.hpp"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>

#include "gui/up_down_buttons.hpp"

namespace rcp::gui {

SpinField::SpinField(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), buttons_(new UpDownButtons(this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(edit_);
  row->addWidget(buttons_);
  setFocusProxy(edit_);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  edit_->installEventFilter(this);
  connect(buttons_, &UpDownButtons::up, this, [this] { emit stepRequested(+1); });
  connect(buttons_, &UpDownButtons::down, this, [this] { emit stepRequested(-1); });
}

bool SpinField::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
      emit stepRequested(key->key() == Qt::Key_Up ? +1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace rcp::gui
