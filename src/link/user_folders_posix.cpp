#include <pwd.h>
#include <unistd.h>

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

std::string loginName() {
  if (const passwd* user = ::getpwuid(::geteuid()); user && user->pw_name) return user->pw_name;
  const char* name = std::getenv("USER");
  return name ? name : "";
}

}  // namespace rcp::link
