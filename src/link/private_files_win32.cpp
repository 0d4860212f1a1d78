#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#include "link/path_text.hpp"
#include "link/private_files.hpp"
#include "link/windows_text.hpp"

// The files are made in this user's own folders, whose inherited permissions keep them private;
// Windows has no file modes to set. The rest holds as on POSIX: only a regular file is written
// over, a save goes through a temporary file of a random name, and a backup never replaces
// anything.
namespace rcp::link {

namespace fs = std::filesystem;

namespace {

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const int n = ::_write(fd, bytes.data(), static_cast<unsigned int>(bytes.size()));
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool writeAll(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written == 0)
      return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// Creates `file` anew (never over anything there, never through a link) for writing.
HANDLE createNew(const fs::path& file) {
  return CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

int errnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_ACCESS_DENIED:
      return EACCES;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_DISK_FULL:
      return ENOSPC;
    default:
      return EIO;
  }
}

std::string randomSuffix() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  std::string suffix;
  for (int i = 0; i < 12; ++i) suffix += kLetters[random() % (sizeof kLetters - 1)];
  return suffix;
}

bool isDirectory(const fs::path& folder) {
  std::error_code ec;
  return fs::is_directory(folder, ec);
}

}  // namespace

std::FILE* openInputFile(const fs::path& file) {
  return ::_wfopen(file.c_str(), L"rb");
}

bool folderTakesFiles(const fs::path& folder) {
  return isDirectory(folder);
}

bool folderReadable(const fs::path& folder) {
  return isDirectory(folder);
}

std::optional<std::string> outputRefusal(const fs::path& file) {
  std::error_code ec;
  const auto status = fs::symlink_status(savedFile(file), ec);
  if (ec || !fs::exists(status) || fs::is_regular_file(status)) return std::nullopt;
  return std::string(kNotRegularReason);
}

bool sameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec) && !ec;
}

fs::path makePrivateTemporaryFolder() {
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);  // the user's own %TEMP%
  if (ec) return {};
  for (int attempt = 0; attempt < 10; ++attempt) {
    fs::path folder = base / pathOf("rcp520-" + randomSuffix());
    if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

std::optional<std::string> makePrivateFolder(const fs::path& folder) {
  if (folder.empty() || isDirectory(folder)) return std::nullopt;
  if (folder.has_parent_path() && folder.parent_path() != folder) {
    if (auto error = makePrivateFolder(folder.parent_path())) return error;
  }
  if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    return textOf(folder) + "：" + windowsErrorText(GetLastError());
  if (!isDirectory(folder)) return textOf(folder) + "：" + std::strerror(ENOTDIR);
  return std::nullopt;
}

std::optional<std::string> replaceFile(const fs::path& file, std::string_view bytes, mode_t) {
  const fs::path target = savedFile(file);
  if (auto refusal = outputRefusal(target)) return refusal;
  fs::path temporary = target;
  temporary += pathOf(".tmp-" + randomSuffix());
  const HANDLE handle = createNew(temporary);
  if (handle == INVALID_HANDLE_VALUE) return windowsErrorText(GetLastError());
  bool written = writeAll(handle, bytes) && FlushFileBuffers(handle);
  DWORD error = written ? 0 : GetLastError();
  CloseHandle(handle);
  if (written && !MoveFileExW(temporary.c_str(), target.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    written = false;
    error = GetLastError();
  }
  if (!written) {
    DeleteFileW(temporary.c_str());
    return windowsErrorText(error);
  }
  return std::nullopt;
}

NewFile createNewFile(const fs::path& file, std::string_view bytes) {
  const HANDLE handle = createNew(file);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return {errnoOf(error), windowsErrorText(error)};
  }
  const bool written = writeAll(handle, bytes);
  const DWORD error = written ? 0 : GetLastError();
  CloseHandle(handle);
  if (!written) {
    DeleteFileW(file.c_str());
    return {errnoOf(error), windowsErrorText(error)};
  }
  return {};
}

OutputFile::OutputFile(const fs::path& file, Start start) {
  const fs::path target = savedFile(file);
  if (auto refusal = outputRefusal(target)) {
    reason_ = *refusal;
    return;
  }
  const int access = start == Start::AtEnd ? (_O_RDWR | _O_APPEND) : (_O_WRONLY | _O_TRUNC);
  int fd = -1;
  if (::_wsopen_s(&fd, target.c_str(), access | _O_CREAT | _O_BINARY | _O_NOINHERIT, _SH_DENYNO,
                  _S_IREAD | _S_IWRITE) != 0) {
    reason_ = std::strerror(errno);
    return;
  }
  struct _stat64 info {};
  if (::_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
    ::_close(fd);
    reason_ = kNotRegularReason;
    return;
  }
  fd_ = fd;
  size_ = start == Start::Empty ? 0 : info.st_size;
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::_close(fd_);
}

std::optional<char> OutputFile::lastByte() const {
  char byte = 0;
  if (fd_ < 0 || size_ == 0) return std::nullopt;
  const auto position = ::_telli64(fd_);
  const bool read =
      ::_lseeki64(fd_, size_ - 1, SEEK_SET) == size_ - 1 && ::_read(fd_, &byte, 1) == 1;
  ::_lseeki64(fd_, position, SEEK_SET);
  if (!read) return std::nullopt;
  return byte;
}

bool OutputFile::write(std::string_view bytes) {
  return fd_ >= 0 && writeAll(fd_, bytes);
}

}  // namespace rcp::link
