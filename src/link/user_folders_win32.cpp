#include <windows.h>

#include <cstdlib>

#include "link/user_folders.hpp"
#include "link/windows_text.hpp"

namespace rcp::link {

UserEnvironment systemEnvironment() {
  return {[](const char* name) {
            const wchar_t* value = _wgetenv(wideOf(name).c_str());
            return value ? utf8Of(value) : std::string();
          },
          [](const std::string& path) {
            const DWORD attributes = GetFileAttributesW(wideOf(path).c_str());
            return attributes != INVALID_FILE_ATTRIBUTES &&
                   (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
          }};
}

std::string loginName() {
  wchar_t name[257];  // UNLEN + 1
  DWORD size = sizeof name / sizeof name[0];
  return GetUserNameW(name, &size) ? utf8Of(name) : std::string();
}

}  // namespace rcp::link
