#pragma once

#include <string>
#include <string_view>

namespace rcp::link {

// Text crosses into and out of the program in the Simplified Chinese code page (CP936, a superset
// of GB2312); inside, all text is UTF-8. The code page is a table compiled into the program, the
// same on every platform: ASCII, 0x80 for the euro sign, and the two-byte codes (lead 0x81..0xFE,
// trail 0x40..0xFE) as the C library's iconv has them.

// Never fails: a byte sequence that is not CP936 becomes U+FFFD, one per offending byte.
std::string decodeCp936(std::string_view bytes);

// A character the code page cannot represent, or a byte that is not valid UTF-8, becomes '?';
// a language tag character (U+E0000..U+E007F) is dropped.
std::string encodeCp936(std::string_view utf8);

}  // namespace rcp::link
