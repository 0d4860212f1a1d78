#include "gui/up_down_buttons.hpp"

#include <QToolButton>
#include <QVBoxLayout>

namespace rcp::gui {

namespace {

constexpr int kButtonWidth = 16;

QToolButton* arrowButton(Qt::ArrowType arrow, QWidget* parent) {
  auto* button = new QToolButton(parent);
  // Said by a screen reader; the keyboard's Up and Down do the same in the field.
  button->setAccessibleName(arrow == Qt::UpArrow ? QStringLiteral("增大") : QStringLiteral("减小"));
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setFixedWidth(kButtonWidth);
  button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
  button->setIconSize(QSize(7, 7));
  return button;
}

}  // namespace

UpDownButtons::UpDownButtons(QWidget* parent)
    : QWidget(parent),
      up_(arrowButton(Qt::UpArrow, this)),
      down_(arrowButton(Qt::DownArrow, this)) {
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);
  box->addWidget(up_);
  box->addWidget(down_);
  setFixedWidth(kButtonWidth);
  setMinimumHeight(18);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  connect(up_, &QToolButton::clicked, this, &UpDownButtons::up);
  connect(down_, &QToolButton::clicked, this, &UpDownButtons::down);
}

}  // namespace rcp::gui
