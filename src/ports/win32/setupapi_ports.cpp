// The serial ports of this Windows machine through SetupAPI and the configuration manager.

#include <windows.h>
// After windows.h:
#include <cfgmgr32.h>
#include <initguid.h>
// After initguid.h, which makes it define the class GUIDs:
#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "link/windows_text.hpp"
#include "ports/windows_ports.hpp"

namespace rcp::link {

namespace {

// The strings of a REG_SZ or REG_MULTI_SZ value held in `buffer` (bytes as the system gave them):
// one for REG_SZ, each of the list for REG_MULTI_SZ. Tolerates a missing final terminator.
std::vector<std::string> strings(const std::vector<BYTE>& buffer, DWORD bytes, DWORD type) {
  std::vector<std::string> found;
  if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return found;
  const std::size_t count = std::min<std::size_t>(bytes, buffer.size()) / sizeof(wchar_t);
  std::wstring all(count, L'\0');
  if (count > 0) std::memcpy(all.data(), buffer.data(), count * sizeof(wchar_t));
  for (std::size_t start = 0; start < all.size();) {
    std::size_t end = all.find(L'\0', start);
    if (end == std::wstring::npos) end = all.size();
    if (end > start) found.push_back(utf8Of(all.substr(start, end - start)));
    if (type != REG_MULTI_SZ) break;
    start = end + 1;
  }
  return found;
}

// A device property (SPDRP_FRIENDLYNAME, SPDRP_HARDWAREID, ...) as its strings; none when the
// device has none.
std::vector<std::string> property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD which) {
  DWORD type = 0;
  DWORD size = 0;
  SetupDiGetDeviceRegistryPropertyW(set, &device, which, &type, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<BYTE> buffer(size + 2 * sizeof(wchar_t), 0);
  if (!SetupDiGetDeviceRegistryPropertyW(set, &device, which, &type, buffer.data(),
                                         static_cast<DWORD>(buffer.size()), &size))
    return {};
  return strings(buffer, size, type);
}

std::string firstProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD which) {
  const auto values = property(set, device, which);
  return values.empty() ? std::string() : values.front();
}

// A string value of an open registry key; empty when missing.
std::string value(HKEY key, const wchar_t* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0)
    return {};
  std::vector<BYTE> buffer(size + 2 * sizeof(wchar_t), 0);
  size = static_cast<DWORD>(buffer.size());
  if (RegQueryValueExW(key, name, nullptr, &type, buffer.data(), &size) != ERROR_SUCCESS) return {};
  const auto values = strings(buffer, size, type);
  return values.empty() ? std::string() : values.front();
}

// An open registry key, closed with it.
struct Key {
  HKEY handle = static_cast<HKEY>(INVALID_HANDLE_VALUE);
  Key(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD which)
      : handle(SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, which, KEY_READ)) {}
  ~Key() {
    if (open()) RegCloseKey(handle);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  bool open() const { return handle != static_cast<HKEY>(INVALID_HANDLE_VALUE) && handle; }
};

// A device information set, destroyed with it.
struct DeviceSet {
  HDEVINFO handle;
  explicit DeviceSet(HDEVINFO h) : handle(h) {}
  ~DeviceSet() {
    if (handle != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(handle);
  }
  DeviceSet(const DeviceSet&) = delete;
  DeviceSet& operator=(const DeviceSet&) = delete;
};

// Calls `each` with every device of the set.
template <typename Each>
void forEachDevice(const DeviceSet& set, Each each) {
  if (set.handle == INVALID_HANDLE_VALUE) return;
  for (DWORD index = 0;; ++index) {
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiEnumDeviceInfo(set.handle, index, &device)) {
      if (GetLastError() == ERROR_NO_MORE_ITEMS) return;
      continue;
    }
    each(device);
  }
}

WindowsPort describe(HDEVINFO set, SP_DEVINFO_DATA& device) {
  WindowsPort port;
  port.friendlyName = firstProperty(set, device, SPDRP_FRIENDLYNAME);
  if (port.friendlyName.empty()) port.friendlyName = firstProperty(set, device, SPDRP_DEVICEDESC);
  port.hardwareIds = property(set, device, SPDRP_HARDWAREID);
  port.manufacturer = firstProperty(set, device, SPDRP_MFG);
  port.service = firstProperty(set, device, SPDRP_SERVICE);
  // A device seen before but not plugged in now has no device node.
  ULONG status = 0;
  ULONG problem = 0;
  const CONFIGRET node = CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0);
  port.present = node == CR_SUCCESS;
  port.problem = port.present && (status & DN_HAS_PROBLEM) ? problem : 0;
  if (const Key hardware(set, device, DIREG_DEV); hardware.open())
    port.portName = value(hardware.handle, L"PortName");
  if (const Key driver(set, device, DIREG_DRV); driver.open()) {
    port.driverProvider = value(driver.handle, L"ProviderName");
    port.driverVersion = value(driver.handle, L"DriverVersion");
    port.driverDate = value(driver.handle, L"DriverDate");
  }
  return port;
}

class SetupApiPorts : public WindowsPortSource {
 public:
  std::vector<WindowsPort> ports() const override {
    std::vector<WindowsPort> found;
    // Every port of the ports class, present or seen before.
    const DeviceSet ports(SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, 0));
    forEachDevice(
        ports, [&](SP_DEVINFO_DATA& device) { found.push_back(describe(ports.handle, device)); });
    // An adaptor without a driver belongs to no class yet: the present USB devices with a
    // problem whose ids are those of a serial adaptor.
    const DeviceSet usb(
        SetupDiGetClassDevsW(nullptr, L"USB", nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT));
    forEachDevice(usb, [&](SP_DEVINFO_DATA& device) {
      if (device.ClassGuid == GUID_DEVCLASS_PORTS) return;  // listed above
      WindowsPort port = describe(usb.handle, device);
      const auto ids = usbIdsOf(port.hardwareIds);
      if (port.problem != 0 && ids && adaptorFamily(*ids)) found.push_back(std::move(port));
    });
    return found;
  }
};

}  // namespace

std::unique_ptr<WindowsPortSource> setupApiPorts() {
  return std::make_unique<SetupApiPorts>();
}

}  // namespace rcp::link
