#include "link/com_ini.hpp"

#include <array>
#include <system_error>

#include "link/path_text.hpp"

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

}  // namespace

std::filesystem::path comIniPath() {
  return pathOf(comIniPathOn(kThisPlatform, systemEnvironment()));
}

std::string_view defaultPortDevice(Platform platform, std::size_t port) {
  // On Windows the port names are real: COM1 is COM1 unless [ComDevices] says otherwise.
  constexpr std::array<std::string_view, 4> kPosix = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2",
                                                      "/dev/ttyS3"};
  return platform == Platform::Windows ? kPortNames.at(port) : kPosix.at(port);
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
  std::size_t index = kPortNames.size() - 1;
  for (std::size_t i = 0; i < kPortNames.size(); ++i) {
    if (name == kPortNames[i]) index = i;
  }
  return readProfileString(comIni, kDevicesSection, kPortNames[index],
                           defaultPortDevice(kThisPlatform, index));
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
