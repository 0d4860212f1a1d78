#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "link/private_files.hpp"

namespace rcp::link {

namespace fs = std::filesystem;

namespace {

std::string systemReason(int error) {
  return std::strerror(error);
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Opens without waiting for a reader (a FIFO) and without following a link planted since the
// name was resolved; the caller then makes sure that what opened is a regular file.
constexpr int kOutputFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

}  // namespace

std::FILE* openInputFile(const fs::path& file) {
  return std::fopen(file.c_str(), "rb");
}

bool folderTakesFiles(const fs::path& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool folderReadable(const fs::path& folder) {
  return ::access(folder.c_str(), R_OK | X_OK) == 0;
}

std::optional<std::string> outputRefusal(const fs::path& file) {
  struct stat info {};
  if (::lstat(savedFile(file).c_str(), &info) != 0) return std::nullopt;
  if (S_ISREG(info.st_mode)) return std::nullopt;
  return std::string(kNotRegularReason);
}

bool sameFile(const fs::path& a, const fs::path& b) {
  struct stat first {
  }, second{};
  if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

fs::path makePrivateTemporaryFolder() {
  std::error_code ec;
  std::string pattern = (fs::temp_directory_path(ec) / "rcp520-XXXXXX").string();
  if (ec || !::mkdtemp(pattern.data())) return {};  // mkdtemp makes it 0700
  return pattern;
}

std::optional<std::string> makePrivateFolder(const fs::path& folder) {
  if (folder.empty()) return std::nullopt;
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return std::nullopt;
  if (folder.has_parent_path() && folder.parent_path() != folder) {
    if (auto error = makePrivateFolder(folder.parent_path())) return error;
  }
  if (::mkdir(folder.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST)
    return folder.string() + "：" + systemReason(errno);
  if (!fs::is_directory(folder, ec)) return folder.string() + "：" + systemReason(ENOTDIR);
  return std::nullopt;
}

std::optional<std::string> replaceFile(const fs::path& file, std::string_view bytes,
                                       mode_t newMode) {
  const fs::path target = savedFile(file);
  struct stat existing {};
  const bool exists = ::lstat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return std::string(kNotRegularReason);

  std::string temporary = target.string() + ".tmp-XXXXXX";
  // mkstemp makes the file 0600 and never opens an existing name.
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return systemReason(errno);
  const mode_t mode = exists ? (existing.st_mode & 07777) : newMode;
  bool written = writeAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  int error = written ? 0 : errno;
  if (::close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && ::rename(temporary.c_str(), target.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (!written) {
    ::unlink(temporary.c_str());
    return systemReason(error);
  }
  return std::nullopt;
}

NewFile createNewFile(const fs::path& file, std::string_view bytes) {
  const int fd =
      ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kPrivateFileMode);
  if (fd < 0) return {errno, systemReason(errno)};
  const bool written = writeAll(fd, bytes);
  const int error = written ? 0 : errno;
  if (::close(fd) != 0 || !written) {
    ::unlink(file.c_str());
    return {error ? error : EIO, systemReason(error ? error : EIO)};
  }
  return {};
}

OutputFile::OutputFile(const fs::path& file, Start start) {
  const fs::path target = savedFile(file);
  if (auto refusal = outputRefusal(target)) {
    reason_ = *refusal;
    return;
  }
  // Appending reads the last byte back, to start on a line of its own.
  const int access = start == Start::AtEnd ? O_RDWR : O_WRONLY;
  const int fd = ::open(target.c_str(), access | kOutputFlags | O_CREAT, kPrivateFileMode);
  if (fd < 0) {
    reason_ = errno == ENXIO ? std::string(kNotRegularReason) : systemReason(errno);
    return;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    reason_ = kNotRegularReason;
    return;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  bool ready =
      flags >= 0 &&
      ::fcntl(fd, F_SETFL, (flags & ~O_NONBLOCK) | (start == Start::AtEnd ? O_APPEND : 0)) == 0;
  if (ready && start == Start::Empty) ready = ::ftruncate(fd, 0) == 0;
  if (!ready) {
    reason_ = systemReason(errno);
    ::close(fd);
    return;
  }
  fd_ = fd;
  size_ = start == Start::Empty ? 0 : static_cast<std::int64_t>(info.st_size);
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<char> OutputFile::lastByte() const {
  char byte = 0;
  if (fd_ < 0 || size_ == 0 || ::pread(fd_, &byte, 1, static_cast<off_t>(size_ - 1)) != 1)
    return std::nullopt;
  return byte;
}

bool OutputFile::write(std::string_view bytes) {
  return fd_ >= 0 && writeAll(fd_, bytes);
}

}  // namespace rcp::link
