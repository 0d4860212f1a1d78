#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/form.hpp"

// What a screen reader says for a control: its name as the window shows it, then the group boxes
// around it, innermost first ("TA，时间常数"); and what it says after the name.
namespace rcp::ui {

// Whether the user types into, chooses or presses the control.
bool takesInput(ControlKind kind);

// The label just left of a box, in the same container and row; null when there is none.
const Control* labelBeside(const Form& form, const Control& box);

// A label's caption without the colon that leads to its box.
std::string withoutColon(std::string caption);

// Whether the control can be used as far as the form goes: it and every group, panel and page
// around it enabled.
bool enabledWithin(const Form& form, const Control& control);

// The captions of the tab pages (when asked) and group boxes around a control, outermost first.
std::vector<std::string> placeOf(const Form& form, std::string_view control, bool withPages);

// The spoken name: the control's own spokenName when the program set one; else its caption (a
// button, check box, radio button), or the label beside it, or in a table of boxes its row's label
// and its column's heading; then the group boxes around it, innermost first, joined by "，".
std::string spokenName(const Form& form, const Control& control);

// The words after the name: the hint (or the hint of the label beside it), and what a colour
// alone would tell (the chosen preset, a field that cannot be set, itself or in a disabled group).
std::string spokenDescription(const Form& form, const Control& control);

}  // namespace rcp::ui
