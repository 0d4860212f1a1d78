#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Every file the tool writes goes through here: data files, Com.ini, backups, logs, traces and
// the virtual radio's memory. They hold the radios' passwords, so they are created private
// (0600, in folders made 0700) from their first byte; a saved file keeps the mode of the file it
// replaces. Only a regular file is ever written over: a symbolic link is followed to its target
// first, and a device, a FIFO, a socket or a folder there is refused, never replaced, opened for
// writing or waited on. Failures come back as a reason in Chinese (or the system's text) for the
// caller's message.
//
// One implementation a platform (private_files_posix.cpp, private_files_win32.cpp). On Windows the
// files are made in the user's own folders, whose inherited permissions keep them private; the
// modes below are POSIX's.
namespace rcp::link {

constexpr mode_t kPrivateFileMode = 0600;
constexpr mode_t kPrivateFolderMode = 0700;

// The reason given for anything but a regular file.
inline constexpr std::string_view kNotRegularReason = "它不是普通文件";

// The file a save of `file` writes: through any chain of symbolic links, their final target.
std::filesystem::path savedFile(std::filesystem::path file);

// Why `file` cannot take the tool's output (links resolved): it exists and is not a regular
// file. Nothing when it is a regular file or absent.
std::optional<std::string> outputRefusal(const std::filesystem::path& file);

// Opens an existing file for reading in binary, by its full name (wide on Windows); null on
// failure, with errno set.
std::FILE* openInputFile(const std::filesystem::path& file);

// Whether this user may create files in `folder`, as far as can be told without writing one;
// whether this user may list it and open its files.
bool folderTakesFiles(const std::filesystem::path& folder);
bool folderReadable(const std::filesystem::path& folder);

// Whether the two paths name the same existing file (device and inode, links resolved).
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Makes `folder` and every missing parent, each new one 0700.
[[nodiscard]] std::optional<std::string> makePrivateFolder(const std::filesystem::path& folder);

// A new folder of a random name in the system's temporary folder that only this user can enter;
// empty when none could be made.
std::filesystem::path makePrivateTemporaryFolder();

// Replaces `file` (links resolved) with `bytes` through a temporary file of a random name beside
// it, made 0600 and given the replaced file's mode before it is renamed over it; a new file gets
// `newMode`.
[[nodiscard]] std::optional<std::string> replaceFile(const std::filesystem::path& file,
                                                     std::string_view bytes,
                                                     mode_t newMode = kPrivateFileMode);

// Creates `file` (0600) with `bytes`; fails with EEXIST in `error` when anything is there, a
// symbolic link included, which is never followed.
struct NewFile {
  int error = 0;  // errno; 0 when written
  std::string reason;
};
[[nodiscard]] NewFile createNewFile(const std::filesystem::path& file, std::string_view bytes);

// A descriptor open for writing on a regular file (links resolved; created 0600 when absent),
// closed with the object.
class OutputFile {
 public:
  enum class Start { Empty, AtEnd };

  OutputFile(const std::filesystem::path& file, Start start);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  // Why it did not open.
  const std::string& reason() const { return reason_; }
  int fd() const { return fd_; }
  // The size of the file when it was opened.
  std::int64_t sizeAtOpen() const { return size_; }
  // The last byte of the file, if it has one.
  std::optional<char> lastByte() const;
  // Writes everything (a signal in between does not cut it short).
  bool write(std::string_view bytes);

 private:
  int fd_ = -1;
  std::int64_t size_ = 0;
  std::string reason_;
};

}  // namespace rcp::link
