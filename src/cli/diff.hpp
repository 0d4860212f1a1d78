#pragma once

#include <filesystem>
#include <string>

#include "cli/command.hpp"

namespace rcp::app {

// A side named this is the radio, read from `device`.
inline constexpr const char* kRadioSide = "radio";

struct DiffRequest {
  std::filesystem::path a;
  std::filesystem::path b;
  bool image = false;          // compare the memories a write of each leaves
  std::string model = "HX33";  // the radio model of those memories
  std::string device = {};     // the radio's serial device
  // The service history a side names by an event's id ("#12" or "12" where no such file is);
  // empty: sides are files or the radio only.
  std::filesystem::path history = {};
};

// "diff": two configurations, each a data file opened as "打开文件" opens it or the radio read as
// "read" reads it, compared key by key as their saves would write them (config_diff.hpp): a
// heading per tab of the main window, then one line per key that differs or that only one side
// carries, then a line with the count. A field the radio does not keep is shown as "电台不保存"
// on its side and is no difference. With `image`, the memories a write of each data file leaves
// in a blank radio of the model (as "image" makes them), one line per byte that differs: its
// address, both bytes and what it belongs to; a history entry's side is then the memory the entry
// kept (what the read found or the write left). Nothing is printed when the two are equal. Exit 0
// when equal, 1 when they differ, 2 when a file does not open (its message on `err`) or the
// request cannot be met; a radio that does not answer or a read that fails end it as "read"
// does.
int cliDiff(const DiffRequest& request, const CliStreams& io);

}  // namespace rcp::app
