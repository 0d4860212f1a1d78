#include "program/printable_text.hpp"

namespace rcp::app {

namespace {

std::string escaped(unsigned char byte) {
  constexpr const char* kHex = "0123456789ABCDEF";
  return {'\\', 'x', kHex[byte >> 4], kHex[byte & 0x0F]};
}

}  // namespace

std::string printableText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                    (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
    if (byte < 0x20 || byte == 0x7F) {
      out += escaped(byte);
    } else if (c1) {
      out += escaped(static_cast<unsigned char>(text[++i]));
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace rcp::app
