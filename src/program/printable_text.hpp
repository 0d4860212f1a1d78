#pragma once

#include <string>
#include <string_view>

namespace rcp::app {

// The text with every control character (C0, DEL and C1) shown as "\xNN", so that nothing a
// message quotes (a file name, a value from a file) can move the cursor or clear the screen.
std::string printableText(std::string_view text);

}  // namespace rcp::app
