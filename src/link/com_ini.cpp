#include "link/com_ini.hpp"

#include <array>
#include <cstdlib>
#include <system_error>

namespace rcp::link {

namespace {

constexpr std::string_view kStatusSection = "ComStatus";
constexpr std::string_view kPortKey = "Comport";
constexpr std::string_view kDefaultPort = "COM2";
constexpr std::string_view kDevicesSection = "ComDevices";
constexpr std::string_view kOptionsSection = "Options";
constexpr std::string_view kBackupKey = "BackupBeforeWrite";
constexpr std::string_view kVerifyKey = "VerifyAfterWrite";

constexpr std::array<std::string_view, 4> kPortNames = {"COM1", "COM2", "COM3", "COM4"};
constexpr std::array<std::string_view, 4> kDefaultDevices = {"/dev/ttyS0", "/dev/ttyS1",
                                                             "/dev/ttyS2", "/dev/ttyS3"};

std::optional<IniError> makeFolderOf(const std::filesystem::path& comIni) {
  if (!comIni.has_parent_path()) return std::nullopt;
  if (auto error = makePrivateFolder(comIni.parent_path()))
    return IniError{IniError::Operation::Write, comIni, *error};
  return std::nullopt;
}

// "1" is on; anything else, a missing key included, is off.
bool readSwitch(const std::filesystem::path& comIni, std::string_view key) {
  return readProfileString(comIni, kOptionsSection, key, "0") == "1";
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::filesystem::path comIniPath() {
#ifdef _WIN32
  return "C:\\Com.ini";
#else
  std::filesystem::path config = environment("XDG_CONFIG_HOME");
  if (config.empty()) config = std::filesystem::path(environment("HOME")) / ".config";
  return config / "rcp520" / "Com.ini";
#endif
}

std::string normalisePortName(std::string_view name) {
  for (std::size_t i = 0; i + 1 < kPortNames.size(); ++i) {
    if (name == kPortNames[i]) return std::string(name);
  }
  return std::string(kPortNames.back());
}

std::string readPortName(const std::filesystem::path& comIni) {
  return normalisePortName(readProfileString(comIni, kStatusSection, kPortKey, kDefaultPort));
}

std::string portDevice(const std::filesystem::path& comIni, std::string_view portName) {
  const std::string name = normalisePortName(portName);
#ifdef _WIN32
  (void)comIni;
  return "\\\\.\\" + name;
#else
  std::size_t index = kPortNames.size() - 1;
  for (std::size_t i = 0; i < kPortNames.size(); ++i) {
    if (name == kPortNames[i]) index = i;
  }
  return readProfileString(comIni, kDevicesSection, kPortNames[index], kDefaultDevices[index]);
#endif
}

std::optional<IniError> writePortName(const std::filesystem::path& comIni,
                                      std::string_view portName) {
  if (auto error = makeFolderOf(comIni)) return error;
  return writeProfileString(comIni, kStatusSection, kPortKey, portName);
}

std::optional<IniError> writePortDevice(const std::filesystem::path& comIni,
                                        std::string_view portName, std::string_view device) {
  if (auto error = makeFolderOf(comIni)) return error;
  return writeProfileString(comIni, kDevicesSection, normalisePortName(portName), device);
}

WriteSafety readWriteSafety(const std::filesystem::path& comIni) {
  return {readSwitch(comIni, kBackupKey), readSwitch(comIni, kVerifyKey)};
}

std::optional<IniError> writeWriteSafety(const std::filesystem::path& comIni,
                                         const WriteSafety& options) {
  if (auto error = makeFolderOf(comIni)) return error;
  if (auto error = writeProfileString(comIni, kOptionsSection, kBackupKey,
                                      options.backupBeforeWrite ? "1" : "0"))
    return error;
  return writeProfileString(comIni, kOptionsSection, kVerifyKey,
                            options.verifyAfterWrite ? "1" : "0");
}

}  // namespace rcp::link
