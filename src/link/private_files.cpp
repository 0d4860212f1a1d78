#include "link/private_files.hpp"

#include <system_error>

namespace rcp::link {

namespace fs = std::filesystem;

fs::path savedFile(fs::path file) {
  std::error_code ec;
  for (int links = 0; links < 40 && fs::is_symlink(file, ec); ++links) {
    const fs::path target = fs::read_symlink(file, ec);
    if (ec) break;
    file = target.is_absolute() ? target : file.parent_path() / target;
  }
  return file;
}

}  // namespace rcp::link
