#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.hpp"

// A command's outputs (the trace, the fleet's log, the file a read saves) checked against its
// inputs before anything is opened for writing: an output that is an input would empty or spoil
// it before it is read.
namespace rcp::app {

struct NamedFile {
  const char* what;  // "跟踪文件", "数据文件", ...
  std::filesystem::path file;
};

// The first output that is the same file as an input or as another output (device and inode,
// links resolved), as a message; nothing when none is. Empty paths are left out.
std::optional<std::string> outputClash(const std::vector<NamedFile>& outputs,
                                       const std::vector<NamedFile>& inputs);

// The names the commands give their files in a clash.
inline constexpr const char* kTraceFile = "跟踪文件";
inline constexpr const char* kDataFile = "数据文件";

// An output that is an input, or two outputs that are one file, end the command before anything
// is opened for writing: true when they do, the clash said on io.err.
bool outputsClash(const std::vector<NamedFile>& outputs, const std::vector<NamedFile>& inputs,
                  const CliStreams& io);

}  // namespace rcp::app
