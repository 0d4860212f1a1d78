#pragma once

#include <functional>

class QWidget;

namespace rcp::gui {

// Runs an action on behalf of the user. An error that escapes it (a form without an error
// sink lets its handlers' errors through) is shown in a plain error box with the application's
// title as caption, and the program goes on.
void runReportingErrors(QWidget* owner, const std::function<void()>& action);

}  // namespace rcp::gui
