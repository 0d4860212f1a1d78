#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "link/ini_document.hpp"

namespace rcp::link {

// A settings or data file that could not be read or written.
struct IniError {
  enum class Operation { Read, Write };
  Operation operation = Operation::Write;
  std::filesystem::path file;
  std::string reason;  // what the system said
  // The text for the standard error box; it names the file.
  std::string message() const;
};

struct IniLoad {
  IniDocument document;  // empty when the file is missing or could not be read
  std::optional<IniError> error;
};

// A missing file reads as an empty document, without an error.
IniLoad loadIniFile(const std::filesystem::path& file);

// Replaces the file as a whole: the text goes to a temporary file beside it, which then takes the
// file's place, so a failure leaves the old file untouched. The folder must exist.
std::optional<IniError> saveIniFile(const IniDocument& document, const std::filesystem::path& file);

// One key at a time, the way the classic profile functions work: reading gives `fallback` when the
// file, section or key is missing; writing updates the key in place and keeps every other line.
std::string readProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view fallback);
std::optional<IniError> writeProfileString(const std::filesystem::path& file,
                                           std::string_view section, std::string_view key,
                                           std::string_view value);

}  // namespace rcp::link
