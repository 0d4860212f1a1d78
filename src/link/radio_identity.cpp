#include "link/radio_identity.hpp"

#include <algorithm>
#include <string_view>

#include "link/cp936.hpp"

namespace rcp::link {

std::string identityText(const RadioIdentity& identity) {
  const auto end = std::find(identity.begin(), identity.end(), std::uint8_t{0});
  const std::string decoded = decodeCp936(std::string(identity.begin(), end));
  std::string shown;
  for (const char c : decoded) {
    // In UTF-8 a byte below 0x80 is always a whole character.
    const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    if (control) {
      shown += "\xEF\xBF\xBD";
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace rcp::link
