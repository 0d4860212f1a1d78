#include "gui/form_view.hpp"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <climits>

#include "gui/accessible_names.hpp"
#include "gui/admitted_text.hpp"
#include "gui/control_sync.hpp"
#include "gui/error_box.hpp"
#include "gui/grid_placement.hpp"
#include "gui/input_router.hpp"
#include "gui/qt_screen.hpp"
#include "gui/spin_field.hpp"
#include "gui/up_down_buttons.hpp"
#include "gui/widget_factory.hpp"
#include "ui/spoken_names.hpp"

namespace rcp::gui {

namespace {

using ui::ControlKind;

QString qt(const std::string& s) {
  return QString::fromStdString(s);
}

Qt::WindowFlags flagsFor(FormView::Role role) {
  const Qt::WindowFlags common = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (role == FormView::Role::Main) return Qt::Window | common | Qt::WindowMinimizeButtonHint;
  return Qt::Dialog | common;
}

// Tab moves through the boxes of one container as they are read: by row, then left to right; a
// group or panel among them is gone through whole where it stands, so that Tab never leaves a
// group before its last box. Returns the container's boxes in that order.
std::vector<QWidget*> inReadingOrder(
    std::vector<PlacedChild> placed,
    const std::map<const ui::Control*, std::vector<QWidget*>>& inner) {
  std::stable_sort(placed.begin(), placed.end(), [](const PlacedChild& a, const PlacedChild& b) {
    return std::pair(a.first->cell.row, a.first->cell.col) <
           std::pair(b.first->cell.row, b.first->cell.col);
  });
  std::vector<QWidget*> order;
  for (const auto& [control, widget] : placed) {
    if (const auto group = inner.find(control); group != inner.end())
      order.insert(order.end(), group->second.begin(), group->second.end());
    else if ((ui::takesInput(control->kind) || control->kind == ControlKind::Grid) &&
             widget->focusPolicy() != Qt::NoFocus)  // a table is read where it stands too
      order.push_back(focusTarget(widget));
  }
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
  return order;
}

}  // namespace

struct FormView::Built {
  std::vector<QWidget*> statusBars;
  std::set<const ui::Control*> controls;  // whose widgets were built
};

FormView::FormView(ui::Form& form, Role role)
    : QWidget(nullptr, flagsFor(role)), form_(form), role_(role) {
  setObjectName(qt(form.name()));
  build();
}

FormView::~FormView() = default;

QWidget* FormView::controlWidget(std::string_view name) const {
  if (!pendingPages_.empty()) const_cast<FormView*>(this)->buildPagesAround(name);
  return builtWidget(name);
}

// The pages around a control (itself, if it is one), outermost first.
void FormView::buildPagesAround(std::string_view name) {
  if (!form_.contains(name)) return;
  std::vector<std::string> pages;
  for (const ui::Control* c = &form_.at(name); c;
       c = c->parent.empty() ? nullptr : &form_.at(c->parent))
    if (c->kind == ControlKind::TabPage) pages.push_back(c->name);
  for (auto page = pages.rbegin(); page != pages.rend(); ++page) buildPage(*page);
}

QWidget* FormView::builtWidget(std::string_view name) const {
  auto it = widgets_.find(name);
  return it == widgets_.end() ? nullptr : it->second;
}

QTimer* FormView::timer(std::string_view name) const {
  auto it = timers_.find(name);
  return it == timers_.end() ? nullptr : it->second;
}

void FormView::build() {
  Built built;
  for (const auto& c : form_.controls()) children_[c.parent].push_back(&c);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* content = new QWidget(this);
  content_ = content;
  buildChildren(nullptr, content, built);
  column->addWidget(content, 1);
  for (QWidget* bar : built.statusBars) column->addWidget(bar);

  for (const auto& c : form_.controls())
    if (c.kind == ControlKind::Timer) connectTimer(c);
  finishControls(built);

  router_ = new InputRouter(form_, this);
  router_->watchAll();
  setWindowTitle(qt(form_.caption()));
  fixSize();

  QPointer<FormView> self(this);
  form_.addObserver([self](const ui::Control* control, ui::Property what) {
    if (self) self->follow(control, what);
  });
}

// The model's state on the widgets just built, in the form's order, and their signals connected.
void FormView::finishControls(const Built& built) {
  for (const auto& c : form_.controls()) {
    if (!built.controls.contains(&c)) continue;
    QWidget* widget = builtWidget(c.name);
    applyControl(widget, c);
    connectControl(c, widget);
    nameForListeners(widget, form_, c);
    // The label beside a box leads to it: its mnemonic, and a screen reader's "label for".
    if (const ui::Control* beside = ui::labelBeside(form_, c); beside && ui::takesInput(c.kind))
      if (auto* label = qobject_cast<QLabel*>(builtWidget(beside->name)))
        label->setBuddy(focusTarget(widget));
  }
}

void FormView::buildPage(const std::string& name) {
  const auto pending = pendingPages_.find(name);
  if (pending == pendingPages_.end()) return;
  QWidget* page = pending->second;
  pendingPages_.erase(pending);
  // Widgets made inside a page on the screen would stay hidden; made while it is hidden, they
  // show with it.
  const bool visible = page->isVisible();
  if (visible) page->hide();
  Built built;
  buildChildren(&form_.at(name), page, built);
  finishControls(built);
  if (router_)
    for (QWidget* w : page->findChildren<QWidget*>()) w->installEventFilter(router_);
  if (visible) page->show();
}

std::vector<QWidget*> FormView::buildChildren(const ui::Control* parent, QWidget* container,
                                              Built& built) {
  std::vector<PlacedChild> placed;
  std::map<const ui::Control*, std::vector<QWidget*>> inner;  // each group's boxes in order
  const WidgetOptions options{role_ == Role::Main};
  const auto it = children_.find(parent ? parent->name : std::string());
  const auto none = std::vector<const ui::Control*>();
  for (const ui::Control* c : it == children_.end() ? none : it->second) {
    if (c->kind == ControlKind::Timer) continue;
    QWidget* widget = createControlWidget(*c, container, options);
    widget->setProperty(InputRouter::kControlProperty, qt(c->name));
    widgets_.emplace(c->name, widget);
    built.controls.insert(c);
    switch (c->kind) {
      case ControlKind::StatusBar:
        built.statusBars.push_back(widget);
        break;
      case ControlKind::TabPage:
        if (parent && form_.activePage(parent->name) != c->name)
          pendingPages_.emplace(c->name, widget);
        else
          buildChildren(c, widget, built);
        break;
      case ControlKind::TabControl:
        buildChildren(c, widget, built);
        placed.emplace_back(c, widget);
        break;
      case ControlKind::GroupBox:
      case ControlKind::Panel:
        inner.emplace(c, buildChildren(c, widget, built));
        placed.emplace_back(c, widget);
        break;
      default:
        placed.emplace_back(c, widget);
    }
  }
  // A tab control holds pages, not a grid.
  if (qobject_cast<QTabWidget*>(container)) return {};
  placeInGrid(container, placed, gridMargin(parent));
  return inReadingOrder(placed, inner);
}

void FormView::connectControl(const ui::Control& c, QWidget* widget) {
  const std::string name = c.name;
  // Every change the user makes to a field's text (typing, pasting, dropping) comes here.
  const auto watchEdits = [this, name](QLineEdit* edit) {
    connect(edit, &QLineEdit::textEdited, this, [this, name, edit] {
      act([&] { form_.userType(name, admitUserEdit(form_, name, edit)); });
    });
  };
  switch (c.kind) {
    case ControlKind::Edit:
      watchEdits(qobject_cast<QLineEdit*>(widget));
      break;
    case ControlKind::ComboBox: {
      auto* combo = qobject_cast<QComboBox*>(widget);
      watchEdits(combo->lineEdit());
      connect(combo, &QComboBox::activated, this, [this, name](int index) {
        if (index >= 0) act([&] { form_.userSelect(name, index); });
      });
      break;
    }
    case ControlKind::SpinEdit: {
      auto* spin = qobject_cast<SpinField*>(widget);
      watchEdits(spin->lineEdit());
      connect(spin, &SpinField::stepRequested, this, [this, name](int direction) {
        act([&] {
          const ui::Control& control = form_.at(name);
          const long long next =
              static_cast<long long>(control.numericValue()) + direction * control.step;
          form_.userSetValue(name, static_cast<int>(std::clamp<long long>(next, INT_MIN, INT_MAX)));
        });
      });
      break;
    }
    case ControlKind::TrackBar:
      connect(qobject_cast<QSlider*>(widget), &QSlider::valueChanged, this,
              [this, name](int value) { act([&] { form_.userSetValue(name, value); }); });
      break;
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::Button:
      connect(qobject_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this,
              [this, name] { act([&] { form_.userClick(name); }); });
      break;
    case ControlKind::Grid: {
      auto* table = qobject_cast<QTableWidget*>(widget);
      if (c.selectableRows <= 0) break;
      // The rows chosen, the one the user reached last at the end.
      connect(table, &QTableWidget::itemSelectionChanged, this, [this, name, table] {
        const int current = table->currentRow();
        std::vector<std::size_t> rows;
        bool currentSelected = false;
        for (const QModelIndex& index : table->selectionModel()->selectedRows()) {
          if (index.row() == current)
            currentSelected = true;
          else
            rows.push_back(static_cast<std::size_t>(index.row()));
        }
        if (currentSelected) rows.push_back(static_cast<std::size_t>(current));
        act([&] { form_.userSelectRows(name, rows); });
      });
      break;
    }
    case ControlKind::UpDown: {
      auto* buttons = qobject_cast<UpDownButtons*>(widget);
      connect(buttons, &UpDownButtons::up, this,
              [this, name] { act([&] { form_.userUp(name); }); });
      connect(buttons, &UpDownButtons::down, this,
              [this, name] { act([&] { form_.userDown(name); }); });
      break;
    }
    case ControlKind::TabControl: {
      auto* tabs = qobject_cast<QTabWidget*>(widget);
      connect(tabs, &QTabWidget::currentChanged, this, [this, name, tabs](int index) {
        if (index < 0) return;
        const std::string page = tabs->widget(index)->objectName().toStdString();
        buildPage(page);
        act([&] { form_.userActivatePage(page); });
        // The form may refuse or choose another page; show the one it keeps.
        buildPage(form_.activePage(name));
        applyProperty(tabs, form_.at(name), ui::Property::ActivePage);
      });
      break;
    }
    default:
      break;
  }
}

void FormView::connectTimer(const ui::Control& c) {
  auto* timer = new QTimer(this);
  timer->setObjectName(qt(c.name));
  timer->setInterval(c.value);
  timers_.emplace(c.name, timer);
  const std::string name = c.name;
  connect(timer, &QTimer::timeout, this, [this, name] { act([&] { form_.userTimer(name); }); });
  if (c.enabled && c.value > 0) timer->start();
}

void FormView::follow(const ui::Control* control, ui::Property what) {
  if (!control) {
    followForm(what);
    return;
  }
  if (what == ui::Property::Focus) {
    focusControl(*control);
    return;
  }
  // The page about to show gets its widgets first.
  if (what == ui::Property::ActivePage) buildPage(control->text);
  if (QTimer* t = timer(control->name)) {
    t->setInterval(control->value);
    if (control->enabled && control->value > 0)
      t->start();
    else
      t->stop();
    return;
  }
  // A control on a page not built yet is shown as the model has it when the page is built.
  QWidget* widget = builtWidget(control->name);
  if (!widget) return;
  applyProperty(widget, *control, what);
  switch (what) {
    case ui::Property::Caption:
      if (control->announced) announce(widget);
      nameForListeners(widget, form_, *control);
      break;
    case ui::Property::Enabled:
      nameForListeners(widget, form_, *control);
      renameWithin(*control);
      break;
    case ui::Property::Hint:
    case ui::Property::SpokenName:
    case ui::Property::FontColor:
      nameForListeners(widget, form_, *control);
      break;
    default:
      break;
  }
}

void FormView::renameWithin(const ui::Control& container) {
  const auto inside = children_.find(container.name);
  if (inside == children_.end()) return;
  for (const ui::Control* c : inside->second) {
    if (QWidget* widget = builtWidget(c->name)) nameForListeners(widget, form_, *c);
    renameWithin(*c);
  }
}

void FormView::followForm(ui::Property what) {
  switch (what) {
    case ui::Property::FormCaption:
      setWindowTitle(qt(form_.caption()));
      break;
    case ui::Property::FormShown:
      showWindow();
      break;
    case ui::Property::FormClosed:
      hideWindow();
      if (modalLoop_) modalLoop_->quit();
      emit formClosed();
      break;
    default:
      break;
  }
}

void FormView::focusControl(const ui::Control& control) {
  // A control on a page behind another one: bring its pages forward, outermost first.
  std::vector<std::string> pages;
  for (const ui::Control* c = &control; c; c = c->parent.empty() ? nullptr : &form_.at(c->parent))
    if (c->kind == ControlKind::TabPage) pages.push_back(c->name);
  for (auto page = pages.rbegin(); page != pages.rend(); ++page) {
    const std::string& tabs = form_.at(*page).parent;
    if (form_.activePage(tabs) != *page) form_.userActivatePage(*page);
  }
  if (QWidget* widget = controlWidget(control.name)) widget->setFocus(Qt::OtherFocusReason);
}

void FormView::fixSize() {
  const int width = form_.clientWidth();
  const int height = form_.clientHeight();
  if (width > 0 && height > 0) {
    setFixedSize(width, height);
    return;
  }
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

// A window larger than the screen it is on (a small screen, or a large scale factor): its
// controls go into an area that scrolls, the status bar stays below it, and the window can be
// resized up to its full size. A window that fits is left exactly as it was.
void FormView::fitScreen(const QRect& available) {
  // The title bar and borders a window manager adds, estimated before the first showing.
  const QSize frame = frameGeometry().size() - size();
  const QSize room = available.size() - (frame.isEmpty() ? QSize(8, 32) : frame);
  const QSize full = size();
  if (full.width() <= room.width() && full.height() <= room.height()) return;
  layout()->activate();
  const QSize inner = content_->size();
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("ScrolledControls"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(false);
  delete layout()->replaceWidget(content_, scroll);
  content_->setFixedSize(inner);
  scroll->setWidget(content_);
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
  setMinimumSize(qMin(full.width(), 320), qMin(full.height(), 240));
  setMaximumSize(full + QSize(bar, bar));
  resize(qMin(full.width() + bar, room.width()), qMin(full.height() + bar, room.height()));
}

void FormView::showWindow() {
  if (!placed_) {
    // Centred once, on the owner for a dialog that has one, else on the screen; never past the
    // screen's edges.
    adjustSize();
    const QRect available = screen() ? screen()->availableGeometry() : QRect(QPoint(0, 0), size());
    fitScreen(available);
    const QWidget* owner = owner_ && owner_->isVisible() ? owner_.data() : nullptr;
    const QRect area = owner ? owner->frameGeometry() : available;
    QPoint at = area.center() - rect().center();
    at.setX(qBound(available.left(), at.x(), qMax(available.left(), available.right() - width())));
    at.setY(qBound(available.top(), at.y(), qMax(available.top(), available.bottom() - height())));
    move(at);
    placed_ = true;
  }
  if (owner_) {
    winId();
    if (QWindow* own = owner_->windowHandle()) windowHandle()->setTransientParent(own);
  }
  router_->setSuspended(false);
  show();
  raise();
  activateWindow();
}

void FormView::hideWindow() {
  router_->setSuspended(true);
  hide();
  router_->setSuspended(false);
}

void FormView::runModal() {
  setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  modalLoop_ = &loop;
  if (form_.isShowing())
    showWindow();
  else
    act([&] { form_.show(); });
  if (form_.isShowing() && isVisible()) loop.exec(QEventLoop::DialogExec);
  modalLoop_ = nullptr;
  if (isVisible()) hideWindow();
  setWindowModality(Qt::NonModal);
}

void FormView::closeEvent(QCloseEvent* event) {
  if (role_ == Role::Main) {
    // The program may ask first (unsaved changes) and stay; when it ends, nothing is sent to
    // the radio.
    bool mayClose = false;
    act([&] { mayClose = form_.userCloseQuery(); });
    if (!mayClose) {
      event->ignore();
      return;
    }
    event->accept();
    endEventLoops();
    return;
  }
  event->ignore();
  // A dialog may refuse too (one running a long operation).
  if (form_.isShowing())
    act([&] {
      if (form_.userCloseQuery()) form_.close();
    });
  else
    hideWindow();
}

void FormView::act(const std::function<void()>& action) {
  runReportingErrors(this, action);
}

}  // namespace rcp::gui
