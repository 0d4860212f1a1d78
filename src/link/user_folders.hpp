#pragma once

#include <functional>
#include <string>

// Where the tool keeps this user's settings (Com.ini) and state (backups): the choice as plain
// text over an environment, so that either platform's choice can be checked anywhere; the system's
// own environment comes from user_folders_posix.cpp or user_folders_win32.cpp.
namespace rcp::link {

enum class Platform { Posix, Windows };

#ifdef _WIN32
inline constexpr Platform kThisPlatform = Platform::Windows;
#else
inline constexpr Platform kThisPlatform = Platform::Posix;
#endif

struct UserEnvironment {
  // An environment variable's value in UTF-8; empty when it is unset.
  std::function<std::string(const char* name)> variable;
  // Whether a plain file is at the path (UTF-8).
  std::function<bool(const std::string& path)> fileExists;
};

// The running system's environment.
UserEnvironment systemEnvironment();

// The name the user logged in with, as the service history records who did it; empty when the
// system does not say.
std::string loginName();

// Com.ini. POSIX: ${XDG_CONFIG_HOME:-$HOME/.config}/rcp520/Com.ini. Windows:
// %APPDATA%\rcp520\Com.ini, or C:\Com.ini when that one exists and the first does not (where
// earlier installations kept it).
std::string comIniPathOn(Platform platform, const UserEnvironment& environment);

// The folder of the tool's state (backups). POSIX: ${XDG_STATE_HOME:-$HOME/.local/state}/rcp520.
// Windows: %LOCALAPPDATA%\rcp520.
std::string stateFolderOn(Platform platform, const UserEnvironment& environment);

// The user's home folder, where file dialogs start: $HOME (else %USERPROFILE%); on Windows
// %USERPROFILE% (else $HOME, as a POSIX shell sets it). Empty when neither is set.
std::string homeFolderOn(Platform platform, const UserEnvironment& environment);

// `name` inside `folder` with the platform's separator; `name` alone for an empty folder.
std::string joinPath(Platform platform, const std::string& folder, const std::string& name);

}  // namespace rcp::link
