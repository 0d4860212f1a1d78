#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "link/ini_profile.hpp"
#include "link/user_folders.hpp"

namespace rcp::link {

// The one-line port-settings file Com.ini: section "ComStatus", key "Comport" holds the port
// name "COM1" to "COM4". Section "ComDevices" of the same file maps each port name to a device
// (keys "COM1" to "COM4"): by default /dev/ttyS0 to /dev/ttyS3 off Windows; on Windows the port
// of the same name, which the section may map to any other ("COM7": adaptors often get a high
// number).

// This user's Com.ini (see comIniPathOn in user_folders.hpp).
std::filesystem::path comIniPath();

// The device a port name ("COM1" to "COM4", by its index 0 to 3) stands for when Com.ini does not
// say.
std::string_view defaultPortDevice(Platform platform, std::size_t port);

// "COM1", "COM2" and "COM3" stay as they are (exact, case-sensitive); anything else is "COM4".
std::string normalisePortName(std::string_view name);

// The port name from the file, normalised; "COM2" when the file, section or key is missing.
std::string readPortName(const std::filesystem::path& comIni);

// The device to open for a port name.
std::string portDevice(const std::filesystem::path& comIni, std::string_view portName);

// Writes the port name, creating the file and its folder when missing and keeping everything
// else in the file. The error names the file.
[[nodiscard]] std::optional<IniError> writePortName(const std::filesystem::path& comIni,
                                                    std::string_view portName);

// Writes the device behind a port name ("COM1" to "COM4") into section "ComDevices" in the same
// way, keeping everything else in the file.
std::optional<IniError> writePortDevice(const std::filesystem::path& comIni,
                                        std::string_view portName, std::string_view device);

// What a write does besides writing, kept in section "Options" (keys "BackupBeforeWrite" and
// "VerifyAfterWrite", "1" or "0"). Both are off in a file without them, so an older installation
// writes as it always did.
struct WriteSafety {
  bool backupBeforeWrite = false;
  bool verifyAfterWrite = false;
};

WriteSafety readWriteSafety(const std::filesystem::path& comIni);

// Writes both options in the same way as the port name, keeping everything else in the file.
[[nodiscard]] std::optional<IniError> writeWriteSafety(const std::filesystem::path& comIni,
                                                       const WriteSafety& options);

}  // namespace rcp::link
