#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "sim/virtual_radio.hpp"

namespace rcp::sim {

// A virtual radio's memory kept between runs: the 1024 bytes as they are, nothing else.

// Fills `memory` from the file when it exists; a shorter file leaves the rest as it was.
void loadMemoryFile(const std::filesystem::path& file, VirtualRadio::Memory& memory);

// Replaces the file as a whole (through a temporary file beside it), so a process killed while
// saving leaves the previous contents; the error text says what failed.
[[nodiscard]] std::optional<std::string> saveMemoryFile(const std::filesystem::path& file,
                                                        const VirtualRadio::Memory& memory);

}  // namespace rcp::sim
