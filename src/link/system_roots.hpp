#pragma once

#include <filesystem>
#include <string>

namespace rcp::link {

// Where the kernel's views of the machine are read: the real ones by default, a fake tree in
// tests. `sys` is sysfs, `dev` the device folder (with udev's /dev/serial/by-id links), `proc` the
// process table.
struct SystemRoots {
  std::filesystem::path sys = "/sys";
  std::filesystem::path dev = "/dev";
  std::filesystem::path proc = "/proc";

  // The file a device path names in this tree: a path under "/dev/" is looked up under `dev`
  // (the same place with the real roots); any other path is taken as it is.
  std::filesystem::path file(const std::string& device) const {
    constexpr std::string_view kDev = "/dev/";
    if (dev == "/dev" || !std::string_view(device).starts_with(kDev)) return device;
    return dev / device.substr(kDev.size());
  }
};

}  // namespace rcp::link
