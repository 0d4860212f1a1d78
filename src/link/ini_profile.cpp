#include "link/ini_profile.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "link/path_text.hpp"

namespace rcp::link {

namespace {

std::string systemReason(int error) {
  return std::strerror(error);
}

}  // namespace

FileCheck checkFile(const std::filesystem::path& file) {
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  if (status.type() == std::filesystem::file_type::not_found) return FileCheck::Absent;
  if (!std::filesystem::is_regular_file(status)) return FileCheck::NotPlainFile;
  const auto size = std::filesystem::file_size(file, ec);
  return !ec && size <= kMaxIniFileSize ? FileCheck::Usable : FileCheck::TooLarge;
}

std::string IniError::message() const {
  std::string text =
      (operation == Operation::Read ? "无法读取文件“" : "无法写入文件“") + link::textOf(file) + "”";
  if (!explanation.empty()) text += "：" + explanation;
  return text;
}

IniLoad loadIniFile(const std::filesystem::path& file) {
  switch (checkFile(file)) {
    case FileCheck::Absent:
      return {};
    case FileCheck::NotPlainFile:
      return {IniDocument(), IniError{IniError::Operation::Read, file, "", "它不是普通文件"}};
    case FileCheck::TooLarge:
      return {IniDocument(), IniError{IniError::Operation::Read, file, "", "文件太大"}};
    case FileCheck::Usable:
      break;
  }
  // Plain C streams: a read error is a value, not an exception.
  std::FILE* in = openInputFile(file);
  if (in == nullptr) {
    const int error = errno;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return {};
    return {IniDocument(), IniError{IniError::Operation::Read, file, systemReason(error)}};
  }
  std::string bytes;
  char buffer[8192];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, n);
  const int error = std::ferror(in) ? errno : 0;
  std::fclose(in);
  if (error != 0)
    return {IniDocument(), IniError{IniError::Operation::Read, file, systemReason(error)}};
  return {IniDocument(bytes), std::nullopt};
}

std::optional<IniError> saveRefusal(const std::filesystem::path& file) {
  std::error_code ec;
  const std::filesystem::path target = savedFile(file);
  const auto existing = std::filesystem::status(target, ec);
  if (std::filesystem::exists(existing)) {
    if (!std::filesystem::is_regular_file(existing))
      return IniError{IniError::Operation::Write, file, "", std::string(kNotRegularReason)};
    // A file marked read-only is not replaced, although its folder would allow it (and root
    // could write it).
    if ((existing.permissions() & std::filesystem::perms::owner_write) ==
        std::filesystem::perms::none)
      return IniError{IniError::Operation::Write, file, systemReason(EACCES), "文件是只读的"};
  }
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  if (!folderTakesFiles(folder))
    return IniError{IniError::Operation::Write, file, systemReason(errno),
                    "无法在文件夹“" + link::textOf(folder) + "”中存储"};
  return std::nullopt;
}

std::optional<IniError> saveIniFile(const IniDocument& document,
                                    const std::filesystem::path& file) {
  // Replace what a symbolic link points at, not the link itself.
  const std::filesystem::path target = savedFile(file);
  if (auto refusal = saveRefusal(target)) {
    refusal->file = file;
    return refusal;
  }
  if (auto reason = replaceFile(target, document.fileBytes()))
    return IniError{IniError::Operation::Write, file, *reason};
  return std::nullopt;
}

std::string readProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view fallback) {
  return loadIniFile(file).document.value(section, key, fallback);
}

std::optional<IniError> writeProfileString(const std::filesystem::path& file,
                                           std::string_view section, std::string_view key,
                                           std::string_view value) {
  IniLoad load = loadIniFile(file);
  if (load.error) {
    load.error->operation = IniError::Operation::Write;
    return load.error;
  }
  load.document.set(section, key, value);
  return saveIniFile(load.document, file);
}

}  // namespace rcp::link
