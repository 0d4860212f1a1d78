#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Texts inside the program are UTF-8; a path's own form is the platform's (bytes on POSIX, UTF-16
// on Windows, where a narrow path would go through the ANSI code page and lose Chinese names).
// Every path made from a text, and every text made from a path, goes through these two.
namespace rcp::link {

inline std::filesystem::path pathOf(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string textOf(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace rcp::link
