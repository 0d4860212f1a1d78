#pragma once

#include <string>
#include <string_view>

// Windows only: UTF-8 inside the program, UTF-16 at the Windows API.
namespace rcp::link {

std::wstring wideOf(std::string_view utf8);
std::string utf8Of(std::wstring_view wide);

// The file name Windows opens for a port: "COM7" as "\\.\COM7" (needed from COM10 on, harmless
// below); a name already in that form stays as it is.
std::wstring deviceFileOf(std::string_view device);

// The system's words for a Windows error code (GetLastError), in UTF-8, without the line end.
std::string windowsErrorText(unsigned long error);

}  // namespace rcp::link
