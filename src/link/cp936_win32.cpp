// Stands in for cp936.cpp on Windows while that one goes through iconv, which mingw lacks:
// Windows' own code page 936, one character at a time, with the same replacements.
#include <windows.h>

#include "link/cp936.hpp"
#include "link/windows_text.hpp"

namespace rcp::link {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8
constexpr UINT kCp936 = 936;

// The character `bytes` (one or two bytes) stand for in code page 936, if any.
std::wstring decodeOne(std::string_view bytes) {
  wchar_t wide[2] = {};
  const int n = MultiByteToWideChar(kCp936, MB_ERR_INVALID_CHARS, bytes.data(),
                                    static_cast<int>(bytes.size()), wide, 2);
  return n == 1 ? std::wstring(wide, 1) : std::wstring();
}

std::size_t utf8Length(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text.front());
  std::size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  if (length > text.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

}  // namespace

std::string decodeCp936(std::string_view bytes) {
  std::string out;
  while (!bytes.empty()) {
    const auto lead = static_cast<unsigned char>(bytes.front());
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      bytes.remove_prefix(1);
      continue;
    }
    std::wstring wide = bytes.size() >= 2 ? decodeOne(bytes.substr(0, 2)) : std::wstring();
    std::size_t used = 2;
    if (wide.empty()) {
      wide = decodeOne(bytes.substr(0, 1));
      used = 1;
    }
    out += wide.empty() ? std::string(kReplacement) : utf8Of(wide);
    bytes.remove_prefix(used);
  }
  return out;
}

std::string encodeCp936(std::string_view utf8) {
  std::string out;
  while (!utf8.empty()) {
    const std::size_t length = utf8Length(utf8);
    const std::string_view character = utf8.substr(0, length);
    utf8.remove_prefix(length);
    if (static_cast<unsigned char>(character.front()) < 0x80) {
      out += character.front();
      continue;
    }
    const std::wstring wide = length > 1 ? wideOf(character) : std::wstring();
    char bytes[4] = {};
    BOOL lossy = FALSE;
    const int n = wide.empty() ? 0
                               : WideCharToMultiByte(kCp936, WC_NO_BEST_FIT_CHARS, wide.data(),
                                                     static_cast<int>(wide.size()), bytes,
                                                     sizeof bytes, nullptr, &lossy);
    if (n <= 0 || lossy) {
      out += '?';
      continue;
    }
    out.append(bytes, static_cast<std::size_t>(n));
  }
  return out;
}

}  // namespace rcp::link
