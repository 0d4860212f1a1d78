#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "link/user_folders.hpp"

namespace rcp::link {

UserEnvironment systemEnvironment() {
  return {[](const char* name) {
            const char* value = std::getenv(name);
            return std::string(value ? value : "");
          },
          [](const std::string& path) {
            std::error_code ec;
            return std::filesystem::is_regular_file(path, ec);
          }};
}

}  // namespace rcp::link
