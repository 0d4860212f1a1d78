#include "link/line_text.hpp"

#include <algorithm>

namespace rcp::link {

std::string lineText(std::string_view text) {
  std::string line(text);
  std::replace_if(
      line.begin(), line.end(),
      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, ' ');
  return line;
}

}  // namespace rcp::link
