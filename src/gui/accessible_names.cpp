#include "gui/accessible_names.hpp"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

#include "gui/spin_field.hpp"
#include "gui/status_panels.hpp"
#include "ui/spoken_names.hpp"

namespace rcp::gui {

namespace {

QAccessibleInterface* ownRoles(const QString& className, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget) return nullptr;
  if (className == QLatin1String(SpinField::staticMetaObject.className()))
    return new QAccessibleWidget(widget, QAccessible::SpinBox);
  if (className == QLatin1String(StatusPanels::staticMetaObject.className()))
    return new QAccessibleWidget(widget, QAccessible::StatusBar);
  return nullptr;
}

void installOwnRoles() {
  static const bool installed = [] {
    QAccessible::installFactory(ownRoles);
    return true;
  }();
  (void)installed;
}

}  // namespace

void announce(QWidget* widget) {
  QAccessibleEvent alert(widget, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
}

QWidget* focusTarget(QWidget* widget) {
  if (auto* spin = qobject_cast<SpinField*>(widget)) return spin->lineEdit();
  return widget;
}

void nameForListeners(QWidget* widget, const ui::Form& form, const ui::Control& control) {
  installOwnRoles();
  const bool named = ui::takesInput(control.kind) || control.kind == ui::ControlKind::Grid ||
                     control.kind == ui::ControlKind::ProgressBar ||
                     control.kind == ui::ControlKind::RichText;
  if (!widget || !named) return;
  const QString name = QString::fromStdString(ui::spokenName(form, control));
  const QString description = QString::fromStdString(ui::spokenDescription(form, control));
  QWidget* inner = focusTarget(widget);
  if (auto* combo = qobject_cast<QComboBox*>(widget)) inner = combo->lineEdit();
  for (QWidget* w : {widget, inner}) {
    if (!w) continue;
    if (w->accessibleName() != name) w->setAccessibleName(name);
    if (w->accessibleDescription() != description) w->setAccessibleDescription(description);
  }
}

}  // namespace rcp::gui
