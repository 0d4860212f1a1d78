#include "link/user_folders.hpp"

namespace rcp::link {

namespace {

constexpr const char* kToolFolder = "rcp520";
constexpr const char* kComIni = "Com.ini";
// Where earlier installations kept Com.ini on Windows.
constexpr const char* kLegacyComIni = "C:\\Com.ini";

struct Folder {
  const char* variable;  // the folder's own variable
  const char* home;      // else the home folder's variable
  const char* below;     // and the folder below it
};

// POSIX: XDG base directories. Windows: the roaming and local application data, else the same
// below the profile (a service or a stripped environment may lack the first).
constexpr Folder kPosixConfig{"XDG_CONFIG_HOME", "HOME", ".config"};
constexpr Folder kPosixState{"XDG_STATE_HOME", "HOME", ".local/state"};
constexpr Folder kWindowsConfig{"APPDATA", "USERPROFILE", "AppData\\Roaming"};
constexpr Folder kWindowsState{"LOCALAPPDATA", "USERPROFILE", "AppData\\Local"};

std::string toolFolder(Platform platform, const UserEnvironment& environment,
                       const Folder& folder) {
  std::string root = environment.variable(folder.variable);
  if (root.empty()) root = joinPath(platform, environment.variable(folder.home), folder.below);
  return joinPath(platform, root, kToolFolder);
}

}  // namespace

std::string joinPath(Platform platform, const std::string& folder, const std::string& name) {
  const char separator = platform == Platform::Windows ? '\\' : '/';
  if (folder.empty()) return name;
  const char last = folder.back();
  if (last == separator || (platform == Platform::Windows && last == '/')) return folder + name;
  return folder + separator + name;
}

std::string comIniPathOn(Platform platform, const UserEnvironment& environment) {
  if (platform == Platform::Posix)
    return joinPath(platform, toolFolder(platform, environment, kPosixConfig), kComIni);
  const std::string own =
      joinPath(platform, toolFolder(platform, environment, kWindowsConfig), kComIni);
  if (!environment.fileExists(own) && environment.fileExists(kLegacyComIni)) return kLegacyComIni;
  return own;
}

std::string homeFolderOn(Platform platform, const UserEnvironment& environment) {
  const bool windows = platform == Platform::Windows;
  const std::string first = environment.variable(windows ? "USERPROFILE" : "HOME");
  return first.empty() ? environment.variable(windows ? "HOME" : "USERPROFILE") : first;
}

std::string stateFolderOn(Platform platform, const UserEnvironment& environment) {
  return toolFolder(platform, environment,
                    platform == Platform::Windows ? kWindowsState : kPosixState);
}

}  // namespace rcp::link
