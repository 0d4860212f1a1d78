#pragma once

#include <filesystem>

#include "cli/command.hpp"

namespace rcp::app {

// "check" found a warning; "diff" found a difference.
inline constexpr int kExitFound = 1;

// "check": the data file opened as "打开文件" opens it and every field's leaving rule run over it
// (config_check.hpp). One line on `out` per warning: where the window shows the field, its value
// in quotes, the box's title in brackets and the message as the box shows it; then a line with
// the count. Nothing is printed for a file without warnings. Exit 0 without warnings, 1 with
// some, 2 when the file does not open (the open's message on `err`).
int cliCheck(const std::filesystem::path& file, const CliStreams& io);

}  // namespace rcp::app
