#pragma once

#include <string>
#include <vector>

#include "link/system_roots.hpp"

namespace rcp::link {

enum class SerialKind {
  UsbSerial,  // a USB serial adaptor (ttyUSB*: FTDI, CH340, PL2303, CP210x, ...)
  UsbModem,   // a USB modem or CDC ACM device (ttyACM*)
  Uart,       // a UART the kernel found real hardware behind (ttyS*, ttyAMA*, ...)
  Other,      // any other terminal with a device behind it
};

// One serial device a technician could mean, as the kernel and udev describe it.
struct SerialDevice {
  std::string name;  // the kernel's name, "ttyUSB0"
  std::string path;  // the device file, "/dev/ttyUSB0" (under the roots' dev folder)
  std::string byId;  // udev's stable name, "/dev/serial/by-id/usb-FTDI_…-if00-port0", or empty
  SerialKind kind = SerialKind::Other;
  std::string driver;     // "ftdi_sio", "cdc_acm", "serial", ...
  std::string vendorId;   // USB ids as four hexadecimal digits, "0403"; empty off USB
  std::string productId;  // "6001"
  std::string manufacturer;
  std::string product;
  std::string serial;

  // The name to keep in Com.ini: the stable by-id name when there is one, else the device file.
  const std::string& storedPath() const { return byId.empty() ? path : byId; }
  // How a list shows it: the product name and the short device name, "FT232R USB UART (ttyUSB0)".
  std::string label() const;
};

// The serial devices of the machine: on Linux the sysfs list below over `roots`; on Windows the
// ports SetupAPI describes (ports/windows_ports.hpp), `roots` unused.
std::vector<SerialDevice> listSerialDevices(const SystemRoots& roots = {});

// The serial devices sysfs (class "tty") and udev's by-id links describe: USB adaptors and
// modems, and on-board UARTs only when the kernel reports a real UART behind them (its "type" is
// not 0), never the dozens of phantom ttyS* ports; virtual terminals and pseudo-terminals have no
// device behind them and are left out. USB devices come first, then UARTs, then the rest, each in
// the kernel's numbering (ttyUSB2 before ttyUSB10).
std::vector<SerialDevice> listSysfsSerialDevices(const SystemRoots& roots);

// USB devices first, then UARTs, then the rest, each in numberedNameOrder.
void sortSerialDevices(std::vector<SerialDevice>& devices);

// Names in their numbering: "ttyUSB2" before "ttyUSB10", "COM2" before "COM10".
bool numberedNameOrder(const std::string& a, const std::string& b);

// The listed device a path stands for: its by-id name, its device file, or any other link that
// leads to the same file. Null when none.
const SerialDevice* findSerialDevice(const std::vector<SerialDevice>& devices,
                                     const std::string& path, const SystemRoots& roots = {});

}  // namespace rcp::link
