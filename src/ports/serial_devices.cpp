#include "ports/serial_devices.hpp"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <system_error>

namespace rcp::link {

namespace {

namespace fs = std::filesystem;

// How far above a terminal's device its USB device may lie: the port of a USB serial driver,
// its interface, then the device.
constexpr int kUsbLevels = 4;

// The first line of a sysfs attribute without the blanks around it; empty when unreadable.
std::string attribute(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  if (!in || !std::getline(in, line)) return {};
  const auto first = line.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = line.find_last_not_of(" \t\r\n");
  return line.substr(first, last - first + 1);
}

bool present(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

// The name a link points at, "ftdi_sio" for ".../drivers/ftdi_sio"; empty when no link.
std::string linkName(const fs::path& link) {
  std::error_code ec;
  const fs::path target = fs::read_symlink(link, ec);
  return ec ? std::string() : target.filename().string();
}

// The USB device (the folder with idVendor) a terminal's device belongs to, or empty.
fs::path usbDeviceOf(const fs::path& device) {
  fs::path dir = device;
  for (int level = 0; level < kUsbLevels && dir.has_relative_path(); ++level) {
    if (present(dir / "idVendor")) return dir;
    dir = dir.parent_path();
  }
  return {};
}

// udev's /dev/serial/by-id links by the kernel name they lead to (the first by name).
std::map<std::string, std::string> byIdNames(const SystemRoots& roots) {
  std::map<std::string, std::string> names;
  const fs::path folder = roots.dev / "serial" / "by-id";
  std::error_code ec;
  std::vector<fs::path> links;
  for (const auto& entry : fs::directory_iterator(folder, ec)) links.push_back(entry.path());
  std::sort(links.begin(), links.end());
  for (const fs::path& link : links) {
    const std::string target = linkName(link);
    if (!target.empty()) names.emplace(target, link.string());
  }
  return names;
}

}  // namespace

bool numberedNameOrder(const std::string& a, const std::string& b) {
  const auto split = [](const std::string& name) {
    std::size_t digits = name.size();
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
    const std::string number = name.substr(digits);
    return std::pair(name.substr(0, digits),
                     number.empty() || number.size() > 9 ? -1 : std::stoi(number));
  };
  const auto [stemA, numberA] = split(a);
  const auto [stemB, numberB] = split(b);
  if (stemA != stemB) return stemA < stemB;
  if (numberA != numberB) return numberA < numberB;
  return a < b;
}

namespace {

std::optional<SerialDevice> describe(const fs::path& entry, const SystemRoots& roots) {
  const std::string name = entry.filename().string();
  // Virtual terminals, the console and pseudo-terminals have no device behind them.
  std::error_code ec;
  const fs::path device = fs::canonical(entry / "device", ec);
  if (ec) return std::nullopt;
  // A serial-core port whose type is 0 (PORT_UNKNOWN) has no UART behind it.
  const std::string type = attribute(entry / "type");
  const bool serialCore = present(entry / "type");
  if (serialCore && (type.empty() || type == "0")) return std::nullopt;

  SerialDevice found;
  found.name = name;
  found.path = (roots.dev / name).string();
  // Since Linux 6.5 a UART's port and controller sit on the serial-base bus below the device
  // whose driver found the UART.
  fs::path driven = device;
  for (int level = 0; level < 2 && linkName(driven / "subsystem") == "serial-base"; ++level)
    driven = driven.parent_path();
  found.driver = linkName(driven / "driver");
  if (const fs::path usb = usbDeviceOf(device); !usb.empty()) {
    const bool acm = found.driver == "cdc_acm" || name.starts_with("ttyACM");
    found.kind = acm ? SerialKind::UsbModem : SerialKind::UsbSerial;
    found.vendorId = attribute(usb / "idVendor");
    found.productId = attribute(usb / "idProduct");
    found.manufacturer = attribute(usb / "manufacturer");
    found.product = attribute(usb / "product");
    found.serial = attribute(usb / "serial");
  } else {
    found.kind = serialCore ? SerialKind::Uart : SerialKind::Other;
  }
  return found;
}

}  // namespace

std::string SerialDevice::label() const {
  std::string base = product;
  if (base.empty() && !vendorId.empty()) base = "USB " + vendorId + ":" + productId;
  if (base.empty() && kind == SerialKind::Uart) base = "串口";
  return base.empty() ? name : base + " (" + name + ")";
}

std::vector<SerialDevice> listSysfsSerialDevices(const SystemRoots& roots) {
  std::vector<SerialDevice> devices;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(roots.sys / "class" / "tty", ec)) {
    if (auto device = describe(entry.path(), roots)) devices.push_back(std::move(*device));
  }
  const auto names = byIdNames(roots);
  for (SerialDevice& device : devices) {
    if (const auto it = names.find(device.name); it != names.end()) device.byId = it->second;
  }
  sortSerialDevices(devices);
  return devices;
}

void sortSerialDevices(std::vector<SerialDevice>& devices) {
  std::stable_sort(devices.begin(), devices.end(),
                   [](const SerialDevice& a, const SerialDevice& b) {
                     const auto group = [](SerialKind kind) {
                       return kind == SerialKind::UsbSerial || kind == SerialKind::UsbModem ? 0
                              : kind == SerialKind::Uart                                    ? 1
                                                                                            : 2;
                     };
                     if (group(a.kind) != group(b.kind)) return group(a.kind) < group(b.kind);
                     return numberedNameOrder(a.name, b.name);
                   });
}

const SerialDevice* findSerialDevice(const std::vector<SerialDevice>& devices,
                                     const std::string& path, const SystemRoots& roots) {
  if (path.empty()) return nullptr;
  for (const SerialDevice& device : devices)
    if (path == device.path || path == device.byId) return &device;
  std::error_code ec;
  const fs::path target = fs::canonical(roots.file(path), ec);
  if (ec) return nullptr;
  for (const SerialDevice& device : devices) {
    std::error_code other;
    if (fs::canonical(device.path, other) == target && !other) return &device;
  }
  return nullptr;
}

}  // namespace rcp::link
