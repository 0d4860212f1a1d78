#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "link/ini_document.hpp"
#include "link/private_files.hpp"

namespace rcp::link {

// The largest settings or data file read: far above any real one, far below what a device or a
// runaway file would make us swallow.
inline constexpr std::uintmax_t kMaxIniFileSize = 16 * 1024 * 1024;

// What is at a file's path. Only a plain file of at most kMaxIniFileSize bytes is read or
// replaced: a pipe could block for ever, a device be read for ever, and a folder is no file.
enum class FileCheck { Absent, Usable, NotPlainFile, TooLarge };
FileCheck checkFile(const std::filesystem::path& file);

// A settings or data file that could not be read or written.
struct IniError {
  enum class Operation { Read, Write };
  IniError(Operation op, std::filesystem::path path, std::string systemReason = {},
           std::string why = {})
      : operation(op),
        file(std::move(path)),
        reason(std::move(systemReason)),
        explanation(std::move(why)) {}

  Operation operation = Operation::Write;
  std::filesystem::path file;
  std::string reason;       // what the system said
  std::string explanation;  // why, in the user's words, where the program knows it
  // The text for the standard error box; it names the file, and says why where it can.
  std::string message() const;
};

struct IniLoad {
  IniDocument document;  // empty when the file is missing or could not be read
  std::optional<IniError> error;
};

// A missing file reads as an empty document, without an error; anything but a plain file of a
// sane size is not read (an error that says so).
IniLoad loadIniFile(const std::filesystem::path& file);

// Why a save into `file` would fail, as far as can be told without writing it (a device or a
// FIFO, a read-only file, a folder that does not take a file), in the user's words; nothing when
// it looks possible.
std::optional<IniError> saveRefusal(const std::filesystem::path& file);

// Replaces the file as a whole: the text goes to a temporary file beside it, which then takes the
// file's place, so a failure leaves the old file untouched. The folder must exist.
[[nodiscard]] std::optional<IniError> saveIniFile(const IniDocument& document,
                                                  const std::filesystem::path& file);

// One key at a time, the way the classic profile functions work: reading gives `fallback` when the
// file, section or key is missing; writing updates the key in place and keeps every other line.
std::string readProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view fallback);
[[nodiscard]] std::optional<IniError> writeProfileString(const std::filesystem::path& file,
                                                         std::string_view section,
                                                         std::string_view key,
                                                         std::string_view value);

}  // namespace rcp::link
