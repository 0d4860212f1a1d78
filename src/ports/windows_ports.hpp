#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/serial_devices.hpp"

// The serial ports of a Windows machine as SetupAPI and the configuration manager describe them,
// the device list made of them, and why one of them does not open. Everything here but the source
// over SetupAPI (link/win32/setupapi_ports.cpp) is plain data and builds everywhere.
namespace rcp::link {

// One device of the ports class, or a USB serial adaptor that has no driver and so no class.
struct WindowsPort {
  std::string portName;                  // the device's "PortName", "COM5"; empty when it has none
  std::string friendlyName;              // "USB-SERIAL CH340 (COM5)", or the device's description
  std::vector<std::string> hardwareIds;  // "USB\VID_1A86&PID_7523&REV_0264", ...
  std::string manufacturer;              // "wch.cn"
  std::string service;                   // the driver's service, "CH341SER_A64", "usbser"
  std::string driverProvider;            // "Prolific"
  std::string driverVersion;             // "3.8.39.0"
  std::string driverDate;                // "10-22-2020", as the driver key holds it
  unsigned long problem = 0;  // the configuration manager's problem code, 0 without a problem
  bool present = true;        // plugged in now; an adaptor seen before is kept, not present
};

// Where the records come from: SetupAPI on Windows, a table in tests.
class WindowsPortSource {
 public:
  virtual ~WindowsPortSource() = default;
  // The present ports and the ones seen before, with every present USB serial adaptor that has
  // no driver; in the system's order.
  virtual std::vector<WindowsPort> ports() const = 0;
};

// The machine's ports through SetupAPI and the configuration manager. Windows only.
std::unique_ptr<WindowsPortSource> setupApiPorts();

// USB ids as four lower-case hexadecimal digits each, "1a86" and "7523".
struct UsbIds {
  std::string vendor;
  std::string product;

  bool operator==(const UsbIds&) const = default;
};

// The USB ids in the first hardware id that has both "VID_" and "PID_" with four hexadecimal
// digits each ("USB\VID_0403&PID_6001", "FTDIBUS\COMPORT&VID_0403&PID_6001"); none without.
std::optional<UsbIds> usbIdsOf(const std::vector<std::string>& hardwareIds);

// The chip family of a well-known USB serial adaptor, "CH340/CH341", "PL2303", "FTDI" or
// "CP210x"; none for other ids.
std::optional<std::string_view> adaptorFamily(const UsbIds& ids);

// The present ports with a port name as the device list shows them (the port name as name and
// path, the friendly name without its " (COM5)" as product, the USB ids in lower case, the
// service as driver), USB adaptors first and each kind by number: COM2 before COM10.
std::vector<SerialDevice> windowsSerialDevices(const std::vector<WindowsPort>& ports);

// What opening the port said: the system's error code (0 when it opened) and its words.
struct WindowsOpenError {
  unsigned long code = 0;
  std::string message;
};
inline constexpr unsigned long kWindowsFileNotFound = 2;  // ERROR_FILE_NOT_FOUND
inline constexpr unsigned long kWindowsPathNotFound = 3;  // ERROR_PATH_NOT_FOUND
inline constexpr unsigned long kWindowsAccessDenied = 5;  // ERROR_ACCESS_DENIED
inline constexpr unsigned long kProblemDisabled = 22;     // CM_PROB_DISABLED
inline constexpr unsigned long kProblemCannotStart = 10;  // CM_PROB_FAILED_START
inline constexpr unsigned long kProblemNoDriver = 28;     // CM_PROB_FAILED_INSTALL

enum class WindowsPortProblem {
  None,           // the port opens now
  Missing,        // no such port, and no adaptor that could be it
  Moved,          // the adaptor is there under another port name
  CloneRefused,   // code 10: a Prolific id on a driver that refuses early and copied chips
  CannotStart,    // code 10 otherwise
  NoDriver,       // code 28
  Disabled,       // code 22
  DeviceProblem,  // any other problem code
  Held,           // another program has the port open (access denied)
  Failed,         // any other error of the system
};

struct WindowsPortDiagnosis {
  WindowsPortProblem kind = WindowsPortProblem::None;
  std::string port;  // the port asked for, "COM5"
  // The adaptor concerned: the port's own, the one it moved to, or the one with a problem.
  std::optional<WindowsPort> device;
  std::vector<std::string> presentPorts;  // Missing: the port names there are
  WindowsOpenError error;                 // Failed
};

// Looks for the reason in this order: the port is listed (its problem code, else what opening
// said); it is not listed but opened or was refused (a port of another class, say a virtual
// one); an adaptor seen before under this name is there under another; a present adaptor has a
// problem; the one USB adaptor present is there under another name; else it is missing.
WindowsPortDiagnosis diagnoseWindowsPort(const std::string& port,
                                         const std::vector<WindowsPort>& ports,
                                         const WindowsOpenError& open);

// The reason in Chinese, with what a technician must do about it.
std::string windowsProblemText(const WindowsPortDiagnosis& diagnosis);

}  // namespace rcp::link
