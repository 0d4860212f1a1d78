#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "cli/command.hpp"

namespace rcp::app {

using RadioMemory = std::array<std::uint8_t, 1024>;

// The memory a write of `file` leaves in a radio of the model: the write transfer into a blank
// virtual radio of that model, in process on a virtual clock, from the program on the terminal
// (the open's warnings and failures on io.err, as "write" shows them; the line traced into
// io.trace when that names a file). `memory` is set when the result is kExitDone; an unknown
// model, a file that does not open or a trace that cannot be written give kExitUsageFileOrPort,
// a failed write kExitNoRadioOrFailed.
int writtenImage(std::string_view model, const std::filesystem::path& file, const CliStreams& io,
                 RadioMemory& memory);

}  // namespace rcp::app
