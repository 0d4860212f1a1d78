#include "ports/windows_ports.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "link/line_text.hpp"

namespace rcp::link {

namespace {

// Every text the doctor says, its placeholders in braces.
enum class Text {
  None,
  Missing,
  MissingOthers,
  Moved,
  CloneRefused,
  CannotStart,
  NoDriverFamily,
  NoDriverIds,
  NoDriverUnknown,
  Disabled,
  DeviceProblem,
  Held,
  Failed,
  FailedCode,
  UsbDevice,
  UnknownDevice,
};

constexpr std::array<std::pair<Text, std::string_view>, 16> kTexts = {{
    {Text::None, "{port} 现在可以打开，请再试一次。"},
    {Text::Missing, "{port} 不存在，请检查数据线是否插好。"},
    {Text::MissingOthers, "{port} 不存在，请检查数据线是否插好；现有的串口：{ports}。"},
    {Text::Moved,
     "{port} 不存在：数据线 {name} 换了端口号，它现在是 {now}。请在“设置串口”中改选 {now}，"
     "或在设备管理器中把它的端口号改回 {port}。"},
    {Text::CloneRefused,
     "{name} 无法启动（代码 10）：它的 USB ID {ids} 是 Prolific PL2303 芯片，而当前的驱动 "
     "{version} 不再支持早期型号和仿制芯片。建议改装 3.3.x 系列的旧驱动（例如 3.3.2.102）："
     "先安装它，再在设备管理器中“更新驱动程序”，从计算机上已有的驱动列表中选择它，并阻止 Windows "
     "更新再次替换它；或者换用 CH340、FTDI 或 CP210x 芯片的数据线。"},
    {Text::CannotStart,
     "{name} 无法启动（代码 10）。请拔下数据线再插上；仍不行时，请在设备管理器中卸载它"
     "（连同驱动程序），再重新安装数据线厂商提供的驱动。"},
    {Text::NoDriverFamily,
     "{name} 没有安装驱动程序（代码 28）：它的 USB ID {ids} 是 {family} 芯片，"
     "请安装驱动：{driver}，然后拔下数据线再插上。"},
    {Text::NoDriverIds,
     "{name} 没有安装驱动程序（代码 28）：请安装数据线厂商为 USB ID {ids} "
     "提供的驱动，然后拔下数据线再插上。"},
    {Text::NoDriverUnknown,
     "{name} 没有安装驱动程序（代码 28）：请安装数据线厂商提供的驱动，然后拔下数据线再插上。"},
    {Text::Disabled, "{name} 已被停用（代码 22）：请在设备管理器中右键点击它，选择“启用设备”。"},
    {Text::DeviceProblem,
     "{name} 有问题（设备管理器代码 {code}）：请拔下数据线再插上；仍不行时，请在设备管理器中"
     "查看它的状态并重新安装驱动。"},
    {Text::Held,
     "{port} 正被另一个程序占用：请关闭正在使用它的程序（串口调试工具、其他写频软件等）后再试。"},
    {Text::Failed, "打开 {port} 失败：{error}。"},
    {Text::FailedCode, "打开 {port} 失败（错误代码 {code}）。"},
    {Text::UsbDevice, "USB 设备 {ids}"},
    {Text::UnknownDevice, "未知设备"},
}};

// The well-known USB serial adaptors by their ids, and the driver each family needs.
struct AdaptorId {
  std::string_view vendor;
  std::string_view product;
  std::string_view family;
};
constexpr std::array<AdaptorId, 11> kAdaptorIds = {{
    {"1a86", "7523", "CH340/CH341"},
    {"1a86", "5523", "CH340/CH341"},
    {"067b", "2303", "PL2303"},
    {"0403", "6001", "FTDI"},
    {"0403", "6010", "FTDI"},
    {"0403", "6011", "FTDI"},
    {"0403", "6014", "FTDI"},
    {"0403", "6015", "FTDI"},
    {"10c4", "ea60", "CP210x"},
    {"10c4", "ea70", "CP210x"},
    {"10c4", "ea71", "CP210x"},
}};

constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kFamilyDrivers = {{
    {"CH340/CH341", "沁恒（WCH）CH341SER"},
    {"PL2303", "Prolific PL2303（仿制芯片建议用 3.3.x 系列的旧驱动，例如 3.3.2.102）"},
    {"FTDI", "FTDI VCP"},
    {"CP210x", "Silicon Labs CP210x VCP"},
}};

// The ids of the early PL2303 chips, which the copied chips carry too.
const UsbIds kProlificCloneIds[] = {{"067b", "2303"}};
// Prolific drivers from this version on stop the early and the copied chips with code 10.
constexpr std::array<unsigned long, 2> kRefusingDriver = {3, 4};

std::string_view text(Text key) {
  for (const auto& [k, t] : kTexts)
    if (k == key) return t;
  return {};
}

using Values = std::vector<std::pair<std::string_view, std::string>>;

// The text with each "{name}" replaced by its value, in one pass (values are never read again).
std::string fill(Text key, const Values& values) {
  const std::string_view t = text(key);
  std::string out;
  for (std::size_t i = 0; i < t.size();) {
    bool replaced = false;
    if (t[i] == '{') {
      for (const auto& [name, value] : values) {
        if (t.substr(i + 1, name.size()) == name && t.substr(i + 1 + name.size(), 1) == "}") {
          out += value;
          i += name.size() + 2;
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += t[i++];
  }
  return out;
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// A port name as Windows compares it: without "\\.\", blanks around it or case.
// Control characters count as blanks.
std::string portKey(std::string_view name) {
  constexpr std::string_view kDevicePrefix = "\\\\.\\";
  if (name.starts_with(kDevicePrefix)) name.remove_prefix(kDevicePrefix.size());
  const std::string line = lineText(name);
  const auto first = line.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return upper(line.substr(first, line.find_last_not_of(' ') - first + 1));
}

// Four hexadecimal digits after `tag` ("VID_") in an upper-cased id, in lower case.
std::optional<std::string> hexAfter(const std::string& id, std::string_view tag) {
  const auto at = id.find(tag);
  if (at == std::string::npos || id.size() < at + tag.size() + 4) return std::nullopt;
  const std::string digits = id.substr(at + tag.size(), 4);
  if (!std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c); }))
    return std::nullopt;
  return lower(digits);
}

// "1A86:7523", as the device manager shows USB ids.
std::string idsText(const UsbIds& ids) {
  return upper(ids.vendor + ":" + ids.product);
}

// The friendly name without the " (COM5)" Windows appends; control characters as spaces.
std::string productName(const WindowsPort& port) {
  std::string name = lineText(port.friendlyName);
  const std::string suffix = " (" + port.portName + ")";
  if (!port.portName.empty() && name.size() > suffix.size() && name.ends_with(suffix))
    name.resize(name.size() - suffix.size());
  return name;
}

// How the doctor names an adaptor: its friendly name, else its USB ids, else its port name.
std::string deviceName(const WindowsPort& port) {
  if (std::string name = productName(port); !name.empty()) return name;
  if (const auto ids = usbIdsOf(port.hardwareIds))
    return fill(Text::UsbDevice, {{"ids", idsText(*ids)}});
  if (!port.portName.empty()) return lineText(port.portName);
  return std::string(text(Text::UnknownDevice));
}

// A driver version's numbers, "3.8.39.0" as 3, 8, 39, 0; none when it is no such version.
std::optional<std::vector<unsigned long>> versionNumbers(std::string_view version) {
  std::vector<unsigned long> numbers;
  while (true) {
    const auto dot = version.find('.');
    const std::string_view part = version.substr(0, dot);
    if (part.empty() || part.size() > 9 || part.find_first_not_of("0123456789") != part.npos)
      return std::nullopt;
    numbers.push_back(std::stoul(std::string(part)));
    if (dot == std::string_view::npos) return numbers;
    version.remove_prefix(dot + 1);
  }
}

bool refusesClones(const WindowsPort& port) {
  const auto ids = usbIdsOf(port.hardwareIds);
  if (!ids || std::find(std::begin(kProlificCloneIds), std::end(kProlificCloneIds), *ids) ==
                  std::end(kProlificCloneIds))
    return false;
  const auto version = versionNumbers(port.driverVersion);
  return version && !std::lexicographical_compare(version->begin(), version->end(),
                                                  kRefusingDriver.begin(), kRefusingDriver.end());
}

WindowsPortProblem problemOf(const WindowsPort& port) {
  switch (port.problem) {
    case 0:
      return WindowsPortProblem::None;
    case kProblemCannotStart:
      return refusesClones(port) ? WindowsPortProblem::CloneRefused
                                 : WindowsPortProblem::CannotStart;
    case kProblemNoDriver:
      return WindowsPortProblem::NoDriver;
    case kProblemDisabled:
      return WindowsPortProblem::Disabled;
    default:
      return WindowsPortProblem::DeviceProblem;
  }
}

WindowsPortProblem openProblem(const WindowsOpenError& open) {
  switch (open.code) {
    case 0:
      return WindowsPortProblem::None;
    case kWindowsAccessDenied:
      return WindowsPortProblem::Held;
    case kWindowsFileNotFound:
    case kWindowsPathNotFound:
      return WindowsPortProblem::Missing;
    default:
      return WindowsPortProblem::Failed;
  }
}

// The system's words as part of a sentence: one line, without blanks or a full stop at its end.
std::string sentence(std::string_view message) {
  std::string line = lineText(message);
  while (true) {
    if (line.ends_with(' ') || line.ends_with('.')) {
      line.pop_back();
    } else if (line.ends_with("。")) {
      line.resize(line.size() - std::string_view("。").size());
    } else {
      break;
    }
  }
  const auto first = line.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : line.substr(first);
}

bool usable(const WindowsPort& port) {
  return port.present && port.problem == 0 && !portKey(port.portName).empty();
}

std::string noDriverText(const WindowsPort& port, const std::string& name) {
  const auto ids = usbIdsOf(port.hardwareIds);
  if (!ids) return fill(Text::NoDriverUnknown, {{"name", name}});
  const auto family = adaptorFamily(*ids);
  if (!family) return fill(Text::NoDriverIds, {{"name", name}, {"ids", idsText(*ids)}});
  std::string driver;
  for (const auto& [f, d] : kFamilyDrivers)
    if (f == *family) driver = d;
  return fill(Text::NoDriverFamily, {{"name", name},
                                     {"ids", idsText(*ids)},
                                     {"family", std::string(*family)},
                                     {"driver", driver}});
}

}  // namespace

std::optional<UsbIds> usbIdsOf(const std::vector<std::string>& hardwareIds) {
  for (const std::string& id : hardwareIds) {
    const std::string key = upper(id);
    const auto vendor = hexAfter(key, "VID_");
    const auto product = hexAfter(key, "PID_");
    if (vendor && product) return UsbIds{*vendor, *product};
  }
  return std::nullopt;
}

std::optional<std::string_view> adaptorFamily(const UsbIds& ids) {
  for (const AdaptorId& known : kAdaptorIds)
    if (known.vendor == ids.vendor && known.product == ids.product) return known.family;
  return std::nullopt;
}

std::vector<SerialDevice> windowsSerialDevices(const std::vector<WindowsPort>& ports) {
  std::vector<SerialDevice> devices;
  for (const WindowsPort& port : ports) {
    const std::string name = portKey(port.portName);
    if (!port.present || name.empty()) continue;
    SerialDevice device;
    device.name = name;
    device.path = name;
    device.product = productName(port);
    device.manufacturer = lineText(port.manufacturer);
    device.driver = lineText(port.service.empty() ? port.driverProvider : port.service);
    if (const auto ids = usbIdsOf(port.hardwareIds)) {
      device.kind = lower(port.service) == "usbser" ? SerialKind::UsbModem : SerialKind::UsbSerial;
      device.vendorId = ids->vendor;
      device.productId = ids->product;
    } else {
      device.kind = lower(port.service) == "serial" ? SerialKind::Uart : SerialKind::Other;
    }
    devices.push_back(std::move(device));
  }
  sortSerialDevices(devices);
  return devices;
}

WindowsPortDiagnosis diagnoseWindowsPort(const std::string& port,
                                         const std::vector<WindowsPort>& ports,
                                         const WindowsOpenError& open) {
  WindowsPortDiagnosis d;
  d.port = port;
  d.error = open;
  const std::string key = portKey(port);
  const auto found = [&](const WindowsPort& p, WindowsPortProblem kind) {
    d.device = p;
    d.kind = kind;
    return d;
  };

  for (const WindowsPort& p : ports)
    if (p.present && !key.empty() && portKey(p.portName) == key)
      return found(p, p.problem != 0 ? problemOf(p) : openProblem(open));
  // Not a port of its class (a virtual one, say), yet it opens or is held.
  if (open.code == 0 || open.code == kWindowsAccessDenied) {
    d.kind = openProblem(open);
    return d;
  }
  // The adaptor last seen under this name, back under another.
  for (const WindowsPort& former : ports) {
    const auto ids = usbIdsOf(former.hardwareIds);
    if (former.present || !ids || key.empty() || portKey(former.portName) != key) continue;
    for (const WindowsPort& p : ports)
      if (usable(p) && usbIdsOf(p.hardwareIds) == ids) return found(p, WindowsPortProblem::Moved);
  }
  for (const WindowsPort& p : ports)
    if (p.present && p.problem != 0) return found(p, problemOf(p));
  std::vector<const WindowsPort*> adaptors;
  for (const WindowsPort& p : ports)
    if (usable(p) && usbIdsOf(p.hardwareIds)) adaptors.push_back(&p);
  if (adaptors.size() == 1) return found(*adaptors.front(), WindowsPortProblem::Moved);

  d.kind = openProblem(open) == WindowsPortProblem::Failed ? WindowsPortProblem::Failed
                                                           : WindowsPortProblem::Missing;
  for (const SerialDevice& device : windowsSerialDevices(ports))
    d.presentPorts.push_back(device.name);
  return d;
}

std::string windowsProblemText(const WindowsPortDiagnosis& d) {
  const std::string key = portKey(d.port);
  const std::string port = key.empty() ? lineText(d.port) : key;
  const WindowsPort none;
  const WindowsPort& device = d.device ? *d.device : none;
  const std::string name = d.device ? deviceName(device) : port;
  switch (d.kind) {
    case WindowsPortProblem::None:
      return fill(Text::None, {{"port", port}});
    case WindowsPortProblem::Missing: {
      std::string others;
      for (const std::string& p : d.presentPorts) others += (others.empty() ? "" : "、") + p;
      return others.empty() ? fill(Text::Missing, {{"port", port}})
                            : fill(Text::MissingOthers, {{"port", port}, {"ports", others}});
    }
    case WindowsPortProblem::Moved:
      return fill(Text::Moved, {{"port", port}, {"name", name}, {"now", portKey(device.portName)}});
    case WindowsPortProblem::CloneRefused: {
      const auto ids = usbIdsOf(device.hardwareIds);
      return fill(Text::CloneRefused, {{"name", name},
                                       {"ids", ids ? idsText(*ids) : std::string()},
                                       {"version", lineText(device.driverVersion)}});
    }
    case WindowsPortProblem::CannotStart:
      return fill(Text::CannotStart, {{"name", name}});
    case WindowsPortProblem::NoDriver:
      return noDriverText(device, name);
    case WindowsPortProblem::Disabled:
      return fill(Text::Disabled, {{"name", name}});
    case WindowsPortProblem::DeviceProblem:
      return fill(Text::DeviceProblem, {{"name", name}, {"code", std::to_string(device.problem)}});
    case WindowsPortProblem::Held:
      return fill(Text::Held, {{"port", port}});
    case WindowsPortProblem::Failed:
      if (const std::string message = sentence(d.error.message); !message.empty())
        return fill(Text::Failed, {{"port", port}, {"error", message}});
      return fill(Text::FailedCode, {{"port", port}, {"code", std::to_string(d.error.code)}});
  }
  return {};
}

}  // namespace rcp::link
