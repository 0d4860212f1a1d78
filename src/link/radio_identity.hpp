#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/commands.hpp"

namespace rcp::link {

// The radio's 18-byte answer to PROG, kept by the program for the whole run. Each greeting
// overwrites it with the bytes that arrive; when fewer arrive, the rest keeps what an earlier
// answer left. Bytes 3 to 5 identify the model; the others are only shown.
using RadioIdentity = std::array<std::uint8_t, kIdentityLength>;

// The identity as it is shown: the bytes up to the first zero byte, read in the program's
// code page. Whatever the bytes, the result is valid UTF-8; control characters and bytes that
// are not text become U+FFFD.
std::string identityText(const RadioIdentity& identity);

}  // namespace rcp::link
