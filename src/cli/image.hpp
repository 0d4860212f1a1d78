#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "cli/command.hpp"

namespace rcp::app {

// "image": the write transfer of `file` into a blank virtual radio of the model (on a virtual
// clock, in process), then the radio's memory printed as memoryListing shows it.
int cliImage(std::string_view model, const std::filesystem::path& file, const CliStreams& io);

// 64 lines of 16 bytes: the address as four upper-case hexadecimal digits, ": ", the bytes as 32
// upper-case hexadecimal digits.
std::string memoryListing(const std::array<std::uint8_t, 1024>& memory);

}  // namespace rcp::app
