#pragma once

#include <string>

class QLineEdit;

namespace rcp::ui {
class Form;
}

namespace rcp::gui {

// What a field keeps of a change the user made to its text. A typed key has passed the
// control's key filter before the field saw it; text that arrives any other way (Ctrl+V,
// Shift+Insert, the context menu, the middle button, a drop, an input method) is filtered here
// afterwards, character by character as if typed, and what would pass the maximum length (in
// code-page bytes, a Chinese character taking two) is cut off. A paste of which nothing is
// admitted changes nothing; deleting is never refused. Text set from code never comes here.
//
// Reads the change against the text the form holds, puts the admitted text back into the edit
// (without signals) when it differs, and returns it.
std::string admitUserEdit(ui::Form& form, const std::string& control, QLineEdit* edit);

}  // namespace rcp::gui
