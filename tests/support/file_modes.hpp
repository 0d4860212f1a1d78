#pragma once

namespace rcp::test {

// Whether the files the tool writes carry POSIX modes (0600 files in 0700 folders). On Windows
// the permissions of the user's own folders stand for them, and a file's mode says nothing.
#ifdef _WIN32
inline constexpr bool kFileModes = false;
#else
inline constexpr bool kFileModes = true;
#endif

}  // namespace rcp::test
