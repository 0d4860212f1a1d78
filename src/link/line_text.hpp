#pragma once

#include <string>
#include <string_view>

namespace rcp::link {

// A text as one line of a text file may hold it: every control character (0x00-0x1F, 0x7F) is a
// space, so that a value can never end its line or start a section of an INI file. In UTF-8 and
// in the code page these bytes only ever stand for themselves.
std::string lineText(std::string_view text);

}  // namespace rcp::link
