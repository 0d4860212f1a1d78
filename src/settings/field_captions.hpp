#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "settings/program_state.hpp"

// How the windows name a field of the settings record, for the messages about it: by the caption
// of the label beside its box. A box without a label of its own is named by what the window shows
// for it: a numbered row by its list and number, a cell of a grid by its row and column, the far
// end of a range by the range, a box on a dialog by that dialog's label. A field no window names
// keeps its own name.
namespace rcp::settings {

std::string fieldCaption(const ProgramState& state, std::string_view field);

// Where the user finds a field, as "tab › group › caption": the tab page and group boxes around
// its box on the main window (for a field of a dialog, around the button that opens it, then the
// dialog's title), then its caption. A check box is named by its own caption, a radio choice by
// its buttons' captions. A field no window shows keeps its own name.
std::string fieldPath(const ProgramState& state, std::string_view field);

// Gives each field's box on the main window the name a screen reader says for it: the caption of
// its path, then its group boxes innermost first ("用户信息 › 时间常数 › TA" is "TA，时间常数");
// the tab page is said as the page is entered.
void nameFieldBoxes(ProgramState& state);
// The same for the boxes of a dialog that keeps fields, each named by its field's caption.
void nameDialogBoxes(ProgramState& state, ui::Form& dialog,
                     const std::function<std::string(std::string_view box)>& fieldOfBox);

}  // namespace rcp::settings
