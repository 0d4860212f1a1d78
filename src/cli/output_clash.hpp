#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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

}  // namespace rcp::app
