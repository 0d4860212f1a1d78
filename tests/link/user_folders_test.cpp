// Where Com.ini and the state folder are, for either platform, over a made-up environment.

#include "link/user_folders.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "link/com_ini.hpp"

namespace rcp::link {
namespace {

struct Case {
  const char* what;
  Platform platform;
  std::map<std::string, std::string> variables;
  std::set<std::string> files;  // the plain files that exist
  std::string comIni;
  std::string state;
  std::string home = {};
};

UserEnvironment environmentOf(const Case& c) {
  return {[&c](const char* name) {
            const auto found = c.variables.find(name);
            return found == c.variables.end() ? std::string() : found->second;
          },
          [&c](const std::string& path) { return c.files.contains(path); }};
}

const std::vector<Case> kCases = {
    {"posix: XDG folders",
     Platform::Posix,
     {{"XDG_CONFIG_HOME", "/tmp/cfg"}, {"XDG_STATE_HOME", "/tmp/st/"}, {"HOME", "/home/li"}},
     {},
     "/tmp/cfg/rcp520/Com.ini",
     "/tmp/st/rcp520",
     "/home/li"},
    {"posix: below HOME",
     Platform::Posix,
     {{"HOME", "/home/li"}, {"USERPROFILE", "C:\\li"}},
     {},
     "/home/li/.config/rcp520/Com.ini",
     "/home/li/.local/state/rcp520",
     "/home/li"},
    {"posix: no HOME at all stays relative, as before",
     Platform::Posix,
     {},
     {},
     ".config/rcp520/Com.ini",
     ".local/state/rcp520"},
    {"posix: C:\\Com.ini means nothing",
     Platform::Posix,
     {{"HOME", "/h"}},
     {"C:\\Com.ini"},
     "/h/.config/rcp520/Com.ini",
     "/h/.local/state/rcp520",
     "/h"},
    {"windows: application data",
     Platform::Windows,
     {{"APPDATA", "C:\\Users\\李\\AppData\\Roaming"},
      {"LOCALAPPDATA", "C:\\Users\\李\\AppData\\Local"}},
     {},
     "C:\\Users\\李\\AppData\\Roaming\\rcp520\\Com.ini",
     "C:\\Users\\李\\AppData\\Local\\rcp520"},
    {"windows: only the old C:\\Com.ini is read",
     Platform::Windows,
     {{"APPDATA", "C:\\Users\\li\\AppData\\Roaming"}},
     {"C:\\Com.ini"},
     "C:\\Com.ini",
     "AppData\\Local\\rcp520"},
    {"windows: the user's own Com.ini wins over C:\\Com.ini",
     Platform::Windows,
     {{"APPDATA", "C:\\Users\\li\\AppData\\Roaming\\"}},
     {"C:\\Com.ini", "C:\\Users\\li\\AppData\\Roaming\\rcp520\\Com.ini"},
     "C:\\Users\\li\\AppData\\Roaming\\rcp520\\Com.ini",
     "AppData\\Local\\rcp520"},
    {"windows: without APPDATA, below the profile",
     Platform::Windows,
     {{"USERPROFILE", "D:\\profiles\\li"}, {"HOME", "/home/li"}},
     {},
     "D:\\profiles\\li\\AppData\\Roaming\\rcp520\\Com.ini",
     "D:\\profiles\\li\\AppData\\Local\\rcp520",
     "D:\\profiles\\li"},
    {"windows: XDG and HOME mean nothing",
     Platform::Windows,
     {{"XDG_CONFIG_HOME", "/tmp/cfg"}, {"HOME", "/home/li"}, {"LOCALAPPDATA", "E:/local/"}},
     {},
     "AppData\\Roaming\\rcp520\\Com.ini",
     "E:/local/rcp520",
     "/home/li"},
};

TEST(UserFolders, ComIniStateAndHomeFolderForEachPlatform) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const UserEnvironment environment = environmentOf(c);
    EXPECT_EQ(comIniPathOn(c.platform, environment), c.comIni);
    EXPECT_EQ(stateFolderOn(c.platform, environment), c.state);
    EXPECT_EQ(homeFolderOn(c.platform, environment), c.home);
  }
}

TEST(UserFolders, PortNamesStandForRealPortsOnWindowsOnly) {
  const std::vector<std::string> posix = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
  const std::vector<std::string> windows = {"COM1", "COM2", "COM3", "COM4"};
  for (std::size_t port = 0; port < 4; ++port) {
    EXPECT_EQ(defaultPortDevice(Platform::Posix, port), posix[port]);
    EXPECT_EQ(defaultPortDevice(Platform::Windows, port), windows[port]);
  }
}

}  // namespace
}  // namespace rcp::link
