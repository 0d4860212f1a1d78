#pragma once

#include "ui/form.hpp"

// The boxes of the settings fields take their start (text, number, check state, chosen button)
// and their length limit from the field registry when the main window is created; its layout
// only places them.
namespace rcp::settings {

ui::FormSpec withFieldStarts(ui::FormSpec mainWindow);

}  // namespace rcp::settings
