#pragma once

#include <QString>
#include <QWidget>

#include "ui/control.hpp"
#include "ui/form.hpp"

namespace rcp::gui {

// Shows one property of a control on its widget. The widget's signals are blocked meanwhile,
// so nothing echoes back to the form.
void applyProperty(QWidget* widget, const ui::Control& control, ui::Property what);

// Shows every property of a control on its freshly built widget.
void applyControl(QWidget* widget, const ui::Control& control);

// A caption as a button, check box or group box shows it: an ampersand is a plain character,
// never a keyboard mnemonic.
QString plainCaption(const std::string& caption);

}  // namespace rcp::gui
