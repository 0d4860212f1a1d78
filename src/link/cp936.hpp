#pragma once

#include <string>
#include <string_view>

namespace rcp::link {

// Text crosses into and out of the program in the Simplified Chinese code page (CP936, a superset
// of GB2312); inside, all text is UTF-8.

// Never fails: a byte sequence that is not CP936 becomes U+FFFD, one per offending byte.
std::string decodeCp936(std::string_view bytes);

// A character the code page cannot represent, or a byte that is not valid UTF-8, becomes '?'.
std::string encodeCp936(std::string_view utf8);

}  // namespace rcp::link
